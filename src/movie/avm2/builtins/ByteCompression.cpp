#include "movie/avm2/builtins/ByteCompression.h"
#include <lzma.h>
#include <zlib.h>

namespace nimbrel::movie::avm2 {

namespace {
// Unpacked data beyond this is refused: a small hostile stream must not fill memory.
constexpr size_t MaxUnpacked = size_t(1) << 30;
constexpr size_t Step = size_t(1) << 16;

QByteArray zlibPack(const QByteArray& data, bool raw) {
    z_stream zs{};
    deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, raw ? -MAX_WBITS : MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&zs, uLong(data.size()))), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(qsizetype(zs.total_out));
    deflateEnd(&zs);
    return out;
}

std::optional<QByteArray> zlibUnpack(const QByteArray& data, bool raw) {
    z_stream zs{};
    if (inflateInit2(&zs, raw ? -MAX_WBITS : MAX_WBITS) != Z_OK) return std::nullopt;
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    zs.avail_in = uInt(data.size());
    QByteArray out;
    int rc = Z_OK;
    while (rc == Z_OK && size_t(out.size()) < MaxUnpacked) {
        const qsizetype had = out.size();
        out.resize(had + qsizetype(Step));
        zs.next_out = reinterpret_cast<Bytef*>(out.data() + had);
        zs.avail_out = uInt(Step);
        rc = inflate(&zs, Z_NO_FLUSH);
        out.resize(qsizetype(zs.total_out));
        if (rc == Z_BUF_ERROR && zs.avail_in == 0) break;
    }
    inflateEnd(&zs);
    if (rc != Z_STREAM_END) return std::nullopt;
    return out;
}

QByteArray lzmaPack(const QByteArray& data) {
    lzma_options_lzma options;
    lzma_lzma_preset(&options, LZMA_PRESET_DEFAULT);
    lzma_stream ls = LZMA_STREAM_INIT;
    if (lzma_alone_encoder(&ls, &options) != LZMA_OK) return {};
    QByteArray out(qsizetype(data.size() + data.size() / 2 + 4096), '\0');
    ls.next_in = reinterpret_cast<const uint8_t*>(data.constData());
    ls.avail_in = size_t(data.size());
    ls.next_out = reinterpret_cast<uint8_t*>(out.data());
    ls.avail_out = size_t(out.size());
    lzma_code(&ls, LZMA_FINISH);
    out.resize(qsizetype(ls.total_out));
    lzma_end(&ls);
    // The header states the unpacked size rather than "unknown".
    uint64_t size = uint64_t(data.size());
    for (int i = 0; i < 8 && out.size() >= 13; ++i, size >>= 8) out[5 + i] = char(size & 0xff);
    return out;
}

std::optional<QByteArray> lzmaDecode(const QByteArray& stream) {
    lzma_stream ls = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&ls, UINT64_MAX) != LZMA_OK) return std::nullopt;
    ls.next_in = reinterpret_cast<const uint8_t*>(stream.constData());
    ls.avail_in = size_t(stream.size());
    QByteArray out;
    lzma_ret rc = LZMA_OK;
    while (rc == LZMA_OK && size_t(out.size()) < MaxUnpacked) {
        const qsizetype had = out.size();
        out.resize(had + qsizetype(Step));
        ls.next_out = reinterpret_cast<uint8_t*>(out.data() + had);
        ls.avail_out = Step;
        rc = lzma_code(&ls, LZMA_FINISH);
        out.resize(qsizetype(ls.total_out));
    }
    lzma_end(&ls);
    if (rc != LZMA_STREAM_END) return std::nullopt;
    return out;
}

std::optional<QByteArray> lzmaUnpack(const QByteArray& data) {
    if (data.size() < 13) return std::nullopt;
    if (auto out = lzmaDecode(data)) return out;
    // A stream that also carries an end marker decodes with the size left open.
    QByteArray open = data;
    for (int i = 5; i < 13; ++i) open[i] = char(0xff);
    return lzmaDecode(open);
}
} // namespace

QByteArray ByteCompression::compress(const QByteArray& data, Format format) {
    switch (format) {
    case Format::Zlib: return zlibPack(data, false);
    case Format::Deflate: return zlibPack(data, true);
    case Format::Lzma: return lzmaPack(data);
    }
    return {};
}

std::optional<QByteArray> ByteCompression::uncompress(const QByteArray& data, Format format) {
    switch (format) {
    case Format::Zlib: return zlibUnpack(data, false);
    case Format::Deflate: return zlibUnpack(data, true);
    case Format::Lzma: return lzmaUnpack(data);
    }
    return std::nullopt;
}

} // namespace nimbrel::movie::avm2
