// Text fields on the stage: layout against an embedded font's metrics,
// automatic sizing, scrolling, and the border, background and glyphs drawn.
#include "movie/MoviePlayer.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/MovieClip.h"
#include "movie/support/SwfBuilder.h"
#include "movie/swf/Movie.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using display::EditTextObject;
using test::BitWriter;
using test::Placement;
using test::SwfBuilder;

namespace {

// DefineFont2 "Box" with layout: 'A' is a full em square, 'B' draws nothing;
// both advance one em; ascent 800 and descent 224 units (of 1024).
void defineBoxFont(SwfBuilder& b, uint16_t id) {
    BitWriter g;
    g.ub(1, 4);
    g.ub(0, 4);
    g.ub(0x05, 6); // style change: fill style 1, move to
    g.ub(12, 5);
    g.sb(0, 12);
    g.sb(-1024, 12);
    g.ub(1, 1);
    auto edge = [&](int32_t dx, int32_t dy) {
        g.ub(1, 1);
        g.ub(1, 1);
        g.ub(10, 4);
        g.ub(1, 1);
        g.sb(dx, 12);
        g.sb(dy, 12);
    };
    edge(1024, 0);
    edge(0, 1024);
    edge(-1024, 0);
    edge(0, -1024);
    g.ub(0, 6);
    const QByteArray square = g.data();
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

struct FieldSpec {
    swf::Rect bounds{0, 2000, 0, 600};
    bool border = false, wordWrap = false, autoSize = false, useFont = true;
    QByteArray text;
};

// DefineEditText 2 with the Box font at 20 px in red.
void defineField(SwfBuilder& b, const FieldSpec& s) {
    BitWriter w;
    w.u16(2);
    w.rect(s.bounds);
    w.u8(uint8_t(0x80 | (s.wordWrap ? 0x60 : 0) | 0x04 | (s.useFont ? 0x01 : 0)));
    w.u8(uint8_t((s.autoSize ? 0x40 : 0) | (s.border ? 0x08 : 0) | (s.useFont ? 0x01 : 0)));
    if (s.useFont) {
        w.u16(1);
        w.u16(400);
    }
    w.rgba({255, 0, 0, 255});
    w.string("");
    w.string(s.text);
    b.tag(37, w.data());
}

struct Stage {
    MoviePlayer player;
    EditTextObject* field = nullptr;
};

void load(Stage& st, const FieldSpec& spec, swf::Matrix m = {}) {
    SwfBuilder b;
    b.setBackground({0, 0, 255, 255});
    defineBoxFont(b, 1);
    defineField(b, spec);
    Placement p;
    p.characterId = 2;
    p.depth = 1;
    p.matrix = m;
    b.placeObject2(p);
    b.showFrame();
    b.end();
    st.player.setScriptEngineFactory(nullptr);
    ASSERT_TRUE(st.player.loadData(b.build()));
    display::DisplayObject* o = st.player.root()->childAt(1);
    ASSERT_NE(o, nullptr);
    ASSERT_EQ(o->type(), display::DisplayObject::Type::EditText);
    st.field = static_cast<EditTextObject*>(o);
}

} // namespace

TEST(EditTextObject, LaysOutEmbeddedGlyphsWithTheFontsMetrics) {
    Stage st;
    load(st, {.text = "AAB"});
    EditTextObject& f = *st.field;
    EXPECT_EQ(f.text(), QStringLiteral("AAB"));
    EXPECT_EQ(f.newTextFormat().font, QStringLiteral("Box"));
    EXPECT_EQ(f.newTextFormat().size, 20.0);
    EXPECT_EQ(f.textColor(), 0xFF0000u);
    // Three one-em advances of 20 px; the line is ascent + descent high.
    EXPECT_DOUBLE_EQ(f.textWidth(), 1200);
    EXPECT_DOUBLE_EQ(f.textHeight(), 400);
    ASSERT_EQ(f.layout().lines().size(), 1u);
    EXPECT_DOUBLE_EQ(f.layout().lines()[0].baseline(), 800 * 400 / 1024.0);
    // Hard breaks start new lines.
    f.setText(QStringLiteral("A\nA\r\nA"));
    EXPECT_EQ(f.text(), QStringLiteral("A\rA\rA"));
    EXPECT_EQ(f.layout().lines().size(), 3u);
    EXPECT_DOUBLE_EQ(f.textHeight(), 1200);
}

TEST(EditTextObject, WrapsAtSpacesAndScrollsByLines) {
    Stage st;
    // 100 px wide (96 px inside the gutters), 30 px high: one 20 px line shows.
    load(st, {.bounds = {0, 2000, 0, 600}, .wordWrap = true, .text = "AAA AAA AAA"});
    EditTextObject& f = *st.field;
    const auto& lines = f.layout().lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(f.text().mid(lines[1].begin, lines[1].end - lines[1].begin), QStringLiteral("AAA "));
    EXPECT_DOUBLE_EQ(f.textWidth(), 1200); // trailing spaces do not count
    EXPECT_EQ(f.maxScroll(), 3);
    EXPECT_EQ(f.bottomScroll(), 1);
    f.setScroll(2);
    EXPECT_EQ(f.scroll(), 2);
    EXPECT_EQ(f.bottomScroll(), 2);
    f.setScroll(99);
    EXPECT_EQ(f.scroll(), 3);
    // A word wider than the field is cut rather than overflowing forever.
    f.setText(QStringLiteral("AAAAAAAAAA"));
    EXPECT_EQ(f.layout().lines().size(), 3u);
    EXPECT_EQ(f.scroll(), 3);
}

TEST(EditTextObject, AutoSizeFollowsTheTextAndSettingWidthKeepsScale) {
    Stage st;
    load(st, {.bounds = {100, 300, 100, 300}, .autoSize = true, .text = "AA"});
    EditTextObject& f = *st.field;
    // Text plus the 2 px gutter on each side, growing from the left edge.
    EXPECT_DOUBLE_EQ(f.bounds().left(), 100);
    EXPECT_DOUBLE_EQ(f.bounds().width(), 800 + 80);
    EXPECT_DOUBLE_EQ(f.bounds().height(), 400 + 80);
    f.setAutoSize(EditTextObject::AutoSize::Right);
    f.setText(QStringLiteral("A"));
    EXPECT_DOUBLE_EQ(f.bounds().right(), 980);
    EXPECT_DOUBLE_EQ(f.bounds().width(), 400 + 80);
    f.setAutoSize(EditTextObject::AutoSize::None);
    f.setWidth(50);
    EXPECT_DOUBLE_EQ(f.bounds().width(), 1000);
    EXPECT_DOUBLE_EQ(f.xScale(), 100);
    EXPECT_DOUBLE_EQ(f.width(), 50);
}

TEST(EditTextObject, DrawsBorderBackgroundAndGlyphsInsideTheBox) {
    Stage st;
    // 100 x 30 px at (20, 40).
    load(st, {.bounds = {0, 2000, 0, 600}, .border = true, .text = "AB"}, swf::Matrix{1, 0, 0, 1, 400, 800});
    const QImage img = st.player.renderImage(QSize(550, 400));
    const QColor blue(0, 0, 255), white(255, 255, 255), black(0, 0, 0), red(255, 0, 0);
    EXPECT_EQ(img.pixelColor(19, 50), blue);   // left of the box
    EXPECT_EQ(img.pixelColor(20, 50), black);  // left border
    EXPECT_EQ(img.pixelColor(119, 50), black); // right border, one pixel inside
    EXPECT_EQ(img.pixelColor(120, 50), blue);
    EXPECT_EQ(img.pixelColor(60, 40), black);  // top border
    EXPECT_EQ(img.pixelColor(60, 69), black);  // bottom border
    EXPECT_EQ(img.pixelColor(60, 65), white);  // background
    // 'A' fills its em square: x 22..42, from the baseline (2 + 15.6 px down) 20 px up.
    EXPECT_EQ(img.pixelColor(30, 52), red);
    EXPECT_EQ(img.pixelColor(50, 52), white);  // 'B' has no outline
    // Without a border nothing but the glyphs is drawn.
    Stage plain;
    load(plain, {.text = "A"}, swf::Matrix{1, 0, 0, 1, 400, 800});
    const QImage p = plain.player.renderImage(QSize(550, 400));
    EXPECT_EQ(p.pixelColor(20, 50), blue);
    EXPECT_EQ(p.pixelColor(60, 65), blue);
    EXPECT_EQ(p.pixelColor(30, 52), red);
}

TEST(EditTextObject, InputFiltersHonourRestrictAndMaxChars) {
    Stage st;
    load(st, {.text = "A"});
    EditTextObject& f = *st.field;
    f.restrict = QStringLiteral("a-c0-9");
    EXPECT_EQ(f.filterTyped(QStringLiteral("abcdz19")), QStringLiteral("abc19"));
    f.restrict = QStringLiteral("^0-9");
    EXPECT_EQ(f.filterTyped(QStringLiteral("a1b2")), QStringLiteral("ab"));
    f.restrict.reset();
    f.maxChars = 3;
    EXPECT_EQ(f.filterTyped(QStringLiteral("xyz")), QStringLiteral("xy"));
}
