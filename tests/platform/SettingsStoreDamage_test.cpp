// The settings store with damage inside its file: every line that checks out is
// kept, the damaged ones are named, a copy of the damaged bytes is kept and the
// file is rewritten with the rest.
#include "platform/AsOrdinaryUser.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>

using nimbrel::platform::SettingsDamage;
using nimbrel::platform::SettingsRecord;
using nimbrel::platform::SettingsStore;
using nimbrel::settingstest::AsOrdinaryUser;
using Pairs = QList<SettingsStore::Pair>;
using Lost = QSet<int>;

namespace {

const QString kApp = QStringLiteral("Nimbrel");
const QString kMany = QStringLiteral("many");
constexpr int kKeys = 1000;

QString keyOf(int i) { return QStringLiteral("k%1").arg(i); }
QString valueOf(int i) { return QStringLiteral("value %1, 中文 C:\\影片\\%1.swf").arg(i); }

class DamagedStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder() const { return dir.path() + QStringLiteral("/Nimbrel"); }
    QString logPath() const { return folder() + QStringLiteral("/settings.log"); }

    QByteArray readLog() const {
        QFile f(logPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeLog(const QByteArray& bytes) const {
        QFile f(logPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QStringList filesInFolder() const { return QDir(folder()).entryList(QDir::Files | QDir::NoDotAndDotDot); }

    // 1,000 keys of "many", then two options. Returns the file's bytes.
    QByteArray writeManyKeys() const {
        SettingsStore s(folder());
        for (int i = 0; i < kKeys; ++i)
            EXPECT_TRUE(s.setValue(kApp, kMany, keyOf(i), valueOf(i)));
        EXPECT_TRUE(s.setValue(kApp, "bfsz", "mleft", "1200"));
        EXPECT_TRUE(s.setValue(kApp, "bfsz", "zdbf", "true"));
        return readLog();
    }
    // Start and end ('\n' included) of the line holding key `i` of "many".
    static QPair<qsizetype, qsizetype> lineOf(const QByteArray& log, int i) {
        const qsizetype at = log.indexOf("\tmany\t" + keyOf(i).toUtf8() + '\t');
        return {log.lastIndexOf('\n', at) + 1, log.indexOf('\n', at) + 1};
    }
    // Keys of "many" whose lines the bytes [from, from + length) touch.
    static Lost linesTouched(const QByteArray& log, qsizetype from, qsizetype length) {
        Lost lost;
        for (int i = 0; i < kKeys; ++i) {
            const auto [start, end] = lineOf(log, i);
            if (start < from + length && from < end)
                lost.insert(i);
        }
        return lost;
    }

    // Every key of "many" but the lost ones reads back, in the order written, and so do the options.
    static void expectAllBut(const SettingsStore& s, const Lost& lost) {
        const Pairs pairs = s.section(kApp, kMany);
        ASSERT_EQ(pairs.size(), kKeys - lost.size());
        qsizetype row = 0;
        for (int i = 0; i < kKeys; ++i) {
            if (lost.contains(i)) {
                EXPECT_EQ(s.value(kApp, kMany, keyOf(i)), "") << i;
                continue;
            }
            ASSERT_EQ(pairs[row], (SettingsStore::Pair{keyOf(i), valueOf(i)})) << "row " << row;
            ++row;
        }
        EXPECT_EQ(s.section(kApp, "bfsz"), (Pairs{{"mleft", "1200"}, {"zdbf", "true"}}));
    }
    // The damaged bytes were kept whole in a copy and the file rewritten with the sound
    // lines: the next opening finds nothing to tell and reads the same.
    void expectCopiedAndRewritten(const SettingsStore& s, const QByteArray& damaged, const Lost& lost) const {
        const QString copy = s.setAsidePath();
        ASSERT_FALSE(copy.isEmpty());
        EXPECT_EQ(s.damage().copyPath(), copy);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("/settings\\.log\\.corrupt-\\d{8}-\\d{6}(-\\d+)?$")).match(copy).hasMatch())
            << copy.toStdString();
        QFile f(copy);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), damaged);
        EXPECT_EQ(filesInFolder().filter(".tmp"), QStringList());

        EXPECT_EQ(readLog().count('\n'), 1 + 2 + kKeys - lost.size()); // header, options, "many"
        SettingsStore again(folder());
        EXPECT_TRUE(again.setAsidePath().isEmpty());
        EXPECT_EQ(again.damage().damagedLines(), 0);
        expectAllBut(again, lost);
    }
};

