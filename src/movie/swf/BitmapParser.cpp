#include "movie/swf/BitmapParser.h"
#include "movie/swf/BitReader.h"
#include <QBuffer>
#include <QImageReader>
#include <zlib.h>

namespace nimbrel::movie::swf {

namespace {

std::optional<BitmapDef> fail(QString* error, uint16_t id, const QString& what) {
    if (error) *error = QStringLiteral("bitmap %1: %2").arg(id).arg(what);
    return std::nullopt;
}

// Inflates exactly `expected` bytes (extra input is ignored); false when the
// stream is corrupt or ends early.
bool inflateExactly(const uint8_t* data, size_t len, size_t expected, QByteArray& out) {
    out.resize(qsizetype(expected));
    if (expected == 0) return true;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return false;
    zs.next_in = const_cast<Bytef*>(data);
    zs.avail_in = uInt(std::min<size_t>(len, UINT32_MAX));
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = uInt(expected);
    int rc = Z_OK;
    while (zs.avail_out > 0 && rc == Z_OK) rc = inflate(&zs, Z_SYNC_FLUSH);
    inflateEnd(&zs);
    return zs.avail_out == 0;
}

enum class ImageFormat { Jpeg, Png, Gif, Unknown };

ImageFormat sniff(const QByteArray& d) {
    if (d.startsWith("\x89PNG\r\n\x1a\n")) return ImageFormat::Png;
    if (d.startsWith("GIF89a") || d.startsWith("GIF87a")) return ImageFormat::Gif;
    if (d.size() >= 2 && uint8_t(d[0]) == 0xFF && (uint8_t(d[1]) == 0xD8 || uint8_t(d[1]) == 0xD9))
        return ImageFormat::Jpeg;
    return ImageFormat::Unknown;
}

} // namespace

// Walks the JPEG header segments and drops stray end/start-of-image pairs that
// SWF encoders leave between the tables and the image (0xFFD9 0xFFD8), keeping
// the first start marker. Entropy-coded data after the scan header is copied
// untouched.
QByteArray normalizeJpeg(const QByteArray& in) {
    const auto* d = reinterpret_cast<const uint8_t*>(in.constData());
    const qsizetype n = in.size();
    QByteArray out;
    out.reserve(n);
    qsizetype i = 0;
    bool haveSoi = false;
    while (i + 1 < n) {
        if (d[i] != 0xFF) break; // not at a marker: give up and copy the rest
        uint8_t m = d[i + 1];
        if (m == 0xFF) { // fill byte
            ++i;
            continue;
        }
        if (m == 0xD8) {
            if (!haveSoi) out.append("\xFF\xD8", 2);
            haveSoi = true;
            i += 2;
            continue;
        }
        if (m == 0xD9) { // EOI before the image: part of a stray pair
            i += 2;
            continue;
        }
        if (i + 3 >= n) break;
        qsizetype segLen = (qsizetype(d[i + 2]) << 8) | d[i + 3];
        qsizetype segEnd = std::min(n, i + 2 + segLen);
        out.append(in.constData() + i, segEnd - i);
        i = segEnd;
        if (m == 0xDA) break; // start of scan: the rest is image data
    }
    if (i < n) out.append(in.constData() + i, n - i);
    return out;
}

namespace {

std::optional<QImage> decodeEncoded(const QByteArray& raw, uint16_t id, QString* error) {
    QByteArray data = sniff(raw) == ImageFormat::Jpeg ? normalizeJpeg(raw) : raw;
    QBuffer buf(&data);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxBitmapSide || size.height() > kMaxBitmapSide)) {
        fail(error, id, QStringLiteral("image too large (%1x%2)").arg(size.width()).arg(size.height()));
        return std::nullopt;
    }
    QImage img = reader.read();
    if (img.isNull()) {
        fail(error, id, QStringLiteral("cannot decode image data: %1").arg(reader.errorString()));
        return std::nullopt;
    }
    if (img.width() > kMaxBitmapSide || img.height() > kMaxBitmapSide) {
        fail(error, id, QStringLiteral("image too large"));
        return std::nullopt;
    }
    return img;
}

