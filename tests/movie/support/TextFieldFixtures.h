#pragma once
// A text field for tests: the "Box" font, whose 'A' fills its em square and
// whose 'B' draws nothing, and a DefineEditText using it.
#include "SwfBuilder.h"

namespace nimbrel::movie::test {

// DefineFont2 "Box" with layout: 'A' is a full em square, 'B' draws nothing;
// both advance one em; ascent 800 and descent 224 units (of 1024).
void defineBoxFont(SwfBuilder& b, uint16_t id);

struct FieldSpec {
    swf::Rect bounds{0, 2000, 0, 600};
    bool border = false, wordWrap = false, autoSize = false, useFont = true, html = false;
    int leading = 0; // twips; set, the field carries a layout block
    QByteArray text;
    QByteArray variable; // bound to the field when set
};

// DefineEditText 2 with the Box font (id 1) at 20 px in red.
void defineField(SwfBuilder& b, const FieldSpec& s);

} // namespace nimbrel::movie::test
