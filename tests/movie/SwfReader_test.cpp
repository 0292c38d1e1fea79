// Reading whole files: containers, header figures, tag framing and damaged input.
#include "movie/swf/Container.h"
#include "movie/swf/MovieParser.h"
#include "movie/support/SwfBuilder.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::Placement;
using nimbrel::movie::test::SwfBuilder;

namespace {

SwfBuilder twoFrameMovie() {
    SwfBuilder b;
    b.setBackground({10, 20, 30, 255});
    b.defineRect(1, {0, 400, 0, 200}, {255, 0, 0, 255});
    Placement p;
    p.characterId = 1;
    p.depth = 1;
    p.name = QStringLiteral("box");
    b.placeObject2(p);
    b.frameLabel(QStringLiteral("start"));
    b.showFrame();
    b.removeObject2(1);
    b.showFrame();
    b.end();
    return b;
}

std::shared_ptr<const swf::Movie> parseOk(const QByteArray& bytes) {
    auto r = swf::MovieParser::parse(bytes);
    EXPECT_TRUE(r.ok()) << r.error().toStdString();
    return r.ok() ? r.value() : nullptr;
}

} // namespace

TEST(SwfReader, AllThreeContainersGiveTheSameMovie) {
    const SwfBuilder b = twoFrameMovie();
    auto fws = parseOk(b.build(SwfBuilder::Container::Fws, 10, {0, 11000, 0, 8000}, 24.5, 2));
    auto cws = parseOk(b.build(SwfBuilder::Container::Cws, 10, {0, 11000, 0, 8000}, 24.5, 2));
    auto zws = parseOk(b.build(SwfBuilder::Container::Zws, 13, {0, 11000, 0, 8000}, 24.5, 2));
    ASSERT_TRUE(fws && cws && zws);
    EXPECT_EQ(fws->header.compression, swf::Compression::None);
    EXPECT_EQ(cws->header.compression, swf::Compression::Zlib);
    EXPECT_EQ(zws->header.compression, swf::Compression::Lzma);
    for (const auto& m : {fws, cws, zws}) {
        EXPECT_EQ(m->header.stage.width(), 11000);
        EXPECT_EQ(m->header.stage.height(), 8000);
        EXPECT_DOUBLE_EQ(m->header.frameRate, 24.5);
        EXPECT_EQ(m->header.frameCount, 2);
        EXPECT_EQ(m->timeline.frameCount(), 2);
        EXPECT_EQ(m->backgroundColor, (swf::Rgba{10, 20, 30, 255}));
        EXPECT_EQ(m->characters.size(), 1u);
        EXPECT_EQ(m->timeline.frameOfLabel(QStringLiteral("START")), 0);
        ASSERT_EQ(m->timeline.frames.size(), 2u);
        ASSERT_EQ(m->timeline.frames[0].tags.size(), 1u);
        const auto& po = std::get<swf::PlaceObject>(m->timeline.frames[0].tags[0]);
        EXPECT_EQ(po.name.value_or(QString()), QStringLiteral("box"));
        EXPECT_FALSE(m->truncated);
        EXPECT_TRUE(m->warnings.isEmpty());
    }
}

TEST(SwfReader, RejectsWhatIsNotAMovie) {
    EXPECT_FALSE(swf::MovieParser::parse(QByteArray()).ok());
    EXPECT_FALSE(swf::MovieParser::parse(QByteArray("FWS")).ok());
    EXPECT_FALSE(swf::MovieParser::parse(QByteArray("GIF89a\x01\x00\x01\x00\x00\x00", 12)).ok());
    QByteArray good = twoFrameMovie().build();
    good[1] = 'X';
    auto r = swf::MovieParser::parse(good);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.error().contains(QStringLiteral("signature")));
    // A header that ends inside the stage rectangle.
    EXPECT_FALSE(swf::MovieParser::parse(twoFrameMovie().build().left(9)).ok());
    // Compressed data that is not zlib at all.
    QByteArray bogus = QByteArray("CWS\x0a\x40\x00\x00\x00", 8) + QByteArray(40, 'x');
    EXPECT_FALSE(swf::MovieParser::parse(bogus).ok());
}

