#include "movie/swf/AbcTags.h"
#include "movie/swf/BitReader.h"

namespace nimbrel::movie::swf {

ParseResult<AbcBlock> AbcBlock::parse(uint16_t code, const uint8_t* body, uint32_t length) {
    BitReader br(body, length);
    AbcBlock block;
    if (code == 82) {
        block.flags = br.u32();
        block.name = QString::fromStdString(br.string());
        if (br.failed()) return ParseResult<AbcBlock>::failure(QStringLiteral("DoABC tag is cut short"));
    }
    block.bytes = QByteArray(reinterpret_cast<const char*>(br.current()), qsizetype(br.remaining()));
    if (block.bytes.isEmpty()) return ParseResult<AbcBlock>::failure(QStringLiteral("DoABC tag holds no bytecode"));
    return block;
}

std::vector<SymbolClassLink> SymbolClassLink::parse(const uint8_t* body, uint32_t length, int frame, QString* error) {
    BitReader br(body, length);
    std::vector<SymbolClassLink> links;
    const int count = br.u16();
    for (int i = 0; i < count; ++i) {
        SymbolClassLink link;
        link.frame = frame;
        link.characterId = br.u16();
        link.className = QString::fromStdString(br.string());
        if (br.failed()) {
            if (error) *error = QStringLiteral("SymbolClass tag is cut short");
            break;
        }
        links.push_back(std::move(link));
    }
    return links;
}

} // namespace nimbrel::movie::swf
