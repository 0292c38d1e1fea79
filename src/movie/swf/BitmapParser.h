#pragma once
// Bitmap characters: DefineBits (6, with the movie's JPEGTables), DefineBitsJPEG2 (21),
// DefineBitsJPEG3 (35), DefineBitsJPEG4 (90), DefineBitsLossless (20) and
// DefineBitsLossless2 (36). Bad or oversized input gives std::nullopt and *error.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace nimbrel::movie::swf {

struct BitmapDef {
    uint16_t id = 0;
    QImage image; // Format_ARGB32_Premultiplied
};

// Largest width or height accepted; bigger images are refused.
constexpr int kMaxBitmapSide = 8192;

// JPEG data as SWF files store it, cleaned for a standard decoder: stray
// end/start-of-image marker pairs between tables and image are removed.
QByteArray normalizeJpeg(const QByteArray& jpeg);

std::optional<BitmapDef> parseBitmap(int tagCode, const uint8_t* body, size_t len, const QByteArray& jpegTables,
                                     QString* error);

} // namespace nimbrel::movie::swf
