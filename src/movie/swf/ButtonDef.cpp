#include "movie/swf/ButtonDef.h"
#include "movie/swf/BitReader.h"
#include "movie/swf/FilterParser.h"

namespace nimbrel::movie::swf {

namespace {

bool readRecords(BitReader& r, bool button2, std::vector<ButtonRecord>& out) {
    while (!r.atEnd()) {
        uint8_t flags = r.u8();
        if (flags == 0) return true;
        ButtonRecord rec;
        rec.states = flags & 0x0f;
        rec.characterId = r.u16();
        rec.depth = r.u16();
        rec.matrix = r.matrix();
        if (button2) {
            rec.cxform = r.cxform(true);
            if (flags & 0x10) rec.filters = parseFilterList(r);
            if (flags & 0x20) rec.blendMode = blendModeFromByte(r.u8());
        }
        if (r.failed()) return false;
        out.push_back(std::move(rec));
    }
    return false;
}

QByteArray rest(BitReader& r, size_t size) {
    size_t take = std::min(size, r.remaining());
    QByteArray a(reinterpret_cast<const char*>(r.current()), qsizetype(take));
    r.skip(take);
    return a;
}

} // namespace

ParseResult<ButtonDef> ButtonDef::parse(int tagCode, const uint8_t* body, size_t len) {
    BitReader r(body, len);
    ButtonDef b;
    b.id = r.u16();
    const bool button2 = tagCode == 34;
    if (!button2) {
        if (!readRecords(r, false, b.records))
            return ParseResult<ButtonDef>::failure(QStringLiteral("button %1 is truncated").arg(b.id));
        ButtonAction a;
        a.conditions = CondOverDownToOverUp;
        a.actions = rest(r, r.remaining());
        if (!a.actions.isEmpty()) b.actions.push_back(std::move(a));
        return b;
    }
    b.trackAsMenu = r.u8() & 1;
    const size_t actionStart = r.pos();
    const uint16_t actionOffset = r.u16();
    if (!readRecords(r, true, b.records))
        return ParseResult<ButtonDef>::failure(QStringLiteral("button %1 is truncated").arg(b.id));
    if (actionOffset == 0) return b;
    r.seek(actionStart + actionOffset);
    // Condition records: size (0 for the last), conditions, actions. Broken
    // records end the list; the button keeps what was read.
    while (!r.failed() && r.remaining() >= 4) {
        const size_t start = r.pos();
        const uint16_t size = r.u16();
        const uint8_t c1 = r.u8(), c2 = r.u8();
        ButtonAction a;
        a.conditions = uint16_t(c1 << 8 | (c2 & 1));
        a.keyCode = c2 >> 1;
        if (size == 0) {
            a.actions = rest(r, r.remaining());
            b.actions.push_back(std::move(a));
            break;
        }
        if (size < 4) break;
        a.actions = rest(r, size - 4);
        b.actions.push_back(std::move(a));
        r.seek(start + size);
    }
    return b;
}

bool ButtonDef::readSounds(const uint8_t* body, size_t len) {
    size_t at = 0;
    for (ButtonSound& sound : sounds) {
        if (at + 2 > len) return false;
        const uint16_t id = uint16_t(body[at] | body[at + 1] << 8);
        at += 2;
        if (id == 0) continue;
        SoundInfo info;
        if (!SoundInfo::read(body, len, at, &info)) return false;
        // The record's size follows from its flags.
        const uint8_t flags = body[at];
        at += 1 + (flags & 0x01 ? 4 : 0) + (flags & 0x02 ? 4 : 0) + (flags & 0x04 ? 2 : 0);
        if (flags & 0x08) at += at < len ? 1 + size_t(body[at]) * 8 : 1;
        sound = {id, std::move(info)};
    }
    return true;
}

} // namespace nimbrel::movie::swf
