// Fonts that only name a device face, and where device text's baseline falls.
#include "movie/display/TextFont.h"
#include "movie/swf/FontDef.h"
#include "support/CaseFonts.h"
#include <QFile>
#include <gtest/gtest.h>

using nimbrel::movie::display::TextFont;
using nimbrel::movie::swf::FontDef;

namespace {

// DefineFont2/3 header: id 1, flags (wide codes), language, name; then the
// glyph count and whatever `tail` holds.
QByteArray nameOnlyFont(const QByteArray& name, const QByteArray& tail) {
    QByteArray b("\x01\x00\x04\x01", 4);
    b += char(name.size());
    b += name;
    b += QByteArray("\x00\x00", 2); // no glyphs
    return b + tail;
}

TEST(DeviceFontMetrics, FontsThatOnlyNameAFaceAreKept) {
    const struct {
        const char* what;
        int tag;
        QByteArray body;
        bool ok;
    } cases[] = {
        {"ends after its glyph count", 75, nameOnlyFont(QByteArray("_sans\0", 6), {}), true},
        {"keeps an empty code table offset", 48, nameOnlyFont("_serif", QByteArray("\x02\x00", 2)), true},
        {"cut inside its name", 75, QByteArray("\x01\x00\x04\x01\x06_sa", 8), false},
    };
    for (const auto& c : cases) {
        const auto font = FontDef::parse(c.tag, reinterpret_cast<const uint8_t*>(c.body.constData()), size_t(c.body.size()));
        ASSERT_EQ(font.ok(), c.ok) << c.what;
        if (!c.ok) continue;
        EXPECT_TRUE(font->name.startsWith(QLatin1Char('_'))) << c.what;
        EXPECT_FALSE(font->name.contains(QChar(0))) << c.what;
        EXPECT_TRUE(font->glyphs.empty()) << c.what;
    }
}

// The harnesses' default font is Noto Sans, ascent 1069 per 1000 units: the
// baseline sits on the first whole pixel at or below that ascent, and each
// glyph advances by its width rounded to whole pixels.
TEST(DeviceFontMetrics, DeviceTextSitsOnWholePixels) {
    if (!QFile::exists(CaseFonts::defaultFontFile())) GTEST_SKIP() << "no default font file";
    CaseFonts fonts;
    fonts.withDefaultFont = true;
    ASSERT_TRUE(fonts.apply().isEmpty());
    const TextFont face = TextFont::device(QStringLiteral("_sans"), false, false);
    const struct {
        double sizeTwips, ascentTwips;
    } cases[] = {
        {580, 620}, // 31.001 px: a hundredth of a twip under 31 px stays at 31
        {400, 440}, // 21.38 px: a fraction under half a pixel still goes down a pixel
        {200, 220}, // 10.69 px
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(face.ascent(c.sizeTwips), c.ascentTwips) << c.sizeTwips;
    const struct {
        char32_t code;
        double advanceTwips; // at 29 px
    } advances[] = {
        {U'A', 380}, // 18.53 px
        {U'l', 140}, // 7.48 px
        {U'p', 360}, // 17.78 px
    };
    for (const auto& a : advances) EXPECT_DOUBLE_EQ(face.advance(a.code, 580), a.advanceTwips) << char(a.code);
    CaseFonts().apply();
}

} // namespace

namespace {

// Embedded glyphs advance by whole twips: a DefineFont3 advance of 1000 units
// (of 20480) is 19.53 twips at 20 px, and the fraction never adds up along a line.
TEST(DeviceFontMetrics, EmbeddedGlyphsAdvanceByWholeTwips) {
    FontDef def;
    def.unitsPerEm = 20480;
    def.codes = {u'A'};
    def.glyphs = {QPainterPath()};
    def.advances = {1000};
    const TextFont font = TextFont::fromEmbedded(&def);
    const struct {
        double size, advance; // twips
    } cases[] = {{400, 19}, {240, 11}, {20480, 1000}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(font.advance(U'A', c.size), c.advance) << c.size;
}

} // namespace
