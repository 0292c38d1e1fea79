// Damaged files from tests/data/malformed: each loads (showing what was
// valid) or fails with a reason; none crashes, hangs or grows without bound.
#include "movie/MoviePlayer.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/support/SwfBuilder.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace nimbrel::movie;

namespace {

QByteArray readMalformed(const QString& name) {
    QFile f(QStringLiteral(NIMBREL_SOURCE_DIR "/tests/data/malformed/") + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return f.readAll();
}

int deepestClip(const display::MovieClip& clip, int level = 0) {
    int deepest = level;
    for (const auto& [depth, child] : clip.children())
        if (auto c = dynamic_cast<const display::MovieClip*>(child.get())) deepest = std::max(deepest, deepestClip(*c, level + 1));
    return deepest;
}

} // namespace

TEST(Malformed, EveryFileLoadsOrFailsCleanly) {
    const QDir dir(QStringLiteral(NIMBREL_SOURCE_DIR "/tests/data/malformed"));
    const QStringList files = dir.entryList({QStringLiteral("*.swf")}, QDir::Files);
    ASSERT_GE(files.size(), 10);
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        MoviePlayer player;
        if (!player.loadData(readMalformed(name))) {
            EXPECT_FALSE(player.errorString().isEmpty());
            continue;
        }
        for (int i = 0; i < 3; ++i) player.stepFrame();
        player.gotoFrame(player.totalFrames() - 1);
        player.gotoFrame(0);
        const QImage img = player.renderImage(QSize(80, 60));
        EXPECT_EQ(img.size(), QSize(80, 60));
    }
}

TEST(Malformed, SizesBeyondTheLimitsAreRefusedWithAReason) {
    MoviePlayer player;
    EXPECT_FALSE(player.loadData(readMalformed(QStringLiteral("huge_declared_size.swf"))));
    EXPECT_TRUE(player.errorString().contains(QStringLiteral("too large")));
    EXPECT_FALSE(player.loadData(readMalformed(QStringLiteral("bad_lzma_properties.swf"))));
}

TEST(Malformed, TruncatedAndLyingFilesKeepWhatWasValid) {
    MoviePlayer player;
    ASSERT_TRUE(player.loadData(readMalformed(QStringLiteral("lying_tag_length.swf"))));
    EXPECT_TRUE(player.parsedMovie()->truncated);
    EXPECT_EQ(player.parsedMovie()->characters.size(), 1u);
    ASSERT_TRUE(player.loadData(readMalformed(QStringLiteral("frame_count_65535.swf"))));
    EXPECT_EQ(player.totalFrames(), 65535);
    player.gotoFrame(65534);
    EXPECT_EQ(player.frameNum(), 65534);
}

TEST(Malformed, SpriteNestingIsBounded) {
    MoviePlayer player;
    ASSERT_TRUE(player.loadData(readMalformed(QStringLiteral("deep_sprite_chain.swf"))));
    const int deepest = deepestClip(*player.root());
    EXPECT_GT(deepest, 10);
    EXPECT_LE(deepest, display::MovieContext::maxNesting);
    ASSERT_TRUE(player.loadData(readMalformed(QStringLiteral("sprite_places_itself.swf"))));
    EXPECT_LE(deepestClip(*player.root()), 1);
}

TEST(Malformed, FanOutStopsAtTheObjectLimit) {
    // Sprite 3 holds 100 shapes, sprite 2 holds 100 of sprite 3, sprite 1 holds
    // 100 of sprite 2: a million objects asked for, far more than allowed.
    using test::Placement;
    using test::SwfBuilder;
    SwfBuilder b;
    b.defineRect(4, {0, 20, 0, 20}, {0, 0, 0, 255});
    for (uint16_t id = 3; id >= 1; --id) {
        SwfBuilder inner;
        for (uint16_t d = 1; d <= 100; ++d) {
            Placement p;
            p.depth = d;
            p.characterId = uint16_t(id + 1);
            inner.placeObject2(p);
        }
        inner.showFrame();
        inner.end();
        b.defineSprite(id, 1, inner);
    }
    Placement top;
    top.characterId = 1;
    b.placeObject2(top);
    b.showFrame();
    b.end();
    MoviePlayer player;
    ASSERT_TRUE(player.loadData(b.build()));
    EXPECT_TRUE(player.root()->childAt(1));
    EXPECT_LE(player.root()->context()->objectCount(), display::MovieContext::maxObjects);
    EXPECT_GE(player.root()->context()->objectCount(), display::MovieContext::maxObjects / 2);
}
