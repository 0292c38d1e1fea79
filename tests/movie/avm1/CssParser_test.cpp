// Style sheet text: what parseCSS accepts, how names change, what spoils it.
#include "movie/avm1/CssParser.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm1;

TEST(CssParser, RulesSelectorsAndValuesAsWritten)
{
    auto rules = CssParser::parse(QStringLiteral("a, b { font-size: 12 ; color:#ff0000 }\nc{x: 1;y: a:b}"));
    ASSERT_TRUE(rules);
    ASSERT_EQ(rules->size(), 3u);
    EXPECT_EQ((*rules)[0].selector, "a");
    EXPECT_EQ((*rules)[1].selector, "b");
    ASSERT_EQ((*rules)[1].properties.size(), 2);
    EXPECT_EQ((*rules)[1].properties[0], qMakePair(QStringLiteral("fontSize"), QStringLiteral("12 ")));
    EXPECT_EQ((*rules)[1].properties[1].second, "#ff0000 "); // values keep their trailing spaces
    EXPECT_EQ((*rules)[2].properties[1].second, "a:b");
    // An unclosed last block still counts; an empty name is skipped.
    auto open = CssParser::parse(QStringLiteral("a{ : v; k: w"));
    EXPECT_FALSE(open); // the value never ends
    auto unclosed = CssParser::parse(QStringLiteral("a{:;"));
    ASSERT_TRUE(unclosed);
    EXPECT_TRUE(unclosed->at(0).properties.isEmpty());
}

TEST(CssParser, NameTransformation)
{
    EXPECT_EQ(CssParser::camelCase("name-with-dashes"), "nameWithDashes");
    EXPECT_EQ(CssParser::camelCase("two--dashes"), "two-dashes");
    EXPECT_EQ(CssParser::camelCase("UPPER-DASHES"), "UPPERDASHES");
    EXPECT_EQ(CssParser::camelCase("trailing-"), "trailing-");
}

TEST(CssParser, MalformedTextIsRefusedAsAWhole)
{
    for (const char* bad : {"long key { a: b }", "{color:red}", "a { key }", "a { key:", "a { two words: v }", "a b"})
        EXPECT_FALSE(CssParser::parse(QString::fromUtf8(bad))) << bad;
    EXPECT_TRUE(CssParser::parse(QString()));
    QString huge;
    for (int i = 0; i < 20000; ++i)
        huge += QStringLiteral("s%1{k:v}").arg(i);
    auto many = CssParser::parse(huge);
    ASSERT_TRUE(many);
    EXPECT_EQ(many->size(), 20000u);
}
