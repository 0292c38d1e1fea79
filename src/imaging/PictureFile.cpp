#include "imaging/PictureFile.h"
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

namespace nimbrel::imaging {

std::optional<QImage> PictureFile::read(const QString& path) {
    QImageReader reader(path);
    QImage img = reader.read();
    if (img.isNull())
        return std::nullopt;
    return img;
}

std::optional<QString> PictureFile::writeBmp(const QImage& image, const QString& path) {
    if (image.isNull() || image.width() == 0 || image.height() == 0)
        return QStringLiteral("图象是空的");
    // A 32-bit image without alpha is written with 24 bits per pixel.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    // Written beside the target and moved over it, so a failure never leaves half a file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QImageWriter writer(&file, "bmp");
    if (!writer.write(rgb)) {
        file.cancelWriting();
        return writer.errorString();
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace nimbrel::imaging
