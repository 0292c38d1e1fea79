// DefineEditText records: every optional part read in order, cut records refused.
#include "movie/MoviePlayer.h"
#include "movie/support/SwfBuilder.h"
#include "movie/swf/EditTextDef.h"
#include "movie/swf/Movie.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::BitWriter;

namespace {

QByteArray fullRecord() {
    BitWriter w;
    w.u16(7);
    w.rect({20, 2020, 40, 640});
    w.u8(0x80 | 0x40 | 0x20 | 0x10 | 0x04 | 0x02 | 0x01); // text, wrap, multiline, password, colour, max length, font
    w.u8(0x40 | 0x20 | 0x10 | 0x08 | 0x02 | 0x01);        // auto size, layout, no select, border, html, outlines
    w.u16(3);                  // font id
    w.u16(360);                // 18 px
    w.rgba({0x11, 0x22, 0x33, 0x80});
    w.u16(42);                 // max length
    w.u8(2);                   // centred
    w.u16(20);
    w.u16(40);
    w.u16(60);
    w.u16(uint16_t(-20));      // leading -1 px
    w.string("_root.value");
    w.string("h\xC3\xA9llo");  // UTF-8
    return w.data();
}

} // namespace

TEST(EditTextDef, ReadsEveryOptionalPartInOrder) {
    const QByteArray rec = fullRecord();
    auto r = swf::EditTextDef::parse(reinterpret_cast<const uint8_t*>(rec.constData()), size_t(rec.size()));
    ASSERT_TRUE(r.ok()) << r.error().toStdString();
    const swf::EditTextDef& d = r.value();
    EXPECT_EQ(d.id, 7);
    EXPECT_EQ(d.bounds.xMin, 20);
    EXPECT_EQ(d.bounds.yMax, 640);
    EXPECT_TRUE(d.wordWrap && d.multiline && d.password && !d.readOnly);
    EXPECT_TRUE(d.autoSize && d.noSelect && d.border && d.html && d.useOutlines && !d.wasStatic);
    EXPECT_EQ(d.fontId, 3);
    EXPECT_EQ(d.fontHeight, 360);
    EXPECT_EQ(d.textColor, (swf::Rgba{0x11, 0x22, 0x33, 0x80}));
    EXPECT_EQ(d.maxLength, 42);
    EXPECT_EQ(d.align, swf::EditTextDef::Align::Center);
    EXPECT_EQ(d.leftMargin, 20);
    EXPECT_EQ(d.rightMargin, 40);
    EXPECT_EQ(d.indent, 60);
    EXPECT_EQ(d.leading, -20);
    EXPECT_EQ(d.variableName, QStringLiteral("_root.value"));
    EXPECT_EQ(d.initialText, QStringLiteral("h\u00E9llo"));
}

TEST(EditTextDef, MinimalRecordKeepsDefaultsAndLatin1TextSurvives) {
    BitWriter w;
    w.u16(1);
    w.rect({0, 100, 0, 100});
    w.u8(0x80 | 0x08); // text, read-only
    w.u8(0);
    w.string("");
    w.string("caf\xE9"); // not UTF-8: read as Latin-1
    const QByteArray rec = w.data();
    auto r = swf::EditTextDef::parse(reinterpret_cast<const uint8_t*>(rec.constData()), size_t(rec.size()));
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r->readOnly);
    EXPECT_FALSE(r->hasFont);
    EXPECT_EQ(r->fontHeight, 240);
    EXPECT_TRUE(r->variableName.isEmpty());
    EXPECT_EQ(r->initialText, QStringLiteral("caf\u00E9"));
}

TEST(EditTextDef, CutRecordsFailWithoutHarmAndTheMovieKeepsLoading) {
    const QByteArray rec = fullRecord();
    // Cut inside the fixed part or the font/layout fields: refused.
    for (int cut : {0, 1, 3, 8, 12, 20}) {
        auto r = swf::EditTextDef::parse(reinterpret_cast<const uint8_t*>(rec.constData()), size_t(cut));
        EXPECT_FALSE(r.ok()) << cut;
    }
    // Every cut of the tag inside a movie loads without crashing; the intact tag becomes a character.
    for (int cut = 0; cut <= rec.size(); ++cut) {
        test::SwfBuilder b;
        b.tag(37, rec.left(cut));
        b.showFrame();
        b.end();
        MoviePlayer p;
        ASSERT_TRUE(p.loadData(b.build()));
        if (cut == rec.size()) {
            const swf::Character* c = p.parsedMovie()->character(7);
            ASSERT_NE(c, nullptr);
            EXPECT_TRUE(std::holds_alternative<std::shared_ptr<const swf::EditTextDef>>(*c));
        }
    }
}
