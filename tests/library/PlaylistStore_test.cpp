#include "library/PlaylistStore.h"
#include "platform/SettingsStore.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using nimbrel::library::PlaylistStore;
using nimbrel::platform::SettingsStore;

namespace {

QDateTime at(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

class PlaylistStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    PlaylistStore playlist() {
        return PlaylistStore(store, [this] { return now; });
    }
    QStringList keys() const {
        QStringList out;
        for (const auto& pair : store.section("Nimbrel", "bflb"))
            out << pair.first;
        return out;
    }

    QTemporaryDir dir;
    SettingsStore store{dir.path()};
    QDateTime now = at(2007, 9, 9, 15, 30, 5);
};

const QStringList kThree = {"/movies/a.swf", "/movies/b.swf", "/movies/c.swf"};

} // namespace

TEST(PlaylistStoreKey, TwelveDigitStampThenPosition) {
    EXPECT_EQ(PlaylistStore::keyFor(at(2007, 9, 9, 15, 30, 5), 12), "07090915300512");
    EXPECT_EQ(PlaylistStore::keyFor(at(2007, 9, 9, 15, 30, 5), 0), "0709091530050");
    EXPECT_EQ(PlaylistStore::keyFor(at(2000, 1, 1, 0, 0, 0), 7), "0001010000007");
    EXPECT_EQ(PlaylistStore::keyFor(at(2105, 12, 31, 23, 59, 59, 999), 4999), "0512312359594999");
}

TEST(PlaylistStoreKey, PositionTenNeverMeetsAnotherSavesPositionOne) {
    // With unpadded fields 1 Jan 07 01:01:01 + "10" and 01:01:11 + "0" would both be
    // "71111110". Every key of every second of a day must stay distinct.
    QSet<QString> seen;
    const QDateTime start(QDate(2007, 1, 1), QTime(0, 0), Qt::UTC); // UTC: no local-time lookups
    for (int s = 0; s < 24 * 3600; ++s) {
        const QDateTime t = start.addSecs(s);
        for (int pos : {0, 1, 10, 11}) {
            const QString key = PlaylistStore::keyFor(t, pos);
            ASSERT_EQ(key.size(), 12 + QString::number(pos).size());
            ASSERT_FALSE(seen.contains(key)) << key.toStdString();
            seen.insert(key);
        }
    }
}

TEST_F(PlaylistStoreTest, AppendWritesOnePairPerEntryInListOrder) {
    auto pl = playlist();
    const auto result = pl.append(kThree);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.written, 3);
    EXPECT_EQ(keys(), (QStringList{"0709091530050", "0709091530051", "0709091530052"}));
    EXPECT_EQ(pl.read(), kThree);
}

TEST_F(PlaylistStoreTest, SavesInDifferentSecondsAppend) {
    auto pl = playlist();
    pl.append(kThree);
    now = now.addSecs(3);
    pl.append(kThree);
    EXPECT_EQ(pl.read(), kThree + kThree);
    // Even a few milliseconds apart, two saves on either side of a second boundary append.
    PlaylistStore(store, [] { return at(2008, 1, 1, 0, 0, 0, 999); }).append({"/x.swf"});
    PlaylistStore(store, [] { return at(2008, 1, 1, 0, 0, 1, 1); }).append({"/x.swf"});
    EXPECT_EQ(pl.read(), (kThree + kThree + QStringList{"/x.swf", "/x.swf"}));
}

TEST_F(PlaylistStoreTest, SavesWithinOneSecondStoreTheListOnce) {
    auto pl = playlist();
    now = at(2007, 9, 9, 15, 30, 5, 10);
    pl.append(kThree);
    now = at(2007, 9, 9, 15, 30, 5, 990);
    pl.append(kThree);
    EXPECT_EQ(pl.read(), kThree);
}

TEST_F(PlaylistStoreTest, SecondSaveInTheSameSecondRewritesPairsInPlace) {
    auto pl = playlist();
    pl.append({"/earlier.swf"});
    now = now.addSecs(1);
    pl.append(kThree);
    pl.append({"/new-a.swf", "/new-b.swf"});
    // Positions 0 and 1 of this second are replaced where they stood; position 2 stays.
    EXPECT_EQ(pl.read(), (QStringList{"/earlier.swf", "/new-a.swf", "/new-b.swf", "/movies/c.swf"}));
}