TEST(SwfReader, RefusesAbsurdDeclaredSizesWithoutAllocatingThem) {
    QByteArray file = twoFrameMovie().build(SwfBuilder::Container::Cws);
    file[4] = char(0xff);
    file[5] = char(0xff);
    file[6] = char(0xff);
    file[7] = char(0x7f); // ~2 GB
    auto r = swf::Container::unpack(file);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.error().contains(QStringLiteral("too large")));
}

TEST(SwfReader, ALyingSmallDeclaredSizeCutsTheStreamButKeepsWhatFits) {
    // A CWS header claiming 40 bytes: decoding stops there, frames are lost, no crash.
    QByteArray file = twoFrameMovie().build(SwfBuilder::Container::Cws, 10, {0, 11000, 0, 8000}, 24, 2);
    file[4] = 40;
    file[5] = file[6] = file[7] = 0;
    auto r = swf::MovieParser::parse(file);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.value()->truncated || r.value()->characters.empty());
}

TEST(SwfReader, TruncatedFilesKeepTheValidPart) {
    const QByteArray full = twoFrameMovie().build(SwfBuilder::Container::Fws, 10, {0, 11000, 0, 8000}, 24, 2);
    for (int cut = 0; cut <= full.size(); ++cut) {
        auto r = swf::MovieParser::parse(full.left(cut));
        if (!r.ok()) continue;
        EXPECT_GE(r.value()->timeline.frameCount(), 1);
    }
    // Cutting inside the second frame leaves the first one whole.
    auto r = swf::MovieParser::parse(full.left(full.size() - 4));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value()->characters.size(), 1u);
    ASSERT_GE(r.value()->timeline.frames.size(), 1u);
    EXPECT_EQ(r.value()->timeline.frames[0].tags.size(), 1u);
    // ZWS cut short decodes what it can.
    const QByteArray zws = twoFrameMovie().build(SwfBuilder::Container::Zws);
    for (int cut = 0; cut < zws.size(); cut += 7) (void)swf::MovieParser::parse(zws.left(cut));
}

TEST(SwfReader, TagLongerThanTheFileEndsTheStreamAsTruncated) {
    SwfBuilder b;
    b.defineRect(1, {0, 100, 0, 100}, {0, 0, 255, 255});
    b.showFrame();
    // DefineShape3 claiming a megabyte of body that is not there.
    b.rawBytes(QByteArray("\xff\x08\x00\x00\x10\x00", 6));
    b.rawBytes(QByteArray(20, '\x01'));
    auto m = parseOk(b.build());
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->truncated);
    EXPECT_EQ(m->characters.size(), 1u);
}

TEST(SwfReader, UnknownTagsAndLongHeadersAreReadAlike) {
    SwfBuilder b;
    b.tag(250, QByteArray(10, 'z'));
    b.tag(77, QByteArray("<rdf/>", 6), true); // metadata with a long header
    b.defineRect(5, {0, 20, 0, 20}, {0, 255, 0, 255});
    b.showFrame();
    b.end();
    auto m = parseOk(b.build());
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->character(5));
    EXPECT_FALSE(m->truncated);
}

TEST(SwfReader, FirstDefinitionOfAnIdWins) {
    SwfBuilder b;
    b.defineRect(1, {0, 20, 0, 20}, {0, 255, 0, 255});
    b.defineRect(1, {0, 999, 0, 999}, {255, 0, 0, 255});
    b.end();
    auto m = parseOk(b.build());
    ASSERT_TRUE(m);
    auto shape = std::get<std::shared_ptr<const swf::ShapeDef>>(*m->character(1));
    EXPECT_EQ(shape->bounds.xMax, 20);
}

