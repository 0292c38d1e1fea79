#pragma once
// Reading pictures the editor opens and writing the canvas as a 24-bit BMP.
// Errors come back as values.
#include <QImage>
#include <QString>
#include <optional>

namespace nimbrel::imaging {

class PictureFile {
public:
    // The picture in the file (BMP, JPG, GIF...), or nothing when it is none.
    static std::optional<QImage> read(const QString& path);
    // Writes `image` as a 24-bit BMP to exactly `path` (no extension added). A
    // failed write leaves an existing file at `path` as it was. Returns the
    // reason on failure.
    static std::optional<QString> writeBmp(const QImage& image, const QString& path);
};

} // namespace nimbrel::imaging