TEST_F(PlaylistStoreTest, EachEntryIsStampedWhenItIsWritten) {
    // A save that runs across a second boundary: the clock moves on after the second entry.
    int calls = 0;
    PlaylistStore pl(store, [&] { return at(2007, 9, 9, 15, 30, calls++ < 2 ? 5 : 6); });
    pl.append(kThree);
    EXPECT_EQ(keys(), (QStringList{"0709091530050", "0709091530051", "0709091530062"}));
}

TEST_F(PlaylistStoreTest, PositionTenAndPositionOneOfOtherSavesAllSurvive) {
    QStringList eleven;
    for (int i = 0; i < 11; ++i)
        eleven << QStringLiteral("/long/%1.swf").arg(i);
    now = at(2007, 1, 1, 1, 1, 1);
    auto pl = playlist();
    pl.append(eleven);
    now = at(2007, 1, 1, 1, 1, 11);
    pl.append({"/short/0.swf", "/short/1.swf"});
    now = at(2007, 1, 1, 1, 1, 10);
    pl.append({"/other/0.swf", "/other/1.swf"});
    EXPECT_EQ(pl.read(), (eleven + QStringList{"/short/0.swf", "/short/1.swf", "/other/0.swf", "/other/1.swf"}));
}

TEST_F(PlaylistStoreTest, EmptySaveKeepsWhatIsStored) {
    auto pl = playlist();
    pl.append(kThree);
    const auto result = pl.append({});
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.written, 0);
    EXPECT_EQ(pl.read(), kThree);
}

TEST_F(PlaylistStoreTest, ReplaceDropsEverythingStoredBefore) {
    auto pl = playlist();
    pl.append(kThree);
    now = now.addSecs(1);
    pl.append({"/older.swf"});
    now = now.addSecs(1);
    const auto result = pl.replace({"/new.swf", "/movies/a.swf"});
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(pl.read(), (QStringList{"/new.swf", "/movies/a.swf"}));

    EXPECT_TRUE(pl.replace({}).ok());
    EXPECT_TRUE(pl.read().isEmpty());
    EXPECT_TRUE(store.section("Nimbrel", "bflb").isEmpty());
}

TEST_F(PlaylistStoreTest, ReplaceInTheSameSecondRestartsTheOrder) {
    auto pl = playlist();
    pl.append(kThree);
    pl.replace({"/z.swf", "/y.swf"});
    EXPECT_EQ(pl.read(), (QStringList{"/z.swf", "/y.swf"}));
}

TEST_F(PlaylistStoreTest, PathsComeBackExactlyAsStoredAndSurviveReopening) {
    const QStringList odd = {"/影片/动画 1.swf", "  leading and trailing  ", "C:\\old\\path.swf",
                             "/movies/a.swf", "/movies/a.swf", "tab\there", "/gone/deleted.swf"};
    playlist().append(odd);
    SettingsStore reopened(dir.path());
    EXPECT_EQ(PlaylistStore(reopened).read(), odd);
}

TEST_F(PlaylistStoreTest, KeysOfAnyShapeStillRead) {
    // Lists written by earlier versions, whatever their keys look like, read by value in stored order.
    store.setValue("Nimbrel", "bflb", "7111110", "/old/first.swf");
    store.setValue("Nimbrel", "bflb", "0709091530051", "/old/second.swf");
    store.setValue("Nimbrel", "bflb", "x", "/old/third.swf");
    store.setValue("Nimbrel", "bfsz", "zdbf", "true"); // another section is not part of the list
    auto pl = playlist();
    EXPECT_EQ(pl.read(), (QStringList{"/old/first.swf", "/old/second.swf", "/old/third.swf"}));
    now = at(2009, 1, 1, 0, 0, 0);
    pl.append({"/new.swf"});
    EXPECT_EQ(pl.read().last(), "/new.swf");
    EXPECT_EQ(pl.read().size(), 4);
}

TEST_F(PlaylistStoreTest, UnwritableStoreReportsTheLoss) {
    // The store's folder is taken by a file: nothing can be written.
    const QString blocked = dir.filePath("blocked");
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    SettingsStore broken(blocked);
    PlaylistStore pl(broken, [this] { return now; });
    const auto result = pl.append(kThree);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.written, 0);
    EXPECT_EQ(result.failed, 3);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_TRUE(pl.read().isEmpty());
}
