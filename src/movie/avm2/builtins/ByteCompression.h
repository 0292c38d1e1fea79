#pragma once
// The packings ByteArray.compress offers: a zlib stream, raw deflate, and
// LZMA as the documented layout has it (5 property bytes, the unpacked size
// as 8 bytes little-endian, then the data).
#include <QByteArray>
#include <optional>

namespace nimbrel::movie::avm2 {

class ByteCompression {
public:
    enum class Format { Zlib, Deflate, Lzma };
    static QByteArray compress(const QByteArray& data, Format format);
    // Nothing when the data is not a whole stream of the format.
    static std::optional<QByteArray> uncompress(const QByteArray& data, Format format);
};

} // namespace nimbrel::movie::avm2
