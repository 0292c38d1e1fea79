#include "movie/bitmap/PictureDecoder.h"

namespace nimbrel::movie::bitmap {

bool PictureDecoder::looksLikePicture(const QByteArray& bytes)
{
    return bytes.startsWith("\xFF\xD8") || bytes.startsWith("\x89PNG") || bytes.startsWith("GIF8");
}

std::shared_ptr<QImage> PictureDecoder::decode(const QByteArray& bytes)
{
    auto picture = std::make_shared<QImage>();
    if (!looksLikePicture(bytes) || !picture->loadFromData(bytes) || picture->isNull())
        return nullptr;
    *picture = picture->convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return picture;
}

} // namespace nimbrel::movie::bitmap
