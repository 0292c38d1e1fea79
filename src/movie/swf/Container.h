#pragma once
// Unwraps an SWF file: recognises FWS, CWS (zlib) and ZWS (LZMA) and returns
// the uncompressed bytes that follow the 8-byte prefix. A stream that ends
// early keeps what was decoded; sizes beyond maxUncompressed are refused.
#include "movie/swf/Header.h"
#include "movie/swf/ParseResult.h"
#include <QByteArray>

namespace nimbrel::movie::swf {

class Container {
public:
    static constexpr uint32_t maxUncompressed = 256u * 1024 * 1024;

    struct Unpacked {
        Compression compression = Compression::None;
        uint8_t version = 0;
        uint32_t declaredLength = 0;
        QByteArray body;        // everything after the 8-byte prefix, uncompressed
        bool truncated = false; // fewer bytes than declared
    };

    static ParseResult<Unpacked> unpack(const QByteArray& file);

private:
    static bool inflateZlib(const char* data, size_t size, size_t expected, QByteArray& out);
    static bool decodeLzma(const char* data, size_t size, size_t expected, QByteArray& out);
};

} // namespace nimbrel::movie::swf