struct BitFlip {
    const char* where;
    std::function<qsizetype(QByteArrayView line)> offset; // within the line of k500
    int bit;
    Lost lost;
    QList<SettingsDamage::Section> named; // what the damage summary says
    int unplaced = 0;
};

TEST_F(DamagedStoreTest, FlippedBitCostsOnlyItsLine) {
    const BitFlip flips[] = {
        {"in the value", [](QByteArrayView l) { return l.indexOf("value") + 2; }, 0, {500}, {{kApp, kMany, {"k500"}, 0}}},
        {"in the checksum", [](QByteArrayView l) { return l.size() - 3; }, 1, {500}, {{kApp, kMany, {"k500"}, 0}}},
        {"in the tag", [](QByteArrayView) { return 0; }, 0, {500}, {{kApp, kMany, {"k500"}, 0}}},
        // With a tab gone no field can be told from the next: the line is only counted.
        {"in the tab after the key", [](QByteArrayView l) { return l.indexOf("k500") + 4; }, 0, {500}, {}, 1},
        // The line runs on into the next one, which is whole and kept.
        {"in the newline", [](QByteArrayView l) { return l.size() - 1; }, 0, {500}, {{kApp, kMany, {"k500"}, 0}}},
    };
    for (const BitFlip& flip : flips) {
        SCOPED_TRACE(flip.where);
        QDir(folder()).removeRecursively();
        QByteArray bytes = writeManyKeys();
        const auto [start, end] = lineOf(bytes, 500);
        const qsizetype at = start + flip.offset(QByteArrayView(bytes).sliced(start, end - start));
        bytes[at] = char(bytes[at] ^ (1 << flip.bit));
        writeLog(bytes);

        SettingsStore s(folder());
        expectAllBut(s, flip.lost);
        EXPECT_EQ(s.damage().sections(), flip.named);
        EXPECT_EQ(s.damage().unplaced(), flip.unplaced);
        EXPECT_EQ(s.damage().damagedLines(), 1);
        EXPECT_FALSE(s.damage().wholeFileLost());
        expectCopiedAndRewritten(s, bytes, flip.lost);
    }
}

TEST_F(DamagedStoreTest, FlippedBitInTheHeaderLosesNothing) {
    const qsizetype headerEnd = SettingsRecord::header().size();
    for (const qsizetype at : {qsizetype(3), headerEnd - 1}) { // a letter; the '\n', so the first line runs on
        SCOPED_TRACE(at);
        QDir(folder()).removeRecursively();
        QByteArray bytes = writeManyKeys();
        bytes[at] = char(bytes[at] ^ 1);
        writeLog(bytes);

        SettingsStore s(folder());
        expectAllBut(s, {});
        EXPECT_TRUE(s.damage().isEmpty());
        expectCopiedAndRewritten(s, bytes, {});
        EXPECT_TRUE(readLog().startsWith(SettingsRecord::header()));
    }
}

struct ZeroedBlock {
    const char* where;
    std::function<qsizetype(const QByteArray& log)> from;
    qsizetype length;
    QList<SettingsDamage::Section> named;
    int unplaced;
};

