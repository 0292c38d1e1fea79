#include "movie/swf/Container.h"
#include <QObject>
#include <lzma.h>
#include <zlib.h>
#include <algorithm>
#include <cstring>

namespace nimbrel::movie::swf {

namespace {
// Output grows in steps so that a lying length field cannot make us reserve
// hundreds of megabytes for a few bytes of input.
constexpr size_t growStep = 1u << 20;

uint32_t le32(const char* p) {
    auto u = reinterpret_cast<const uint8_t*>(p);
    return uint32_t(u[0]) | uint32_t(u[1]) << 8 | uint32_t(u[2]) << 16 | uint32_t(u[3]) << 24;
}
} // namespace

ParseResult<Container::Unpacked> Container::unpack(const QByteArray& file) {
    if (file.size() < 8) return ParseResult<Unpacked>::failure(QStringLiteral("file too short to be an SWF movie"));
    const char* p = file.constData();
    Unpacked u;
    if (p[1] != 'W' || p[2] != 'S') return ParseResult<Unpacked>::failure(QStringLiteral("not an SWF movie (bad signature)"));
    switch (p[0]) {
    case 'F': u.compression = Compression::None; break;
    case 'C': u.compression = Compression::Zlib; break;
    case 'Z': u.compression = Compression::Lzma; break;
    default: return ParseResult<Unpacked>::failure(QStringLiteral("not an SWF movie (bad signature)"));
    }
    u.version = uint8_t(p[3]);
    u.declaredLength = le32(p + 4);
    if (u.declaredLength > maxUncompressed)
        return ParseResult<Unpacked>::failure(QStringLiteral("declared size %1 bytes is too large").arg(u.declaredLength));
    const size_t expected = u.declaredLength > 8 ? u.declaredLength - 8 : 0;

    switch (u.compression) {
    case Compression::None:
        u.body = file.mid(8);
        // Trailing bytes beyond the declared length are ignored; fewer are tolerated.
        if (size_t(u.body.size()) > expected && expected > 0) u.body.truncate(qsizetype(expected));
        break;
    case Compression::Zlib:
        if (!inflateZlib(p + 8, size_t(file.size()) - 8, expected, u.body) && u.body.isEmpty())
            return ParseResult<Unpacked>::failure(QStringLiteral("compressed data is damaged"));
        break;
    case Compression::Lzma:
        if (file.size() < 17) return ParseResult<Unpacked>::failure(QStringLiteral("LZMA header is truncated"));
        if (!decodeLzma(p + 8, size_t(file.size()) - 8, expected, u.body) && u.body.isEmpty())
            return ParseResult<Unpacked>::failure(QStringLiteral("LZMA data is damaged"));
        break;
    }
    u.truncated = size_t(u.body.size()) < expected;
    if (u.body.isEmpty()) return ParseResult<Unpacked>::failure(QStringLiteral("movie has no content"));
    return u;
}

bool Container::inflateZlib(const char* data, size_t size, size_t expected, QByteArray& out) {
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return false;
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    zs.avail_in = uInt(std::min<size_t>(size, UINT32_MAX));
    const size_t limit = expected ? expected : maxUncompressed;
    size_t produced = 0;
    bool good = true;
    while (produced < limit) {
        size_t want = std::min(limit - produced, growStep);
        out.resize(qsizetype(produced + want));
        zs.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
        zs.avail_out = uInt(want);
        int rc = inflate(&zs, Z_NO_FLUSH);
        produced += want - zs.avail_out;
        if (rc == Z_STREAM_END) break;
        if (rc != Z_OK) {
            good = false;
            break;
        }
    }
    inflateEnd(&zs);
    out.resize(qsizetype(produced));
    return good;
}

bool Container::decodeLzma(const char* data, size_t size, size_t expected, QByteArray& out) {
    // The SWF layout is: compressed length (u32), 5 property bytes, raw data.
    // liblzma's "alone" decoder wants properties followed by a 64-bit size;
    // an unknown size (all ones) accepts streams with or without an end marker
    // once we stop at the expected length ourselves.
    if (size < 9) return false;
    QByteArray alone;
    alone.reserve(qsizetype(size - 4 + 8));
    alone.append(data + 4, 5);
    alone.append(QByteArray(8, char(0xff)));
    alone.append(data + 9, qsizetype(size - 9));

    lzma_stream ls = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&ls, uint64_t(maxUncompressed)) != LZMA_OK) return false;
    ls.next_in = reinterpret_cast<const uint8_t*>(alone.constData());
    ls.avail_in = size_t(alone.size());
    const size_t limit = expected ? expected : maxUncompressed;
    size_t produced = 0;
    bool good = true;
    while (produced < limit) {
        size_t want = std::min(limit - produced, growStep);
        out.resize(qsizetype(produced + want));
        ls.next_out = reinterpret_cast<uint8_t*>(out.data() + produced);
        ls.avail_out = want;
        lzma_ret rc = lzma_code(&ls, LZMA_FINISH);
        produced += want - ls.avail_out;
        if (rc == LZMA_STREAM_END) break;
        if (rc != LZMA_OK) {
            good = false;
            break;
        }
        if (ls.avail_in == 0 && ls.avail_out != 0) break;
    }
    lzma_end(&ls);
    out.resize(qsizetype(produced));
    return good && produced == limit;
}

} // namespace nimbrel::movie::swf
