// Text fields on the stage: layout against an embedded font's metrics,
// automatic sizing, scrolling, and the border, background and glyphs drawn.
#include "movie/MoviePlayer.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/MovieClip.h"
#include "movie/support/SwfBuilder.h"
#include "movie/support/TextFieldFixtures.h"
#include "movie/swf/Movie.h"
#include <gtest/gtest.h>
#include <cstring>
#include <functional>

using namespace nimbrel::movie;
using display::EditTextObject;
using nimbrel::movie::test::defineBoxFont;
using nimbrel::movie::test::defineField;
using nimbrel::movie::test::FieldSpec;
using nimbrel::movie::test::Placement;
using nimbrel::movie::test::SwfBuilder;

namespace {

struct Stage {
    MoviePlayer player;
    EditTextObject* field = nullptr;
};

// extraTags come after the field's definition.
void load(Stage& st, const FieldSpec& spec, swf::Matrix m = {}, const std::function<void(SwfBuilder&)>& extraTags = {}) {
    SwfBuilder b;
    b.setBackground({0, 0, 255, 255});
    defineBoxFont(b, 1);
    defineField(b, spec);
    if (extraTags) extraTags(b);
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
    // The right edge stays put: the field moves, its box keeps its origin.
    EXPECT_DOUBLE_EQ(f.bounds().left(), 100);
    EXPECT_DOUBLE_EQ(f.bounds().width(), 400 + 80);
    EXPECT_DOUBLE_EQ(f.matrix.tx + f.bounds().right(), 980);
    EXPECT_DOUBLE_EQ(f.x(), 20);
    f.setAutoSize(EditTextObject::AutoSize::Center);
    f.setText(QStringLiteral("AA"));
    EXPECT_DOUBLE_EQ(f.x(), 10);
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
    // The border runs on the pixels of the box's four edges, x 20 and 120,
    // y 40 and 70, all but the bottom right corner.
    const struct {
        int x, y;
        QColor want;
    } border[] = {
        {19, 50, blue},   {20, 50, black},  {119, 50, white}, {120, 50, black}, {121, 50, blue},
        {60, 39, blue},   {60, 40, black},  {60, 69, white},  {60, 70, black},  {60, 71, blue},
        {120, 40, black}, {20, 70, black},  {119, 70, black}, {120, 70, blue},  {60, 65, white},
    };
    for (const auto& k : border) EXPECT_EQ(img.pixelColor(k.x, k.y), k.want) << k.x << "," << k.y;
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

TEST(EditTextObject, AnUnturnedBackgroundLandsOnWholePixels) {
    // A 10 x 10 px field: each edge rounds to a whole pixel, halves down, none partly covered.
    const struct {
        double x, y;        // twips
        int left, top;      // first pixels filled
    } cases[] = {{105, 1005, 5, 50} /* 5.25, 50.25 */, {410, 1010, 20, 50} /* 20.5, 50.5 */, {395, 1015, 20, 51} /* 19.75, 50.75 */};
    const QColor blue(0, 0, 255), green(0, 255, 0);
    for (const auto& k : cases) {
        SCOPED_TRACE(k.x);
        Stage st;
        load(st, {.bounds = {0, 200, 0, 200}, .text = ""}, swf::Matrix{1, 0, 0, 1, k.x, k.y});
        st.field->background = true;
        st.field->backgroundColor = 0x00FF00;
        const QImage img = st.player.renderImage(QSize(550, 400));
        const int midX = k.left + 5, midY = k.top + 5;
        EXPECT_EQ(img.pixelColor(k.left - 1, midY), blue);
        EXPECT_EQ(img.pixelColor(k.left, midY), green);
        EXPECT_EQ(img.pixelColor(k.left + 9, midY), green);
        EXPECT_EQ(img.pixelColor(k.left + 10, midY), blue);
        EXPECT_EQ(img.pixelColor(midX, k.top - 1), blue);
        EXPECT_EQ(img.pixelColor(midX, k.top), green);
        EXPECT_EQ(img.pixelColor(midX, k.top + 9), green);
        EXPECT_EQ(img.pixelColor(midX, k.top + 10), blue);
    }
}

TEST(EditTextObject, ABorderRunsOnThePixelsItsEdgesFallIn) {
    // 10 x 10 px at (20.75, 40.75): the border on columns 20 and 30, rows 40
    // and 50 but for the corner; the background from the rounded edges, 21 to 30, under it.
    Stage st;
    load(st, {.bounds = {0, 200, 0, 200}, .border = true, .text = ""}, swf::Matrix{1, 0, 0, 1, 415, 815});
    const QImage img = st.player.renderImage(QSize(550, 400));
    const QColor blue(0, 0, 255), white(255, 255, 255), black(0, 0, 0);
    const struct {
        int x, y;
        QColor want;
    } cases[] = {{19, 45, blue}, {20, 45, black}, {21, 45, white}, {29, 45, white}, {30, 45, black}, {31, 45, blue},
                 {25, 39, blue}, {25, 40, black}, {25, 41, white}, {25, 50, black}, {30, 50, white}};
    for (const auto& k : cases) EXPECT_EQ(img.pixelColor(k.x, k.y), k.want) << k.x << "," << k.y;
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

TEST(EditTextObject, LeadingCountsBetweenLinesAndAfterALoneLine) {
    // Box lines are 20 px (400 twips) high.
    struct Case {
        const char* text;
        int leading;
        double height;
    } cases[] = {
        {"A", 0, 400}, {"A", 100, 500}, {"A\rA", 0, 800}, {"A\rA", 100, 900}, {"A\rA\rA", 100, 1400},
    };
    for (const Case& c : cases) {
        Stage st;
        load(st, {.leading = c.leading, .text = c.text});
        EXPECT_DOUBLE_EQ(st.field->textHeight(), c.height) << c.text << " leading " << c.leading;
    }
}

TEST(EditTextObject, ScriptSizesSetTheOwnBoxInWholeTwips) {
    Stage st;
    load(st, {.text = "A"}, swf::Matrix{2, 0, 0, 1, 0, 0});
    EditTextObject& f = *st.field;
    f.setWidth(40.07);
    EXPECT_DOUBLE_EQ(f.bounds().width(), 801); // not divided by the scale, cut to twips
    EXPECT_DOUBLE_EQ(f.width(), 80.1);
    f.setHeight(3.94);
    EXPECT_DOUBLE_EQ(f.bounds().height(), 78);
    f.setY(3.94);
    EXPECT_DOUBLE_EQ(f.y(), 3.9);
    f.setX(-2.01);
    EXPECT_DOUBLE_EQ(f.x(), -2.0);
}

TEST(EditTextObject, MarkupFromTheFileEndsWithoutAnEmptyParagraph) {
    Stage st;
    load(st, {.html = true, .text = "<p>A</p><p>B</p>"});
    EXPECT_EQ(st.field->text(), QStringLiteral("A\rB"));
    // Markup a script sets keeps the break its last paragraph closes with.
    st.field->setHtmlText(QStringLiteral("<p>A</p><p>B</p>"));
    EXPECT_EQ(st.field->text(), QStringLiteral("A\rB\r"));
    st.field->restoreInitialText();
    EXPECT_EQ(st.field->text(), QStringLiteral("A\rB"));
}

TEST(EditTextObject, TakesAntiAliasingFromTheFilesTextSettings) {
    auto settings = [](SwfBuilder& b) {
        test::BitWriter w;
        w.u16(2);
        w.u8(0x50); // advanced, subpixel grid fitting
        for (float v : {1.5f, -2.0f}) {
            uint32_t bits;
            std::memcpy(&bits, &v, 4);
            w.u32(bits);
        }
        w.u8(0);
        b.tag(74, w.data());
    };
    Stage st;
    load(st, {.text = "A"}, {}, settings);
    EXPECT_TRUE(st.field->rendering.advanced);
    EXPECT_EQ(st.field->rendering.gridFit, swf::TextRenderSettings::GridFit::Subpixel);
    EXPECT_FLOAT_EQ(st.field->rendering.thickness, 1.5f);
    EXPECT_FLOAT_EQ(st.field->rendering.sharpness, -2.0f);
    Stage plain;
    load(plain, {.text = "A"});
    EXPECT_FALSE(plain.field->rendering.advanced);
    EXPECT_EQ(plain.field->rendering.gridFit, swf::TextRenderSettings::GridFit::Pixel);
}

TEST(EditTextObject, RestrictListsReadRangesAsThePlayerDoes) {
    struct Case {
        const char* list;
        const char* kept; // of "abcABC012^\-* &"
    } cases[] = {
        {"a-bA", "abAb"},          {"a-", "aa"},        {"-b", "abCABC012^\\-* &"}, {"b-a", "bb"},
        {"--", ""},                {"b-----", "bb"},    {"a-b-A", "abAb012-* &"},   {"\\\\-\\^", "^\\"},
        {"\\^-\\\\", "^"},         {"a\\", "aa"},       {"^\\^", "abcABC012\\-* &"}, {"^", "abcABC012^\\-* &"},
    };
    Stage st;
    load(st, {.text = ""});
    EditTextObject& f = *st.field;
    for (const Case& c : cases) {
        f.restrict = QString::fromUtf8(c.list);
        EXPECT_EQ(f.filterTyped(QStringLiteral("abcABC012^\\-* &")), QString::fromUtf8(c.kept)) << c.list;
    }
}