TEST_F(DamagedStoreTest, ZeroedBlockCostsOnlyTheLinesItTouches) {
    const auto lineStart = [](int i) { return [i](const QByteArray& log) { return lineOf(log, i).first; }; };
    const ZeroedBlock blocks[] = {
        // The start of k400's line survives and names it; the lines swallowed after it cannot be named.
        {"from inside a value", [](const QByteArray& log) { return lineOf(log, 400).first + 24; }, 300,
         {{kApp, kMany, {"k400"}, 0}}, 0},
        {"from inside a key", [](const QByteArray& log) { return lineOf(log, 600).first + 17; }, 100,
         {{kApp, kMany, {}, 1}}, 0},
        // Within one line, its '\n' kept: the key still names it.
        {"over the end of a value", [](const QByteArray& log) { return lineOf(log, 700).second - 20; }, 12,
         {{kApp, kMany, {"k700"}, 0}}, 0},
        // Whole lines gone, the line after them whole: nothing left to name them by.
        {"over whole lines", lineStart(300), 0, {}, 1},
        // The header is lost too; the file is still taken for what it is.
        {"over the header", [](const QByteArray&) { return qsizetype(0); }, 200, {}, 1},
    };
    for (ZeroedBlock block : blocks) {
        SCOPED_TRACE(block.where);
        QDir(folder()).removeRecursively();
        QByteArray bytes = writeManyKeys();
        const qsizetype from = block.from(bytes);
        if (block.length == 0)
            block.length = lineOf(bytes, 310).first - from; // exactly lines 300 to 309
        const Lost lost = linesTouched(bytes, from, block.length);
        ASSERT_FALSE(lost.isEmpty());
        bytes.replace(from, block.length, QByteArray(block.length, '\0'));
        writeLog(bytes);

        SettingsStore s(folder());
        expectAllBut(s, lost);
        EXPECT_EQ(s.damage().sections(), block.named);
        EXPECT_EQ(s.damage().unplaced(), block.unplaced);
        expectCopiedAndRewritten(s, bytes, lost);
    }
}

TEST_F(DamagedStoreTest, DamagedLastLineIsToldAndTheNextWriteGoesAfterIt) {
    QByteArray bytes = writeManyKeys();
    bytes[bytes.size() - 4] = char(bytes[bytes.size() - 4] ^ 1); // the checksum of zdbf, its '\n' intact
    writeLog(bytes);

    SettingsStore s(folder());
    EXPECT_EQ(s.section(kApp, "bfsz"), (Pairs{{"mleft", "1200"}}));
    EXPECT_EQ(s.section(kApp, kMany).size(), kKeys);
    EXPECT_EQ(s.damage().sections(), (QList<SettingsDamage::Section>{{kApp, "bfsz", {"zdbf"}, 0}}));
    ASSERT_TRUE(s.setValue(kApp, "bfsz", "zdbf", "again"));
    EXPECT_EQ(SettingsStore(folder()).section(kApp, "bfsz"), (Pairs{{"mleft", "1200"}, {"zdbf", "again"}}));
}

