// The settings store's behaviour within one process: names, order, text, and
// what it does with journals that were cut short or hold nothing readable (damage
// inside a journal: SettingsStoreDamage_test.cpp).
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using nimbrel::platform::SettingsStore;
using Pairs = QList<SettingsStore::Pair>;

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder() const { return dir.path() + QStringLiteral("/Nimbrel"); }
    QString logPath() const { return folder() + QStringLiteral("/settings.log"); }

    QByteArray readLog() const {
        QFile f(logPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeLog(const QByteArray& bytes) const {
        QDir().mkpath(folder());
        QFile f(logPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    void appendLog(const QByteArray& bytes) const {
        QFile f(logPath());
        ASSERT_TRUE(f.open(QIODevice::Append));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    // A journal holding three pairs of "bfsz", written by the store itself.
    void writeThreePairs() const {
        SettingsStore s(folder());
        ASSERT_TRUE(s.setValue("Nimbrel", "bfsz", "a", "1"));
        ASSERT_TRUE(s.setValue("Nimbrel", "bfsz", "b", "2"));
        ASSERT_TRUE(s.setValue("Nimbrel", "bfsz", "c", "3"));
    }
    void expectSetAside(const SettingsStore& s, const QByteArray& oldBytes) const {
        const QString aside = s.setAsidePath();
        ASSERT_FALSE(aside.isEmpty());
        EXPECT_TRUE(QRegularExpression(QStringLiteral("/settings\\.log\\.corrupt-\\d{8}-\\d{6}(-\\d+)?$")).match(aside).hasMatch())
            << aside.toStdString();
        QFile f(aside);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << aside.toStdString();
        EXPECT_EQ(f.readAll(), oldBytes);
        EXPECT_TRUE(s.section("Nimbrel", "bfsz").isEmpty());
        EXPECT_EQ(s.value("Nimbrel", "bfsz", "a"), "");
        EXPECT_TRUE(s.damage().wholeFileLost());
        EXPECT_EQ(s.damage().copyPath(), aside);
    }
};

TEST_F(SettingsStoreTest, NamesMatchWithoutRegardToCaseAndKeepFirstSpelling) {
    SettingsStore s(folder());
    ASSERT_TRUE(s.setValue("NIMBREL", "BFSZ", "MLEFT", "1200.5"));
    EXPECT_EQ(s.value("Nimbrel", "bfsz", "mleft"), "1200.5");
    EXPECT_EQ(s.value("nimbrel", "Bfsz", "MLeft"), "1200.5");

    ASSERT_TRUE(s.setValue("nimbrel", "bfsz", "mleft", "90"));
    EXPECT_EQ(s.section("Nimbrel", "BFSZ"), (Pairs{{"MLEFT", "90"}}));

    // Non-ASCII letters fold too.
    ASSERT_TRUE(s.setValue("Nimbrel", "ÄRGER", "Ñ", "x"));
    EXPECT_EQ(s.value("nimbrel", "ärger", "ñ"), "x");

    // Different names stay apart, including ones that only differ in where they split.
    ASSERT_TRUE(s.setValue("Nimbrel", "ab", "k", "1"));
    ASSERT_TRUE(s.setValue("Nimbrela", "b", "k", "2"));
    EXPECT_EQ(s.value("Nimbrel", "ab", "k"), "1");
    EXPECT_EQ(s.value("Nimbrela", "b", "k"), "2");
    EXPECT_EQ(s.value("Other", "bfsz", "mleft"), "");
}

TEST_F(SettingsStoreTest, MissingValuesReadEmptyAndReadingCreatesNothing) {
    SettingsStore s(folder());
    EXPECT_EQ(s.value("Nimbrel", "bfsz", "mleft"), "");
    EXPECT_TRUE(s.section("Nimbrel", "bflb").isEmpty());
    EXPECT_TRUE(s.setAsidePath().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder()));

    ASSERT_TRUE(s.setValue("Nimbrel", "bfsz", "tmd", "false"));
    EXPECT_EQ(s.value("Nimbrel", "bfsz", "zdbf"), "");
    EXPECT_EQ(s.value("Nimbrel", "bflb", "tmd"), "");
}

TEST_F(SettingsStoreTest, OverwritingKeepsTheOrderOfFirstWrite) {
    {
        SettingsStore s(folder());
        for (const char* k : {"c", "a", "b"})
            ASSERT_TRUE(s.setValue("Nimbrel", "bflb", k, QStringLiteral("first %1").arg(k)));
        ASSERT_TRUE(s.setValue("Nimbrel", "bflb", "A", "second a"));
        const Pairs expected{{"c", "first c"}, {"a", "second a"}, {"b", "first b"}};
        EXPECT_EQ(s.section("Nimbrel", "bflb"), expected);
    }
    SettingsStore reopened(folder());
    EXPECT_EQ(reopened.section("nimbrel", "BFLB"), (Pairs{{"c", "first c"}, {"a", "second a"}, {"b", "first b"}}));
}

TEST_F(SettingsStoreTest, DeletedSectionStartsAFreshOrderAndLeavesOthersAlone) {
    SettingsStore s(folder());
    for (const char* k : {"a", "b", "c"})
        ASSERT_TRUE(s.setValue("Nimbrel", "bflb", k, k));
    ASSERT_TRUE(s.setValue("Nimbrel", "bfsz", "bfms", "1"));

    ASSERT_TRUE(s.deleteSection("NIMBREL", "BFLB"));
    EXPECT_TRUE(s.section("Nimbrel", "bflb").isEmpty());
    EXPECT_EQ(s.value("Nimbrel", "bflb", "a"), "");
    EXPECT_EQ(s.value("Nimbrel", "bfsz", "bfms"), "1");
    ASSERT_TRUE(s.deleteSection("Nimbrel", "never-written"));

    ASSERT_TRUE(s.setValue("Nimbrel", "bflb", "c", "new c"));
    ASSERT_TRUE(s.setValue("Nimbrel", "bflb", "a", "new a"));
    const Pairs expected{{"c", "new c"}, {"a", "new a"}};
    EXPECT_EQ(s.section("Nimbrel", "bflb"), expected);
    EXPECT_EQ(SettingsStore(folder()).section("Nimbrel", "bflb"), expected);
}

TEST_F(SettingsStoreTest, AnyTextRoundTrips) {
    const QStringList texts{
        "",
        "  spaces at both ends  ",
        "tab\tand\nnewline\r\nand CRLF",
        "back\\slash \\n \\t \\\\ not escapes",
        "key=value; \"quoted\" 'single'",
        QString::fromUtf8("中文路径 C:\\影片\\动画.swf"),
        QString::fromUtf8("emoji 🎬 and combining é"),
        QString(QChar(0x1F)) + QStringLiteral("control") + QChar(0x7F),
    };
    {
        SettingsStore s(folder());
        for (int i = 0; i < texts.size(); ++i) {
            ASSERT_TRUE(s.setValue("Nimbrel", "texts", QStringLiteral("k%1").arg(i), texts[i]));
            // Names carry the same characters.
            ASSERT_TRUE(s.setValue("Nimbrel", QStringLiteral("sec\t%1\n").arg(i), texts[i], texts[i]));
        }
        for (int i = 0; i < texts.size(); ++i)
            EXPECT_EQ(s.value("Nimbrel", "texts", QStringLiteral("k%1").arg(i)), texts[i]);
    }
    SettingsStore reopened(folder());
    for (int i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(reopened.value("Nimbrel", "texts", QStringLiteral("k%1").arg(i)), texts[i]) << i;
        EXPECT_EQ(reopened.section("Nimbrel", QStringLiteral("sec\t%1\n").arg(i)), (Pairs{{texts[i], texts[i]}})) << i;
    }
    // Each record stays on its own line whatever the text holds.
    EXPECT_EQ(readLog().count('\n'), 1 + 2 * texts.size());
}

TEST_F(SettingsStoreTest, SecondInstanceSeesWritesOfTheFirst) {
    SettingsStore a(folder());
    SettingsStore b(folder());
    EXPECT_EQ(b.value("Nimbrel", "bfsz", "ncjc"), "");

    ASSERT_TRUE(a.setValue("Nimbrel", "bfsz", "ncjc", "true"));
    EXPECT_EQ(b.value("Nimbrel", "bfsz", "ncjc"), "true");
    ASSERT_TRUE(b.setValue("Nimbrel", "bfsz", "zdbf", "true"));
    ASSERT_TRUE(a.setValue("Nimbrel", "bfsz", "ncjc", "false"));
    EXPECT_EQ(b.section("Nimbrel", "bfsz"), (Pairs{{"ncjc", "false"}, {"zdbf", "true"}}));
    EXPECT_EQ(a.section("Nimbrel", "bfsz"), (Pairs{{"ncjc", "false"}, {"zdbf", "true"}}));

    ASSERT_TRUE(b.deleteSection("Nimbrel", "bfsz"));
    EXPECT_TRUE(a.section("Nimbrel", "bfsz").isEmpty());

    // A file removed behind the store's back reads as an empty store, not as stale values.
    ASSERT_TRUE(a.setValue("Nimbrel", "bfsz", "tmd", "128"));
    EXPECT_EQ(b.value("Nimbrel", "bfsz", "tmd"), "128");
    ASSERT_TRUE(QFile::remove(logPath()));
    EXPECT_EQ(b.value("Nimbrel", "bfsz", "tmd"), "");
}

TEST_F(SettingsStoreTest, RewritingTheJournalKeepsEveryValueForAllInstances) {
    SettingsStore a(folder());
    SettingsStore b(folder());
    ASSERT_TRUE(a.setValue("Nimbrel", "bflb", "first", "stays"));
    ASSERT_TRUE(a.setValue("Nimbrel", "gone", "x", "y"));
    ASSERT_TRUE(a.deleteSection("Nimbrel", "gone"));
    EXPECT_EQ(b.value("Nimbrel", "bflb", "first"), "stays"); // b now follows the old file
    for (int i = 0; i < 3000; ++i)
        ASSERT_TRUE(a.setValue("Nimbrel", "bfsz", i % 2 ? "mtop" : "mleft", QString::number(i)));

    // 3000 overwrites of two keys would take far more than this without a rewrite.
    EXPECT_LT(readLog().size(), 40 * 1024);
    const Pairs expected{{"mleft", "2998"}, {"mtop", "2999"}};
    EXPECT_EQ(b.section("Nimbrel", "bfsz"), expected);
    EXPECT_EQ(b.value("Nimbrel", "bflb", "first"), "stays");
    EXPECT_TRUE(b.section("Nimbrel", "gone").isEmpty());
    ASSERT_TRUE(b.setValue("Nimbrel", "bfsz", "mwidth", "1"));
    EXPECT_EQ(a.section("Nimbrel", "bfsz"), (Pairs{{"mleft", "2998"}, {"mtop", "2999"}, {"mwidth", "1"}}));
    EXPECT_TRUE(SettingsStore(folder()).setAsidePath().isEmpty());
}

TEST_F(SettingsStoreTest, TornLastLineIsIgnoredAndRepairedByTheNextWrite) {
    writeThreePairs();
    const QByteArray sound = readLog();
    // A writer killed mid-line, its line longer than the next one so that leftovers would show.
    appendLog("S\tNimbrel\tbfsz\td\tpartly written value, longer than the record that follows");

    SettingsStore s(folder());
    EXPECT_TRUE(s.setAsidePath().isEmpty());
    EXPECT_EQ(s.section("Nimbrel", "bfsz"), (Pairs{{"a", "1"}, {"b", "2"}, {"c", "3"}}));

    ASSERT_TRUE(s.setValue("Nimbrel", "bfsz", "e", "5"));
    const QByteArray repaired = readLog();
    EXPECT_TRUE(repaired.startsWith(sound));
    EXPECT_FALSE(repaired.contains("partly"));
    EXPECT_TRUE(repaired.endsWith('\n'));
    EXPECT_EQ(repaired.count('\n'), sound.count('\n') + 1);
    EXPECT_EQ(SettingsStore(folder()).section("Nimbrel", "bfsz"),
              (Pairs{{"a", "1"}, {"b", "2"}, {"c", "3"}, {"e", "5"}}));
}

TEST_F(SettingsStoreTest, TornHeaderMeansNothingWasStored) {
    writeThreePairs();
    writeLog(readLog().left(5));
    SettingsStore s(folder());
    EXPECT_TRUE(s.setAsidePath().isEmpty());
    EXPECT_TRUE(s.section("Nimbrel", "bfsz").isEmpty());
    ASSERT_TRUE(s.setValue("Nimbrel", "bfsz", "a", "1"));
    SettingsStore reopened(folder());
    EXPECT_TRUE(reopened.setAsidePath().isEmpty());
    EXPECT_EQ(reopened.value("Nimbrel", "bfsz", "a"), "1");
}

TEST_F(SettingsStoreTest, GarbageFileIsSetAsideAndTheStoreStartsEmpty) {
    QByteArray garbage;
    for (int i = 0; i < 4000; ++i)
        garbage += char((i * 7919 + 13) % 251);
    writeLog(garbage);

    {
        SettingsStore s(folder());
        expectSetAside(s, garbage);
        ASSERT_TRUE(s.setValue("Nimbrel", "bfsz", "a", "fresh"));
    }
    SettingsStore reopened(folder());
    EXPECT_TRUE(reopened.setAsidePath().isEmpty());
    EXPECT_EQ(reopened.value("Nimbrel", "bfsz", "a"), "fresh");
}

TEST_F(SettingsStoreTest, ForeignFileWithoutHeaderIsSetAside) {
    const QByteArray ini = "[bfsz]\nmleft=100\n";
    writeLog(ini);
    SettingsStore s(folder());
    expectSetAside(s, ini);
}

TEST_F(SettingsStoreTest, UnreadableFileIsSetAside) {
    // A directory in the file's place cannot be read, whoever runs the test.
    ASSERT_TRUE(QDir().mkpath(logPath() + QStringLiteral("/inside")));
    SettingsStore s(folder());
    const QString aside = s.setAsidePath();
    ASSERT_FALSE(aside.isEmpty());
    EXPECT_TRUE(QFileInfo(aside + QStringLiteral("/inside")).isDir());
    ASSERT_TRUE(s.setValue("Nimbrel", "bfsz", "a", "1"));
    EXPECT_EQ(SettingsStore(folder()).value("Nimbrel", "bfsz", "a"), "1");
}

TEST_F(SettingsStoreTest, SeveralSetAsidesKeepEveryOldFile) {
    writeLog("first damaged file");
    const QString first = SettingsStore(folder()).setAsidePath();
    writeLog("second damaged file");
    const QString second = SettingsStore(folder()).setAsidePath();
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NE(first, second);
    QFile f1(first), f2(second);
    ASSERT_TRUE(f1.open(QIODevice::ReadOnly));
    ASSERT_TRUE(f2.open(QIODevice::ReadOnly));
    EXPECT_EQ(f1.readAll(), "first damaged file");
    EXPECT_EQ(f2.readAll(), "second damaged file");
}

TEST_F(SettingsStoreTest, WriteThatCannotReachTheDiskReportsFailure) {
    // A plain file where the folder should be.
    QFile blocker(folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore s(folder());
    EXPECT_FALSE(s.setValue("Nimbrel", "bfsz", "a", "1"));
    EXPECT_FALSE(s.deleteSection("Nimbrel", "bfsz"));
    EXPECT_FALSE(s.errorString().isEmpty());
    EXPECT_EQ(s.value("Nimbrel", "bfsz", "a"), "");
}

TEST_F(SettingsStoreTest, WriteCutShortByTheDiskFailsAndLeavesTheStoreAsItWas) {
    writeThreePairs();
    const QByteArray before = readLog();
    SettingsStore s(folder());

    // A file size limit makes the disk "full" a few bytes past the current end.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = rlim_t(before.size() + 64);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool written = s.setValue("Nimbrel", "bfsz", "big", QString(5000, QLatin1Char('x')));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_FALSE(s.errorString().isEmpty());
    EXPECT_EQ(readLog(), before); // the partial line was taken back
    EXPECT_EQ(s.value("Nimbrel", "bfsz", "big"), "");
    EXPECT_EQ(s.section("Nimbrel", "bfsz"), (Pairs{{"a", "1"}, {"b", "2"}, {"c", "3"}}));

    ASSERT_TRUE(s.setValue("Nimbrel", "bfsz", "big", "fits now"));
    SettingsStore reopened(folder());
    EXPECT_TRUE(reopened.setAsidePath().isEmpty());
    EXPECT_EQ(reopened.value("Nimbrel", "bfsz", "big"), "fits now");
}

TEST(SettingsStoreLocation, FollowsXdgConfigHome) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/some/config");
    EXPECT_EQ(SettingsStore::defaultFolder(), "/some/config/Nimbrel");
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(SettingsStore::defaultFolder(), QDir::homePath() + "/.config/Nimbrel");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsStore::defaultFolder(), QDir::homePath() + "/.config/Nimbrel");
    if (!saved.isEmpty())
        qputenv("XDG_CONFIG_HOME", saved);
}

} // namespace
