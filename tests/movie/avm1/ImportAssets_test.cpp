// Library imports and script limits as the parser reads them, and the
// imported characters joining the movie that asks for them.
#include "movie/support/SwfBuilder.h"
#include "movie/swf/MovieParser.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::SwfBuilder;

namespace {

QByteArray importTag(bool second, const QByteArray& url, const std::vector<std::pair<uint16_t, QByteArray>>& assets)
{
    QByteArray body = url + '\0';
    if (second)
        body += QByteArray("\x01\x00", 2);
    body += char(assets.size() & 0xff);
    body += char(assets.size() >> 8);
    for (const auto& [id, name] : assets) {
        body += char(id & 0xff);
        body += char(id >> 8);
        body += name + '\0';
    }
    return body;
}

// A library that exports a red square (character 1) as "box".
QByteArray library()
{
    SwfBuilder b;
    b.defineRect(1, {0, 100, 0, 100}, {255, 0, 0, 255});
    b.tag(56, QByteArray("\x01\x00\x01\x00" "box\0", 8));
    b.showFrame();
    b.end();
    return b.build();
}

} // namespace

TEST(ImportAssets, BothTagFormsAndScriptLimitsAreRead)
{
    SwfBuilder b;
    b.tag(57, importTag(false, "lib.swf", {{7, "box"}}));
    b.tag(71, importTag(true, "other.swf", {{8, "a"}, {9, "b"}}));
    b.tag(65, QByteArray("\x00\x04\x0f\x00", 4));
    b.showFrame();
    b.end();
    auto parsed = swf::MovieParser::parse(b.build());
    ASSERT_TRUE(parsed);
    const swf::Movie& m = *parsed.value();
    ASSERT_EQ(m.imports.size(), 2u);
    EXPECT_EQ(m.imports[0].url, QStringLiteral("lib.swf"));
    ASSERT_EQ(m.imports[0].assets.size(), 1u);
    EXPECT_EQ(m.imports[0].assets[0].first, 7);
    EXPECT_EQ(m.imports[0].assets[0].second, QStringLiteral("box"));
    EXPECT_EQ(m.imports[1].url, QStringLiteral("other.swf"));
    ASSERT_EQ(m.imports[1].assets.size(), 2u);
    EXPECT_EQ(m.imports[1].assets[1].first, 9);
    EXPECT_EQ(m.maxRecursion, 1024);
    EXPECT_EQ(m.scriptTimeout, 15);
}

TEST(ImportAssets, ImportedCharactersJoinTheMovieUnderTheirNewIds)
{
    SwfBuilder b;
    b.tag(57, importTag(false, "lib.swf", {{7, "BOX"}, {8, "missing"}}));
    b.showFrame();
    b.end();
    auto parsed = swf::MovieParser::parse(b.build());
    ASSERT_TRUE(parsed);
    QStringList asked;
    auto merged = swf::Movie::withImports(parsed.value(), [&](const QString& url) {
        asked << url;
        return library();
    });
    EXPECT_EQ(asked, QStringList({"lib.swf"}));
    EXPECT_NE(merged, parsed.value());
    EXPECT_TRUE(merged->character(7));
    EXPECT_FALSE(merged->character(8));
    EXPECT_FALSE(parsed.value()->character(7)); // the parsed movie stays as it was

    // No library at hand: the movie is kept as it is.
    auto alone = swf::Movie::withImports(parsed.value(), [](const QString&) { return QByteArray(); });
    EXPECT_EQ(alone, parsed.value());
}

TEST(ImportAssets, CutTagsKeepWhatWasWhole)
{
    SwfBuilder b;
    QByteArray tag = importTag(false, "lib.swf", {{7, "box"}, {8, "second"}});
    tag.chop(5); // into the second name
    b.tag(57, tag);
    b.tag(65, QByteArray("\x10", 1));
    b.showFrame();
    b.end();
    auto parsed = swf::MovieParser::parse(b.build());
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed.value()->imports.size(), 1u);
    EXPECT_GE(parsed.value()->imports[0].assets.size(), 1u);
    EXPECT_EQ(parsed.value()->imports[0].assets[0].second, QStringLiteral("box"));
    EXPECT_EQ(parsed.value()->maxRecursion, 0);
}
