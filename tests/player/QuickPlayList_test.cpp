#include "player/QuickPlayList.h"

#include <QSet>
#include <gtest/gtest.h>

using nimbrel::player::QuickPlayList;
using Kind = QuickPlayList::Step::Kind;

namespace {

QStringList movies(int n) {
    QStringList out;
    for (int i = 1; i <= n; ++i)
        out << QStringLiteral("/movies/m%1.swf").arg(i);
    return out;
}

// The check marks as the menu would show them, followed through the signals only.
struct MenuMirror {
    explicit MenuMirror(QuickPlayList& list) {
        QObject::connect(&list, &QuickPlayList::checkChanged, &list, [this](int entry, bool checked) {
            if (checked)
                this->checked.insert(entry);
            else
                this->checked.remove(entry);
        });
        QObject::connect(&list, &QuickPlayList::entriesChanged, &list, [this, &list] {
            ++rebuilds;
            for (int e : QSet<int>(checked))
                if (!list.isChecked(e))
                    checked.remove(e);
        });
    }
    QSet<int> checked;
    int rebuilds = 0;
};

class QuickPlayListTest : public ::testing::Test {
protected:
    QuickPlayList list{[this](const QString& path) { return !missing.contains(path); }};
    QSet<QString> missing;

    // Steps next until entry k is current.
    void goTo(int k) {
        while (list.current() < k)
            ASSERT_EQ(list.next().kind, Kind::Load);
        while (list.current() > k)
            ASSERT_EQ(list.previous().kind, Kind::Load);
    }
};

} // namespace

TEST_F(QuickPlayListTest, NextFromTheStartLoadsEntryOneWithoutPlay) {
    list.reload(movies(3));
    ASSERT_EQ(list.current(), 0);
    const auto s = list.next();
    EXPECT_EQ(s.kind, Kind::Load);
    EXPECT_EQ(s.movie, "/movies/m1.swf");
    EXPECT_FALSE(s.callPlay); // a new movie starts by itself
    EXPECT_EQ(s.uncheck, 0);
    EXPECT_EQ(s.check, 1);
    EXPECT_FALSE(s.previousEnabled.has_value());
    EXPECT_FALSE(s.nextEnabled.has_value());
    EXPECT_FALSE(s.showMovieView);
    EXPECT_EQ(list.current(), 1);
    EXPECT_TRUE(list.isChecked(1));

    // With a single entry, that step reaches the end and disables next.
    QuickPlayList single;
    single.reload(movies(1));
    EXPECT_EQ(single.next().nextEnabled, std::optional<bool>(false));
}

TEST_F(QuickPlayListTest, NextButtonRules) {
    list.reload(movies(4));
    list.next(); // 1
    const auto toTwo = list.next();
    EXPECT_EQ(toTwo.uncheck, 1);
    EXPECT_EQ(toTwo.check, 2);
    EXPECT_EQ(toTwo.previousEnabled, std::optional<bool>(true));
    EXPECT_FALSE(toTwo.nextEnabled.has_value());
    list.next(); // 3
    const auto toLast = list.next();
    EXPECT_EQ(toLast.movie, "/movies/m4.swf");
    EXPECT_EQ(toLast.nextEnabled, std::optional<bool>(false));
    EXPECT_FALSE(toLast.previousEnabled.has_value());
    EXPECT_FALSE(list.isChecked(3));
    EXPECT_TRUE(list.isChecked(4));
}

TEST_F(QuickPlayListTest, PreviousButtonRules) {
    list.reload(movies(4));
    goTo(4);
    const auto toThree = list.previous();
    EXPECT_EQ(toThree.kind, Kind::Load);
    EXPECT_EQ(toThree.movie, "/movies/m3.swf");
    EXPECT_TRUE(toThree.callPlay);
    EXPECT_EQ(toThree.uncheck, 4);
    EXPECT_EQ(toThree.check, 3);
    EXPECT_EQ(toThree.nextEnabled, std::optional<bool>(true));
    EXPECT_FALSE(toThree.previousEnabled.has_value());
    list.previous(); // 2: next enabled again, still between 2 and N - 1
    const auto toFirst = list.previous();
    EXPECT_EQ(toFirst.previousEnabled, std::optional<bool>(false));
    EXPECT_FALSE(toFirst.nextEnabled.has_value()); // reaching entry 1 does not touch next
    EXPECT_EQ(list.current(), 1);
    EXPECT_TRUE(list.isChecked(1));
    EXPECT_FALSE(list.isChecked(2));
}

