#include "player/OpenFilesPlan.h"

#include <gtest/gtest.h>

using nimbrel::player::OpenFilesPlan;
using nimbrel::player::QuickPlayList;

namespace {

QString packed(std::initializer_list<const char*> parts) {
    QStringList list;
    for (const char* p : parts)
        list << QString::fromUtf8(p);
    return list.join(QChar(0));
}

QStringList listOf(int n, const char* prefix) {
    QStringList out;
    for (int i = 1; i <= n; ++i)
        out << QStringLiteral("%1%2.swf").arg(QLatin1String(prefix)).arg(i);
    return out;
}

} // namespace

TEST(OpenFilesPlanPaths, JoinsTheFolderToEachName) {
    EXPECT_EQ(OpenFilesPlan::chosenPaths(packed({"/home/u/movies", "a.swf", "动画 b.swf"})),
              (QStringList{"/home/u/movies/a.swf", QStringLiteral("/home/u/movies/动画 b.swf")}));
    EXPECT_EQ(OpenFilesPlan::chosenPaths(packed({"/", "a.swf", "b.swf"})), (QStringList{"/a.swf", "/b.swf"}));
    // Trailing terminators of a classic buffer add nothing.
    EXPECT_EQ(OpenFilesPlan::chosenPaths(packed({"/m", "a.swf", "b.swf", "", ""})), (QStringList{"/m/a.swf", "/m/b.swf"}));
    EXPECT_EQ(OpenFilesPlan::chosenPaths("/home/u/one file.swf"), QStringList{"/home/u/one file.swf"});
    EXPECT_EQ(OpenFilesPlan::chosenPaths(packed({"/home/u/one.swf", ""})), QStringList{"/home/u/one.swf"});
    EXPECT_TRUE(OpenFilesPlan::chosenPaths(QString()).isEmpty());
}

TEST(OpenFilesPlanPaths, DecidesByTheNumberOfFiles) {
    EXPECT_EQ(OpenFilesPlan::fromFileName(QString()).action(), OpenFilesPlan::Action::Nothing);
    EXPECT_EQ(OpenFilesPlan::fromFileName("/m/a.swf").action(), OpenFilesPlan::Action::PlayOne);
    EXPECT_EQ(OpenFilesPlan::fromFileName(packed({"/m", "a.swf", "b.swf"})).action(),
              OpenFilesPlan::Action::AskAddToPlaylist);
    EXPECT_EQ(OpenFilesPlan::kQuestion, QStringLiteral("是否添加到播放列表"));
    EXPECT_EQ(OpenFilesPlan::kQuestionTitle, QStringLiteral("添加"));
}

class OpenFilesPlanTest : public ::testing::Test {
protected:
    void SetUp() override {
        list.reload(listOf(5, "/old/"));
        list.next();
        list.next(); // entry 2 current and checked
    }
    QuickPlayList list{[](const QString&) { return true; }};
};

TEST_F(OpenFilesPlanTest, OneFileLeavesTheListAlone) {
    const auto plan = OpenFilesPlan::fromFileName("/m/a.swf");
    EXPECT_EQ(plan.paths(), QStringList{"/m/a.swf"});
    plan.resizeList(list);
    EXPECT_TRUE(plan.acceptAdd(list).isEmpty());
    EXPECT_EQ(plan.declineAdd(list).kind, QuickPlayList::Step::Kind::Nothing);
    EXPECT_EQ(list.captions(), listOf(5, "/old/"));
    EXPECT_EQ(list.current(), 2);
    EXPECT_TRUE(list.isChecked(2));
}

TEST_F(OpenFilesPlanTest, ThreeFilesOverFiveEntriesRemoveEntriesFourAndFive) {
    const auto plan = OpenFilesPlan::fromFileName(packed({"/new", "1.swf", "2.swf", "3.swf"}));
    plan.resizeList(list);
    EXPECT_EQ(list.captions(), listOf(3, "/old/"));
}

TEST_F(OpenFilesPlanTest, SevenFilesCreateEntriesSixAndSeven) {
    const auto plan = OpenFilesPlan::fromFileName(packed({"/new", "1.swf", "2.swf", "3.swf", "4.swf", "5.swf", "6.swf", "7.swf"}));
    plan.resizeList(list);
    EXPECT_EQ(list.count(), 7);
    EXPECT_EQ(list.caption(5), "/old/5.swf");
    EXPECT_EQ(list.caption(6), "");
    EXPECT_EQ(list.caption(7), "");
}

TEST_F(OpenFilesPlanTest, YesFillsListAndPanelButPlaysNothing) {
    const auto plan = OpenFilesPlan::fromFileName(packed({"/new", "1.swf", "2.swf", "3.swf"}));
    plan.resizeList(list);
    const QStringList panel = plan.acceptAdd(list);
    EXPECT_EQ(panel, listOf(3, "/new/"));
    EXPECT_EQ(list.captions(), listOf(3, "/new/"));
    EXPECT_EQ(list.current(), 2);
    EXPECT_TRUE(list.isChecked(2));
}

TEST_F(OpenFilesPlanTest, YesOverAShorterListForgetsACurrentEntryPastItsEnd) {
    // Entry 5 of the old list was current; the new list has two entries.
    while (list.current() < 5)
        list.next();
    const auto plan = OpenFilesPlan::fromFileName(packed({"/new", "1.swf", "2.swf"}));
    plan.resizeList(list);
    plan.acceptAdd(list);
    EXPECT_EQ(list.current(), 0);
    // Next movie starts again from the first entry instead of doing nothing.
    EXPECT_EQ(list.next().movie, "/new/1.swf");
}

TEST_F(OpenFilesPlanTest, NoPlaysTheFirstFileAsTheOnlyCheckedEntry) {
    const auto plan = OpenFilesPlan::fromFileName(packed({"/new", "1.swf", "2.swf", "3.swf", "4.swf", "5.swf", "6.swf", "7.swf"}));
    plan.resizeList(list);
    const auto step = plan.declineAdd(list);
    EXPECT_EQ(step.kind, QuickPlayList::Step::Kind::Load);
    EXPECT_EQ(step.movie, "/new/1.swf");
    EXPECT_TRUE(step.callPlay);
    EXPECT_EQ(list.captions(), listOf(7, "/new/"));
    EXPECT_EQ(list.current(), 1);
    for (int k = 1; k <= 7; ++k)
        EXPECT_EQ(list.isChecked(k), k == 1) << k;
}