// A section deletion decides which old values come back. One that still spells out
// its section in full is carried out; one that cannot be read is skipped, so the old
// values return rather than go, and the section is named as damaged.
TEST_F(DamagedStoreTest, DamagedSectionDeletion) {
    struct Case {
        const char* where;
        qsizetype offsetFromEnd; // of the deletion's line, '\n' included
        Pairs expected;
        QList<SettingsDamage::Section> named;
    };
    const Case cases[] = {
        {"in its checksum", 3, {{"c", "new c"}, {"d", "d"}}, {}},
        {"in its tag", 0, {{"a", "a"}, {"b", "b"}, {"c", "new c"}, {"d", "d"}}, {{kApp, "bflb", {}, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        QDir(folder()).removeRecursively();
        QByteArray deletion;
        {
            SettingsStore s(folder());
            for (const char* k : {"a", "b", "c"})
                ASSERT_TRUE(s.setValue(kApp, "bflb", k, k));
            ASSERT_TRUE(s.deleteSection(kApp, "bflb"));
            deletion = readLog();
            ASSERT_TRUE(s.setValue(kApp, "bflb", "c", "new c"));
            ASSERT_TRUE(s.setValue(kApp, "bflb", "d", "d"));
        }
        QByteArray bytes = readLog();
        const qsizetype lineStart = deletion.lastIndexOf('\n', deletion.size() - 2) + 1;
        const qsizetype at = c.offsetFromEnd == 0 ? lineStart : deletion.size() - c.offsetFromEnd;
        ASSERT_EQ(bytes[lineStart], 'D');
        bytes[at] = char(bytes[at] ^ 1);
        writeLog(bytes);

        SettingsStore s(folder());
        EXPECT_EQ(s.section(kApp, "bflb"), c.expected);
        EXPECT_EQ(s.damage().sections(), c.named);
        EXPECT_EQ(s.damage().isEmpty(), c.named.isEmpty());
        EXPECT_EQ(s.damage().damagedLines(), 1);
        EXPECT_FALSE(s.setAsidePath().isEmpty());
        EXPECT_EQ(SettingsStore(folder()).section(kApp, "bflb"), c.expected);
    }
}

TEST_F(DamagedStoreTest, WithoutACopyTheDamagedFileStaysAndTheStoreKeepsWorking) {
    QByteArray bytes = writeManyKeys();
    const qsizetype at = lineOf(bytes, 500).first + 30;
    bytes[at] = char(bytes[at] ^ 4);
    writeLog(bytes);

    // A file size limit below the file's size: the copy cannot be written.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = rlim_t(bytes.size() / 2);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    auto s = std::make_unique<SettingsStore>(folder());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    expectAllBut(*s, {500});
    EXPECT_FALSE(s->damage().isEmpty());
    EXPECT_TRUE(s->damage().copyPath().isEmpty());
    EXPECT_TRUE(s->setAsidePath().isEmpty());
    EXPECT_EQ(readLog(), bytes); // nothing of the damaged file is lost
    EXPECT_EQ(filesInFolder(), (QStringList{"settings.lock", "settings.log"}));

    ASSERT_TRUE(s->setValue(kApp, kMany, "k500", "written after"));
    s.reset();
    // Next time, with room for the copy, the file is repaired.
    SettingsStore again(folder());
    EXPECT_EQ(again.value(kApp, kMany, "k500"), "written after");
    EXPECT_FALSE(again.setAsidePath().isEmpty());
    EXPECT_EQ(again.damage().damagedLines(), 1);
}

TEST_F(DamagedStoreTest, ReadOnlyStoreSaysSoInWords) {
    {
        SettingsStore s(folder());
        ASSERT_TRUE(s.setValue(kApp, "bfsz", "mleft", "1200"));
    }
    const QByteArray before = readLog();
    AsOrdinaryUser::allowInto(dir.path(), folder());
    ASSERT_TRUE(QFile::setPermissions(folder() + "/settings.lock", QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                       | QFileDevice::ReadOther | QFileDevice::WriteOther));
    ASSERT_TRUE(QFile::setPermissions(logPath(), QFileDevice::ReadOwner | QFileDevice::ReadOther));

    AsOrdinaryUser user;
    if (!user.inEffect())
        GTEST_SKIP() << "root could not step down to an ordinary user";
    SettingsStore s(folder());
    EXPECT_EQ(s.value(kApp, "bfsz", "mleft"), "1200");
    for (const bool written : {s.setValue(kApp, "bfsz", "mleft", "90"), s.deleteSection(kApp, "bfsz")}) {
        EXPECT_FALSE(written);
        EXPECT_TRUE(s.errorString().contains("the settings file is read-only")) << s.errorString().toStdString();
        EXPECT_FALSE(s.errorString().contains("descriptor")) << s.errorString().toStdString();
    }
    EXPECT_EQ(s.value(kApp, "bfsz", "mleft"), "1200");
    EXPECT_EQ(readLog(), before);
}

TEST_F(DamagedStoreTest, ReadOnlyDamagedFileIsReadButLeftAsItIs) {
    QByteArray bytes = writeManyKeys();
    const qsizetype at = lineOf(bytes, 7).first + 25;
    bytes[at] = char(bytes[at] ^ 2);
    writeLog(bytes);
    AsOrdinaryUser::allowInto(dir.path(), folder());
    ASSERT_TRUE(QFile::setPermissions(logPath(), QFileDevice::ReadOwner | QFileDevice::ReadOther));

    AsOrdinaryUser user;
    if (!user.inEffect())
        GTEST_SKIP() << "root could not step down to an ordinary user";
    SettingsStore s(folder());
    expectAllBut(s, {7});
    EXPECT_EQ(s.damage().sections(), (QList<SettingsDamage::Section>{{kApp, kMany, {"k7"}, 0}}));
    EXPECT_TRUE(s.damage().copyPath().isEmpty());
    EXPECT_EQ(readLog(), bytes);
}

} // namespace