TEST_F(QuickPlayListTest, PreviousFromTheLastOfTwoLeavesNextAlone) {
    list.reload(movies(2));
    goTo(2);
    const auto s = list.previous();
    EXPECT_EQ(s.previousEnabled, std::optional<bool>(false));
    EXPECT_FALSE(s.nextEnabled.has_value());
}

TEST_F(QuickPlayListTest, NothingHappensAtTheEnds) {
    list.reload(movies(3));
    EXPECT_EQ(list.previous().kind, Kind::Nothing); // current 0
    list.next();
    EXPECT_EQ(list.previous().kind, Kind::Nothing); // current 1
    EXPECT_EQ(list.current(), 1);
    EXPECT_TRUE(list.isChecked(1));
    goTo(3);
    EXPECT_EQ(list.next().kind, Kind::Nothing);
    EXPECT_EQ(list.current(), 3);
    EXPECT_TRUE(list.isChecked(3));

    QuickPlayList empty;
    EXPECT_EQ(empty.next().kind, Kind::Nothing);
    EXPECT_EQ(empty.previous().kind, Kind::Nothing);
    EXPECT_EQ(empty.current(), 0);
}

TEST_F(QuickPlayListTest, CurrentPastTheEndOfAShortenedListDoesNothing) {
    list.reload(movies(5));
    goTo(5);
    list.resize(3);
    EXPECT_EQ(list.current(), 5); // kept as it was
    EXPECT_EQ(list.next().kind, Kind::Nothing);
    EXPECT_EQ(list.previous().kind, Kind::Nothing);
    EXPECT_EQ(list.current(), 5);
    list.resize(0);
    EXPECT_EQ(list.next().kind, Kind::Nothing);
    EXPECT_EQ(list.previous().kind, Kind::Nothing);
    // A click still works from there.
    list.reload(movies(2));
    EXPECT_EQ(list.play(2).kind, Kind::Load);
    EXPECT_EQ(list.current(), 2);
}

TEST_F(QuickPlayListTest, ResizeKeepsCaptionsAndCurrentAndAddsBlankEntries) {
    MenuMirror menu(list);
    list.reload(movies(5));
    goTo(2);
    list.resize(3);
    EXPECT_EQ(list.captions(), movies(3));
    list.resize(7);
    EXPECT_EQ(list.count(), 7);
    EXPECT_EQ(list.caption(3), "/movies/m3.swf");
    EXPECT_EQ(list.caption(6), "");
    EXPECT_FALSE(list.isChecked(6));
    EXPECT_EQ(list.current(), 2);
    EXPECT_TRUE(list.isChecked(2));
    EXPECT_EQ(menu.rebuilds, 3);
    list.resize(7);
    EXPECT_EQ(menu.rebuilds, 3); // no change, no rebuild
}

TEST_F(QuickPlayListTest, ReloadKeepsTheNumberButNotTheCheck) {
    MenuMirror menu(list);
    list.reload(movies(5));
    goTo(3);
    list.reload({"/a.swf", "/b.swf", "/c.swf", "/d.swf"});
    EXPECT_EQ(list.current(), 3);
    EXPECT_FALSE(list.isChecked(3));
    EXPECT_TRUE(menu.checked.isEmpty());
    const auto s = list.next();
    EXPECT_EQ(s.movie, "/d.swf");
    EXPECT_EQ(s.uncheck, 0);
    EXPECT_EQ(menu.checked, QSet<int>{4});
}

