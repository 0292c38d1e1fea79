// The settings store between processes: a writer killed with SIGKILL at a random
// moment, and two writers at the same time.
#include "platform/SettingsStore.h"
#include "platform/SettingsStressValue.h"
#include "SettingsProcessPaths.h" // generated: where the writer and the tool were built

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <iostream>

using nimbrel::platform::SettingsStore;
using nimbrel::settingstest::stressRound;

namespace {

const QString kProcessesApp = QStringLiteral("Nimbrel");
const QString kSection = QStringLiteral("stress");

QStringList writerArgs(const QString& folder, const QString& prefix, int keys, int rounds, int filler) {
    return {folder, prefix, QString::number(keys), QString::number(rounds), QString::number(filler)};
}

TEST(SettingsStoreProcesses, WriterKilledMidWriteLosesNothingStored) {
    constexpr int kKeys = 40;
    constexpr int kFiller = 3000; // records span several pages, so a kill can land inside one
    constexpr int kRuns = 8;
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/Nimbrel");
    QHash<QString, qint64> lastRound;
    int tornTails = 0;
    int killedInRewrite = 0;

    for (int run = 0; run < kRuns; ++run) {
        QProcess writer;
        writer.start(QStringLiteral(NIMBREL_SETTINGS_WRITER), writerArgs(folder, "k", kKeys, 0, kFiller));
        ASSERT_TRUE(writer.waitForStarted(5000));
        ASSERT_TRUE(writer.waitForReadyRead(5000)) << "the writer never stored a value";
        QThread::msleep(QRandomGenerator::global()->bounded(5, 80));
        writer.kill(); // SIGKILL
        ASSERT_TRUE(writer.waitForFinished(5000));
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit) << "the writer stopped before it was killed";

        QFile log(folder + QStringLiteral("/settings.log"));
        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        if (!log.readAll().endsWith('\n'))
            ++tornTails;
        if (QFile::remove(folder + QStringLiteral("/settings.log.tmp"))) // left only by a rewrite cut short
            ++killedInRewrite;

        SettingsStore store(folder);
        ASSERT_TRUE(store.setAsidePath().isEmpty()) << "run " << run << ": store was taken for damaged";
        const auto pairs = store.section(kProcessesApp, kSection);
        ASSERT_FALSE(pairs.isEmpty());
        ASSERT_LE(pairs.size(), kKeys);
        for (int k = 0; k < pairs.size(); ++k) {
            const QString key = QStringLiteral("k%1").arg(k);
            ASSERT_EQ(pairs[k].first, key) << "run " << run << ": keys out of order";
            const auto round = stressRound(key, pairs[k].second, kFiller);
            ASSERT_TRUE(round.has_value()) << "run " << run << ": mangled value for " << key.toStdString();
            ASSERT_GE(*round, lastRound.value(key)) << "run " << run << ": " << key.toStdString() << " went back";
            lastRound[key] = *round;
        }
    }
    // The runs must have made progress, or nothing was tested.
    EXPECT_GT(lastRound.value(QStringLiteral("k0")), kRuns);
    std::cout << "[          ] of " << kRuns << " runs, " << tornTails << " ended in a torn line and "
              << killedInRewrite << " were killed while rewriting the journal" << std::endl;
}

TEST(SettingsStoreProcesses, TwoWritersAtOnceLoseNoPair) {
    constexpr int kKeys = 300;
    constexpr int kRounds = 12; // enough overwrites that the journal is rewritten while both write
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/Nimbrel");

    QProcess a, b;
    a.start(QStringLiteral(NIMBREL_SETTINGS_WRITER), writerArgs(folder, "a", kKeys, kRounds, 16) << "--wait");
    b.start(QStringLiteral(NIMBREL_SETTINGS_WRITER), writerArgs(folder, "b", kKeys, kRounds, 16) << "--wait");
    for (QProcess* p : {&a, &b}) {
        ASSERT_TRUE(p->waitForStarted(5000));
        ASSERT_TRUE(p->waitForReadyRead(5000));
    }
    // QProcess only hands buffered input over inside its wait calls: flush both now.
    a.write("go\n");
    b.write("go\n");
    ASSERT_TRUE(a.waitForBytesWritten(5000));
    ASSERT_TRUE(b.waitForBytesWritten(5000));
    for (QProcess* p : {&a, &b}) {
        ASSERT_TRUE(p->waitForFinished(30000));
        ASSERT_EQ(p->exitStatus(), QProcess::NormalExit);
        ASSERT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }

    SettingsStore store(folder);
    EXPECT_TRUE(store.setAsidePath().isEmpty());
    const auto pairs = store.section(kProcessesApp, kSection);
    ASSERT_EQ(pairs.size(), 2 * kKeys);
    int nextA = 0, nextB = 0;
    for (const auto& [key, value] : pairs) {
        // Each writer's keys keep its own order; how the two interleave is up to the scheduler.
        int& next = key.startsWith('a') ? nextA : nextB;
        ASSERT_EQ(key.mid(1).toInt(), next) << key.toStdString();
        ++next;
        EXPECT_EQ(stressRound(key, value, 16), kRounds) << key.toStdString();
    }
}

} // namespace
