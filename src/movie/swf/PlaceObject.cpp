#include "movie/swf/PlaceObject.h"
#include "movie/swf/BitReader.h"
#include "movie/swf/FilterParser.h"

namespace nimbrel::movie::swf {

namespace {

uint32_t eventFlags(BitReader& r, int swfVersion) {
    uint32_t v = uint32_t(r.u8()) << 24;
    v |= uint32_t(r.u8()) << 16;
    if (swfVersion >= 6) {
        v |= uint32_t(r.u8()) << 8;
        v |= r.u8();
    }
    return v;
}

// Handlers whose declared size runs past the tag are cut to what is there.
ClipActionList readClipActions(BitReader& r, int swfVersion) {
    ClipActionList list;
    r.u16(); // reserved
    eventFlags(r, swfVersion); // union of all handlers' events; recomputed by users if needed
    while (!r.failed() && !r.atEnd()) {
        ClipAction action;
        action.events = eventFlags(r, swfVersion);
        if (action.events == 0 || r.failed()) break;
        uint32_t size = r.u32();
        if (action.events & ClipEventKeyPress) {
            action.keyCode = r.u8();
            size = size ? size - 1 : 0;
        }
        size_t take = std::min<size_t>(size, r.remaining());
        action.actions = QByteArray(reinterpret_cast<const char*>(r.current()), qsizetype(take));
        r.skip(take);
        list.push_back(std::move(action));
        if (take < size) break;
    }
    return list;
}

QString latin1OrUtf8(const std::string& s, int swfVersion) {
    return swfVersion >= 6 ? QString::fromStdString(s) : QString::fromLatin1(s.data(), qsizetype(s.size()));
}

} // namespace

ParseResult<PlaceObject> PlaceObject::parse(int tagCode, const uint8_t* body, size_t len, int swfVersion) {
    BitReader r(body, len);
    PlaceObject po;
    if (tagCode == 4) {
        po.characterId = r.u16();
        po.depth = r.u16();
        po.matrix = r.matrix();
        if (!r.atEnd()) po.cxform = r.cxform(false);
        if (r.failed()) return ParseResult<PlaceObject>::failure(QStringLiteral("PlaceObject is truncated"));
        return po;
    }
    const uint8_t f1 = r.u8();
    const uint8_t f2 = tagCode == 70 ? r.u8() : 0;
    po.depth = r.u16();
    po.move = f1 & 0x01;
    if (f2 & 0x08 || (f2 & 0x10 && f1 & 0x02)) po.className = latin1OrUtf8(r.string(), swfVersion);
    if (f1 & 0x02) po.characterId = r.u16();
    if (f1 & 0x04) po.matrix = r.matrix();
    if (f1 & 0x08) po.cxform = r.cxform(true);
    if (f1 & 0x10) po.ratio = r.u16();
    if (f1 & 0x20) po.name = latin1OrUtf8(r.string(), swfVersion);
    if (f1 & 0x40) po.clipDepth = r.u16();
    if (r.failed()) return ParseResult<PlaceObject>::failure(QStringLiteral("PlaceObject is truncated"));
    if (f2 & 0x01) {
        po.filters = parseFilterList(r);
        // A damaged filter list loses the filters, not the placement.
        if (r.failed()) return po;
    }
    if (f2 & 0x02) po.blendMode = blendModeFromByte(r.u8());
    if (f2 & 0x04) po.cacheAsBitmap = r.u8() != 0;
    if (f2 & 0x20) po.visible = r.u8() != 0;
    if (f2 & 0x40) {
        const Rgba c = r.rgba();
        po.opaqueBackground = uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
    }
    if (f1 & 0x80 && !r.failed()) po.clipActions = readClipActions(r, swfVersion);
    return po;
}

} // namespace nimbrel::movie::swf