TEST(SwfReader, SpriteTimelinesAndDeclaredFrameCounts) {
    SwfBuilder inner;
    inner.showFrame();
    inner.removeObject2(3);
    inner.showFrame();
    inner.end();
    SwfBuilder b;
    b.defineSprite(7, 60000, inner); // declares far more frames than it holds
    b.end();
    auto m = parseOk(b.build(SwfBuilder::Container::Fws, 10, {0, 100, 0, 100}, 12, 0));
    ASSERT_TRUE(m);
    auto sprite = std::get<std::shared_ptr<const swf::SpriteDef>>(*m->character(7));
    EXPECT_EQ(sprite->timeline.frameCount(), 60000);
    EXPECT_LE(sprite->timeline.frames.size(), 2u); // the empty frames cost nothing
    EXPECT_TRUE(sprite->timeline.frame(59999).tags.empty());
    EXPECT_EQ(m->timeline.frameCount(), 1); // a header count of 0 still gives one frame
}

TEST(SwfReader, PlaceObjectFieldsAndClipActions) {
    // PlaceObject2 with every optional field and one clip action (SWF 6 layout).
    test::BitWriter w;
    w.u8(0xff);
    w.u16(4);
    w.u16(9);
    w.matrix({2, 0, 0, 2, 100, -40});
    w.cxform({128, 256, 256, 200, 10, 0, 0, 0}, true);
    w.u16(300);
    w.string("clip");
    w.u16(8);
    w.u16(0);                 // reserved
    w.u32(0x04000000);        // all events (stored as bytes 00 00 00 04 read low byte first)
    w.u8(0x02); w.u8(0); w.u8(0); w.u8(0); // EnterFrame
    w.u32(3);
    w.bytes(QByteArray("\x07\x07\x00", 3));
    w.u32(0);                 // end of clip actions
    const QByteArray body = w.data();
    auto po = swf::PlaceObject::parse(26, reinterpret_cast<const uint8_t*>(body.constData()), size_t(body.size()), 6);
    ASSERT_TRUE(po.ok()) << po.error().toStdString();
    EXPECT_TRUE(po->move);
    EXPECT_EQ(po->depth, 4);
    EXPECT_EQ(po->characterId.value_or(0), 9);
    EXPECT_DOUBLE_EQ(po->matrix->a, 2);
    EXPECT_DOUBLE_EQ(po->matrix->ty, -40);
    EXPECT_EQ(po->cxform->rMult, 128);
    EXPECT_EQ(po->cxform->rAdd, 10);
    EXPECT_EQ(po->ratio.value_or(0), 300);
    EXPECT_EQ(po->name.value_or(QString()), QStringLiteral("clip"));
    EXPECT_EQ(po->clipDepth.value_or(0), 8);
    ASSERT_EQ(po->clipActions.size(), 1u);
    EXPECT_EQ(po->clipActions[0].events, uint32_t(swf::ClipEventEnterFrame));
    EXPECT_EQ(po->clipActions[0].actions.size(), 3);
    // Every shorter prefix either fails cleanly or parses without the lost fields.
    for (int cut = 0; cut < body.size(); ++cut)
        (void)swf::PlaceObject::parse(26, reinterpret_cast<const uint8_t*>(body.constData()), size_t(cut), 6);
}

TEST(SwfReader, PlaceObject3BlendMode) {
    SwfBuilder b;
    Placement p;
    p.characterId = 1;
    p.blendMode = 3;
    b.placeObject3(p);
    b.showFrame();
    auto m = parseOk(b.build());
    ASSERT_TRUE(m);
    const auto& po = std::get<swf::PlaceObject>(m->timeline.frames[0].tags[0]);
    EXPECT_EQ(po.blendMode.value_or(swf::BlendMode::Normal), swf::BlendMode::Multiply);
}
