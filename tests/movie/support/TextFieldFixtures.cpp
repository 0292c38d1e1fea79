#include "TextFieldFixtures.h"

namespace nimbrel::movie::test {

void defineBoxFont(SwfBuilder& b, uint16_t id) {
    const QByteArray square = SwfBuilder::squareGlyph();
    BitWriter empty;
    empty.ub(0, 4);
    empty.ub(0, 4);
    empty.ub(0, 6);
    const QByteArray blank = empty.data();
    BitWriter w;
    w.u16(id);
    w.u8(0x80); // layout
    w.u8(0);
    w.u8(3);
    w.bytes("Box");
    w.u16(2);
    w.u16(6);
    w.u16(uint16_t(6 + square.size()));
    w.u16(uint16_t(6 + square.size() + blank.size()));
    w.bytes(square);
    w.bytes(blank);
    w.u8('A');
    w.u8('B');
    w.u16(800);
    w.u16(224);
    w.u16(0);
    w.u16(1024);
    w.u16(1024);
    w.rect({0, 1024, -1024, 0});
    w.rect({0, 0, 0, 0});
    w.u16(0); // no kerning
    b.tag(48, w.data());
}

void defineField(SwfBuilder& b, const FieldSpec& s) {
    BitWriter w;
    w.u16(2);
    w.rect(s.bounds);
    w.u8(uint8_t(0x80 | (s.wordWrap ? 0x60 : 0) | 0x04 | (s.useFont ? 0x01 : 0)));
    w.u8(uint8_t((s.autoSize ? 0x40 : 0) | (s.leading ? 0x20 : 0) | (s.border ? 0x08 : 0) | (s.html ? 0x02 : 0) |
                 (s.useFont ? 0x01 : 0)));
    if (s.useFont) {
        w.u16(1);
        w.u16(400);
    }
    w.rgba({255, 0, 0, 255});
    if (s.leading) {
        w.u8(0); // left aligned, no margins or indent
        w.u16(0);
        w.u16(0);
        w.u16(0);
        w.u16(uint16_t(int16_t(s.leading)));
    }
    w.string(s.variable);
    w.string(s.text);
    b.tag(37, w.data());
}

} // namespace nimbrel::movie::test
