// The HTML dialect of text fields: reading tags and entities into formatted
// text, and writing it back in the player's upper-case form.
#include "movie/display/HtmlText.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::display;

namespace {

FormattedText read(const QString& html, bool condense = false) {
    FormattedText t;
    HtmlText::parse(html, TextFormat::defaults(), t, condense);
    return t;
}

} // namespace

TEST(HtmlText, TagsSetFormatsAndParagraphsBreakLines) {
    const FormattedText t = read(QStringLiteral(
        "<p align=\"center\"><font face=\"Arial\" size=\"20\" color=\"#ff0000\">Big</font> <b>bold</b></p>"
        "line<br>two<a href=\"http://x/\" target=\"_blank\"><i><u>link</u></i></a>"));
    EXPECT_EQ(t.text(), QStringLiteral("Big bold\rline\rtwolink"));
    const TextFormat big = t.formatOf(0, 3);
    EXPECT_EQ(big.font, QStringLiteral("Arial"));
    EXPECT_EQ(big.size, 20.0);
    EXPECT_EQ(big.color, 0xFF0000u);
    EXPECT_EQ(big.align, QStringLiteral("center"));
    EXPECT_EQ(t.formatOf(4, 8).bold, true);
    EXPECT_EQ(t.formatOf(4, 8).size, 12.0); // the font tag was closed
    const TextFormat link = t.formatOf(18, 22);
    EXPECT_EQ(link.url, QStringLiteral("http://x/"));
    EXPECT_EQ(link.target, QStringLiteral("_blank"));
    EXPECT_EQ(link.italic, true);
    EXPECT_EQ(link.underline, true);
    EXPECT_EQ(t.formatOf(9, 13).align, QStringLiteral("left"));
    // A range over differing sizes reads as mixed.
    EXPECT_FALSE(t.formatOf(0, 8).size.has_value());
}

TEST(HtmlText, EntitiesRelativeSizesAndUnknownTags) {
    const FormattedText t = read(QStringLiteral("&lt;a&gt; &amp; &quot;&apos;&#65;&#x42;&bogus; <font size=\"+2\">x</font><blink>y</blink>"));
    EXPECT_EQ(t.text(), QStringLiteral("<a> & \"'AB&bogus; xy"));
    EXPECT_EQ(t.formatOf(int(t.text().indexOf(QLatin1Char('x'))), int(t.text().indexOf(QLatin1Char('x'))) + 1).size, 14.0);
    // Bullets start their own paragraph.
    EXPECT_EQ(read(QStringLiteral("a<li>one</li><li>two</li>")).text(), QStringLiteral("a\rone\rtwo\r"));
    EXPECT_EQ(read(QStringLiteral("a  b\n c"), true).text(), QStringLiteral("a b c"));
}

TEST(HtmlText, WritesParagraphsFontsAndStyles) {
    FormattedText t;
    TextFormat f = TextFormat::defaults();
    t.append(QStringLiteral("a<b"), f);
    TextFormat bold = f;
    bold.bold = true;
    bold.color = 0x00FF00;
    t.append(QStringLiteral("B\rc"), bold);
    EXPECT_EQ(HtmlText::write(t),
              QStringLiteral("<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" "
                             "KERNING=\"0\">a&lt;b</FONT><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#00FF00\" "
                             "LETTERSPACING=\"0\" KERNING=\"0\"><B>B</B></FONT></P><P ALIGN=\"LEFT\"><FONT FACE=\"Times New "
                             "Roman\" SIZE=\"12\" COLOR=\"#00FF00\" LETTERSPACING=\"0\" KERNING=\"0\"><B>c</B></FONT></P>"));
    TextFormat margins = f;
    margins.leftMargin = 1;
    margins.leading = 4;
    FormattedText m;
    m.append(QStringLiteral("x"), margins);
    EXPECT_TRUE(HtmlText::write(m).startsWith(QStringLiteral("<TEXTFORMAT LEFTMARGIN=\"1\" LEADING=\"4\"><P")));
    EXPECT_TRUE(HtmlText::write(m).endsWith(QStringLiteral("</P></TEXTFORMAT>")));
}

TEST(HtmlText, HostileMarkupStaysBounded) {
    QString deep;
    for (int i = 0; i < 5000; ++i) deep += QStringLiteral("<b><font size=\"+1\">");
    deep += QStringLiteral("x<unclosed attr=\"never");
    const FormattedText t = read(deep);
    EXPECT_EQ(t.text(), QStringLiteral("x"));
    EXPECT_EQ(read(QStringLiteral("<<<>>>&#99999999999;")).text(), QStringLiteral(">>&#99999999999;"));
}

TEST(HtmlText, FontColoursReadHexDigitsUpToTheFirstOtherCharacter) {
    struct Case {
        const char* color;
        uint32_t expected; // 0x123456: left as the base colour
    } cases[] = {
        {"#202020", 0x202020}, {"#2", 0x2},          {"#2345678", 0x345678}, {"#23456789a", 0x56789A},
        {"#abfg", 0xABF},      {"#AbC", 0xABC},      {"# 234567", 0x234567}, {"#2 34567", 0x2},
        {"#234567 ", 0x234567}, {" #234567", 0x123456}, {"202020", 0x123456}, {"#g101010", 0x123456},
        {"#", 0x123456},
    };
    TextFormat base = TextFormat::defaults();
    base.color = 0x123456;
    for (const Case& c : cases) {
        FormattedText t;
        HtmlText::parse(QStringLiteral("<font color=\"%1\">x</font>").arg(QLatin1String(c.color)), base, t, false);
        EXPECT_EQ(t.formatOf(0, 1).color, c.expected) << c.color;
    }
}

TEST(HtmlText, AnUnquotedAttributeEndsTheMarkup) {
    EXPECT_EQ(read(QStringLiteral("a<font color=#00FF00>b</font>c")).text(), QStringLiteral("a"));
    EXPECT_EQ(read(QStringLiteral("<font color='#00FF00'>b</font>")).text(), QStringLiteral("b"));
}

TEST(HtmlText, AParagraphBreakTakesTheFormatOfTheTextItEnds) {
    const FormattedText t = read(QStringLiteral("<p><font size=\"20\" kerning=\"1\">A</font></p><p>B</p>"));
    ASSERT_EQ(t.text(), QStringLiteral("A\rB\r"));
    EXPECT_EQ(t.formatOf(1, 2).size, 20.0);
    EXPECT_EQ(t.formatOf(1, 2).kerning, true);
    EXPECT_EQ(t.formatOf(2, 3).size, 12.0);
    // An empty paragraph's break has the paragraph's own format.
    EXPECT_EQ(read(QStringLiteral("<p align=\"right\"></p>")).formatOf(0, 1).align, QStringLiteral("right"));
}
