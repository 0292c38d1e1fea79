#pragma once
// Pictures a movie loads (JPEG, PNG, GIF), told apart by their first bytes.
#include <QByteArray>
#include <QImage>
#include <memory>

namespace nimbrel::movie::bitmap {

class PictureDecoder {
public:
    static bool looksLikePicture(const QByteArray& bytes);
    // Premultiplied ARGB32 pixels; null when the bytes are no picture or do not decode.
    static std::shared_ptr<QImage> decode(const QByteArray& bytes);
};

} // namespace nimbrel::movie::bitmap