std::optional<BitmapDef> parseJpeg(int tagCode, BitReader& r, const QByteArray& jpegTables, QString* error) {
    BitmapDef def;
    def.id = r.u16();
    size_t imageLen = r.remaining();
    size_t alphaAt = 0;
    if (tagCode == 35 || tagCode == 90) {
        uint32_t alphaOffset = r.u32();
        if (tagCode == 90) r.u16(); // deblocking strength: not applied
        if (r.failed() || alphaOffset > r.remaining()) return fail(error, def.id, QStringLiteral("bad alpha offset"));
        imageLen = alphaOffset;
        alphaAt = r.pos() + alphaOffset;
    }
    if (r.failed() || imageLen == 0) return fail(error, def.id, QStringLiteral("no image data"));
    QByteArray raw(reinterpret_cast<const char*>(r.current()), qsizetype(imageLen));
    const ImageFormat kind = sniff(raw);
    if (tagCode == 6 && kind != ImageFormat::Png && kind != ImageFormat::Gif) {
        if (jpegTables.isEmpty() && sniff(raw) == ImageFormat::Unknown)
            return fail(error, def.id, QStringLiteral("missing JPEG tables"));
        raw = jpegTables + raw;
    }
    auto img = decodeEncoded(raw, def.id, error);
    if (!img) return std::nullopt;

    QImage out;
    const size_t alphaLen = alphaAt ? r.size() - alphaAt : 0;
    if (kind == ImageFormat::Jpeg && alphaLen > 0) {
        // One alpha byte per pixel, zlib-compressed; colours are not premultiplied.
        const size_t pixels = size_t(img->width()) * size_t(img->height());
        QByteArray alpha;
        if (!inflateExactly(r.data() + alphaAt, alphaLen, pixels, alpha))
            return fail(error, def.id, QStringLiteral("alpha data short or corrupt"));
        out = img->convertToFormat(QImage::Format_ARGB32);
        const auto* a = reinterpret_cast<const uint8_t*>(alpha.constData());
        for (int y = 0; y < out.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x) line[x] = (line[x] & 0x00FFFFFF) | (QRgb(*a++) << 24);
        }
        out = out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    } else {
        out = img->convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    def.image = std::move(out);
    return def;
}

std::optional<BitmapDef> parseLossless(int tagCode, BitReader& r, QString* error) {
    const bool withAlpha = tagCode == 36;
    BitmapDef def;
    def.id = r.u16();
    const uint8_t format = r.u8();
    const int width = r.u16();
    const int height = r.u16();
    int colors = 0;
    if (format == 3) colors = r.u8() + 1;
    if (r.failed()) return fail(error, def.id, QStringLiteral("header truncated"));
    if (width > kMaxBitmapSide || height > kMaxBitmapSide)
        return fail(error, def.id, QStringLiteral("image too large (%1x%2)").arg(width).arg(height));
    if (format != 3 && format != 4 && format != 5)
        return fail(error, def.id, QStringLiteral("unknown lossless format %1").arg(format));
    if (format == 4 && withAlpha) return fail(error, def.id, QStringLiteral("15-bit format has no alpha form"));

    // Rows are padded to 32 bits.
    size_t rowBytes = 0;
    if (format == 3) rowBytes = (size_t(width) + 3) & ~size_t(3);
    else if (format == 4) rowBytes = (size_t(width) * 2 + 3) & ~size_t(3);
    else rowBytes = size_t(width) * 4;
    const size_t tableBytes = size_t(colors) * (withAlpha ? 4 : 3);
    const size_t expected = tableBytes + rowBytes * size_t(height);
    QByteArray data;
    if (!inflateExactly(r.current(), r.remaining(), expected, data))
        return fail(error, def.id, QStringLiteral("pixel data short or corrupt"));
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());

    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    if (width > 0 && height > 0 && img.isNull()) return fail(error, def.id, QStringLiteral("out of memory"));
    // Premultiplied pixels must not carry colour above their alpha.
    auto premul = [](int r_, int g, int b, int a) {
        return qRgba(std::min(r_, a), std::min(g, a), std::min(b, a), a);
    };
    std::vector<QRgb> palette(colors);
    for (int i = 0; i < colors; ++i) {
        const uint8_t* c = d + size_t(i) * (withAlpha ? 4 : 3);
        palette[i] = withAlpha ? premul(c[0], c[1], c[2], c[3]) : qRgb(c[0], c[1], c[2]);
    }
    const uint8_t* px = d + tableBytes;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const uint8_t* row = px + rowBytes * size_t(y);
        for (int x = 0; x < width; ++x) {
            if (format == 3) {
                uint8_t i = row[x];
                line[x] = i < colors ? palette[i] : qRgba(0, 0, 0, 0);
            } else if (format == 4) {
                uint16_t v = uint16_t((row[x * 2] << 8) | row[x * 2 + 1]);
                int r5 = (v >> 10) & 0x1F, g5 = (v >> 5) & 0x1F, b5 = v & 0x1F;
                line[x] = qRgb((r5 << 3) | (r5 >> 2), (g5 << 3) | (g5 >> 2), (b5 << 3) | (b5 >> 2));
            } else {
                const uint8_t* p = row + x * 4;
                line[x] = withAlpha ? premul(p[1], p[2], p[3], p[0]) : qRgb(p[1], p[2], p[3]);
            }
        }
    }
    def.image = std::move(img);
    return def;
}

} // namespace

std::optional<BitmapDef> parseBitmap(int tagCode, const uint8_t* body, size_t len, const QByteArray& jpegTables,
                                     QString* error) {
    BitReader r(body, len);
    switch (tagCode) {
    case 6:
    case 21:
    case 35:
    case 90:
        return parseJpeg(tagCode, r, jpegTables, error);
    case 20:
    case 36:
        return parseLossless(tagCode, r, error);
    default:
        if (error) *error = QStringLiteral("not a bitmap tag: %1").arg(tagCode);
        return std::nullopt;
    }
}

} // namespace nimbrel::movie::swf
