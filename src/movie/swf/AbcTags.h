#pragma once
// The ActionScript 3 tags of a movie, kept as read: bytecode blocks (DoABC,
// and the older DoABC form without flags and name) and SymbolClass links,
// each with the frame it appears in so the player runs them in order.
#include "movie/swf/ParseResult.h"
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace nimbrel::movie::swf {

struct AbcBlock {
    static constexpr uint32_t LazyInitialize = 0x1; // flag: run the scripts when first needed
    int frame = 0;      // index of the main timeline frame holding the tag
    uint32_t flags = 0;
    QString name;
    QByteArray bytes;   // the ABC data itself

    bool lazyInitialize() const { return (flags & LazyInitialize) != 0; }
    // code is 82 (flags, name, data) or 72 (data only).
    static ParseResult<AbcBlock> parse(uint16_t code, const uint8_t* body, uint32_t length);
};

struct SymbolClassLink {
    int frame = 0;
    uint16_t characterId = 0; // 0 names the main timeline (the document class)
    QString className;        // fully qualified, e.g. "pkg.Main"

    // All links of one SymbolClass tag; a tag cut short gives the complete entries and an error.
    static std::vector<SymbolClassLink> parse(const uint8_t* body, uint32_t length, int frame, QString* error);
};

} // namespace nimbrel::movie::swf
