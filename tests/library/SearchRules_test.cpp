#include "library/SearchInputs.h"
#include "library/SearchRules.h"
#include "library/SearchSummary.h"

#include <QHash>
#include <gtest/gtest.h>

using nimbrel::library::FileFacts;
using nimbrel::library::SearchInputs;
using nimbrel::library::SearchRules;
using nimbrel::library::SearchSummary;

namespace {

FileFacts facts(const char* name, qint64 size, qint64 stamp) {
    return FileFacts{QString::fromUtf8(name), size, stamp};
}

} // namespace

TEST(SearchRules, SizeInKbRoundsHalvesToTheEvenNeighbour) {
    const struct { qint64 bytes, kb; } cases[] = {
        {0, 0}, {511, 0}, {512, 0}, {513, 1}, {600, 1}, {1024, 1}, {1535, 1},
        {1536, 2}, {2560, 2}, {2561, 3}, {3584, 4}, {5LL * 1024 * 1024 * 1024, 5LL * 1024 * 1024},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SearchRules::sizeInKb(c.bytes), c.kb) << c.bytes << " bytes";
}

TEST(SearchRules, RuleValuesAreWhole32BitNumbersOrNothing) {
    const struct { const char* text; std::optional<qint32> value; } cases[] = {
        {"2006070800", 2006070800}, {"0", 0}, {" 12 ", 12}, {"-3", -3},
        {"2147483647", 2147483647}, {"2147483648", std::nullopt}, {"9999999999", std::nullopt},
        {"2006O70800", std::nullopt}, {"abc", std::nullopt}, {"1.5", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SearchRules::wholeNumber(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(SearchRules, EachRuleDecidesAsItsOperatorSays) {
    const QString gt = SearchRules::kGreater, eq = SearchRules::kExactly, lt = SearchRules::kLess;
    const struct {
        const char* why;
        QString dateOp, dateValue, sizeOp, sizeValue, name;
        FileFacts file;
        bool passes;
    } cases[] = {
        {"defaults, 2007 file of 600 bytes", gt, "2006070800", gt, "0", "", facts("a.swf", 600, 2007010112), true},
        {"defaults, 512 bytes is 0 KB", gt, "2006070800", gt, "0", "", facts("a.swf", 512, 2007010112), false},
        {"defaults, created at the hour itself", gt, "2006070800", gt, "0", "", facts("a.swf", 600, 2006070800), false},
        {"exact hour, same hour", eq, "2007090915", gt, "0", "", facts("a.swf", 600, 2007090915), true},
        {"exact hour, hour before", eq, "2007090915", gt, "0", "", facts("a.swf", 600, 2007090914), false},
        {"exact hour, hour after", eq, "2007090915", gt, "0", "", facts("a.swf", 600, 2007090916), false},
        {"less than 1 KB keeps 512 bytes", gt, "2006070800", lt, "1", "", facts("a.swf", 512, 2007010112), true},
        {"less than 1 KB drops 513 bytes", gt, "2006070800", lt, "1", "", facts("a.swf", 513, 2007010112), false},
        {"name text in exact case", gt, "2006070800", gt, "0", "Abc", facts("xAbcx.swf", 600, 2007010112), true},
        {"name text in other case", gt, "2006070800", gt, "0", "Abc", facts("xabcx.swf", 600, 2007010112), false},
        {"letters in the date pass the date rule", gt, "2006O70800", gt, "0", "", facts("a.swf", 600, 1999010100), true},
        {"letters in the date, size rule still applies", gt, "2006O70800", gt, "0", "", facts("a.swf", 100, 1999010100), false},
        {"letters in the size pass the size rule", gt, "2006070800", gt, "zero", "", facts("a.swf", 1, 2007010112), true},
        {"letters in the size, date rule still applies", gt, "2006070800", gt, "zero", "", facts("a.swf", 1, 2005010112), false},
        {"unknown date operator never passes", "等于", "2006070800", gt, "0", "", facts("a.swf", 600, 2007010112), false},
        {"unknown size operator never passes", gt, "2006070800", "", "0", "", facts("a.swf", 600, 2007010112), false},
    };
    for (const auto& c : cases) {
        const SearchRules rules(c.dateOp, c.dateValue, c.sizeOp, c.sizeValue, c.name);
        EXPECT_EQ(rules.passes(c.file), c.passes) << c.why;
    }
}

TEST(SearchRules, FilterKeepsPassingPathsInOrderAndDropsVanishedOnes) {
    const QHash<QString, FileFacts> disk{
        {"/m/b.swf", facts("b.swf", 600, 2007010112)},
        {"/m/small.swf", facts("small.swf", 10, 2007010112)},
        {"/m/a.swf", facts("a.swf", 4000, 2008010112)},
    };
    const auto reader = [&](const QString& path) -> std::optional<FileFacts> {
        if (!disk.contains(path))
            return std::nullopt;
        return disk.value(path);
    };
    const SearchRules rules = SearchInputs{}.rules();
    EXPECT_EQ(rules.filter({"/m/b.swf", "/m/gone.swf", "/m/small.swf", "", "/m/a.swf"}, reader),
              (QStringList{"/m/b.swf", "/m/a.swf"}));
}

TEST(SearchInputs, TheFirstFaultyInputGivesItsMessage) {
    const struct {
        const char* why;
        QString folder, dateValue, sizeOperator;
        std::optional<QString> message;
    } cases[] = {
        {"all given", "/m/", "2006070800", "大于", std::nullopt},
        {"no folder, before the other checks", "", "200607080", "", SearchInputs::kNoFolder},
        {"nine-digit date", "/m/", "200607080", "大于", SearchInputs::kDateIncomplete},
        {"eleven-digit date", "/m/", "20060708001", "大于", SearchInputs::kDateIncomplete},
        {"empty date", "/m/", "", "大于", SearchInputs::kDateIncomplete},
        {"ten characters with letters are complete", "/m/", "2006O70800", "大于", std::nullopt},
        {"no size operator", "/m/", "2006070800", "", SearchInputs::kSizeMissing},
    };
    for (const auto& c : cases) {
        SearchInputs in;
        in.startFolder = c.folder;
        in.dateValue = c.dateValue;
        in.sizeOperator = c.sizeOperator;
        EXPECT_EQ(in.problem(), c.message) << c.why;
    }
    EXPECT_EQ(SearchInputs::kNoFolder, QStringLiteral("请选择路径"));
    EXPECT_EQ(SearchInputs::kDateIncomplete, QStringLiteral("请把搜索 日期 + 时间 填写完整"));
    EXPECT_EQ(SearchInputs::kSizeMissing, QStringLiteral("请把文件大小填写完整"));
}

TEST(SearchInputs, EachTypeWalksItsPatternsInOrder) {
    SearchInputs in;
    EXPECT_EQ(in.patterns(), QStringList{"*.swf"});
    in.kind = SearchInputs::Kind::Pictures;
    EXPECT_EQ(in.patterns(), (QStringList{"*.BMP", "*.JPG", "*.GIF"}));
}

TEST(SearchSummary, CaptionsRepeatTheRules) {
    EXPECT_EQ(SearchSummary::dateRule("大于", "2006070800"),
              QStringLiteral("你选择的是：大于日期：20060708时间：00点"));
    EXPECT_EQ(SearchSummary::dateRule("指定", "2007090915"),
              QStringLiteral("你选择的是：指定日期：20070909时间：15点"));
    EXPECT_EQ(SearchSummary::dateRule("大于", "15"), QStringLiteral("你选择的是：大于日期：时间：15点"));
    EXPECT_EQ(SearchSummary::dateRule("大于", "1"), std::nullopt);
    EXPECT_EQ(SearchSummary::dateRule("大于", ""), std::nullopt);
    EXPECT_EQ(SearchSummary::sizeRule("大于", "0"), QStringLiteral("你选择的是：大于0KB"));
    EXPECT_EQ(SearchSummary::sizeRule("小于", "120"), QStringLiteral("你选择的是：小于120KB"));
}