TEST_F(QuickPlayListTest, PlayingAnEntry) {
    MenuMirror menu(list);
    list.reload(movies(4));
    goTo(1);
    const auto s = list.play(3);
    EXPECT_EQ(s.kind, Kind::Load);
    EXPECT_EQ(s.movie, "/movies/m3.swf");
    EXPECT_TRUE(s.callPlay);
    EXPECT_EQ(s.uncheck, 1);
    EXPECT_EQ(s.check, 3);
    EXPECT_TRUE(s.showMovieView);
    // A jump sets both buttons from where it landed.
    EXPECT_EQ(s.previousEnabled, std::optional<bool>(true));
    EXPECT_EQ(s.nextEnabled, std::optional<bool>(true));
    EXPECT_EQ(list.current(), 3);
    EXPECT_EQ(menu.checked, QSet<int>{3});

    // The current entry again: played from the start and still checked.
    const auto again = list.play(3);
    EXPECT_EQ(again.kind, Kind::Load);
    EXPECT_TRUE(again.callPlay);
    EXPECT_EQ(again.check, 3);
    EXPECT_EQ(menu.checked, QSet<int>{3});

    EXPECT_EQ(list.play(4).nextEnabled, std::optional<bool>(false));
    EXPECT_EQ(list.play(1).previousEnabled, std::optional<bool>(false));
}

TEST_F(QuickPlayListTest, PlayingAMissingFileChangesNothing) {
    list.reload(movies(3));
    goTo(1);
    missing.insert("/movies/m2.swf");
    const auto s = list.play(2);
    EXPECT_EQ(s.kind, Kind::MissingFile);
    EXPECT_TRUE(s.movie.isEmpty());
    EXPECT_FALSE(s.callPlay);
    EXPECT_FALSE(s.showMovieView);
    EXPECT_EQ(QuickPlayList::kMissingFileText, QStringLiteral("该文件不存在"));
    EXPECT_EQ(QuickPlayList::kMissingFileTitle, QStringLiteral("Quorvane Nimbrel"));
    EXPECT_EQ(list.current(), 1);
    EXPECT_TRUE(list.isChecked(1));
    EXPECT_FALSE(list.isChecked(2));
    // Navigation does not look at the disk.
    EXPECT_EQ(list.next().movie, "/movies/m2.swf");
    // No such entry: nothing.
    EXPECT_EQ(list.play(0).kind, Kind::Nothing);
    EXPECT_EQ(list.play(4).kind, Kind::Nothing);
}

TEST_F(QuickPlayListTest, LoadingFromThePanelReplacesTheListAndPlaysTheFirst) {
    MenuMirror menu(list);
    list.reload(movies(5));
    goTo(4);
    const auto s = list.loadFromPanel({"/p/one.swf", "/p/two.swf"});
    EXPECT_EQ(s.kind, Kind::Load);
    EXPECT_EQ(s.movie, "/p/one.swf");
    EXPECT_TRUE(s.callPlay);
    EXPECT_EQ(s.check, 1);
    EXPECT_TRUE(s.showMovieView);
    EXPECT_EQ(s.previousEnabled, std::optional<bool>(false));
    EXPECT_EQ(s.nextEnabled, std::optional<bool>(true));
    EXPECT_EQ(list.captions(), (QStringList{"/p/one.swf", "/p/two.swf"}));
    EXPECT_EQ(list.current(), 1);
    EXPECT_EQ(menu.checked, QSet<int>{1});
    EXPECT_EQ(list.next().movie, "/p/two.swf");

    const auto none = list.loadFromPanel({});
    EXPECT_EQ(none.kind, Kind::Cleared);
    EXPECT_TRUE(none.movie.isEmpty());
    EXPECT_FALSE(none.callPlay);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.current(), 0);
    EXPECT_TRUE(menu.checked.isEmpty());
}

TEST_F(QuickPlayListTest, PlayFirstLeavesOnlyEntryOneChecked) {
    MenuMirror menu(list);
    list.reload(movies(4));
    goTo(3);
    const auto s = list.playFirst();
    EXPECT_EQ(s.kind, Kind::Load);
    EXPECT_EQ(s.movie, "/movies/m1.swf");
    EXPECT_TRUE(s.callPlay);
    EXPECT_EQ(s.uncheck, 3);
    EXPECT_EQ(s.check, 1);
    // The next button comes back even if an earlier list's end had disabled it.
    EXPECT_EQ(s.nextEnabled, std::optional<bool>(true));
    EXPECT_EQ(s.previousEnabled, std::optional<bool>(false));
    EXPECT_EQ(list.current(), 1);
    EXPECT_EQ(menu.checked, QSet<int>{1});
}
