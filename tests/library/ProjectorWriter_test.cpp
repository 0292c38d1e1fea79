// The writer: output layout, names, replacing, and what a failure leaves behind.
#include "library/ProjectorFixtures.h"
#include "library/ProjectorWriter.h"
#include <QFileInfo>
#include <unistd.h>

using nimbrel::library::ProjectorWriter;
using namespace projector_test;

namespace {
class ProjectorWriterTest : public ScratchFolder {};
}

TEST_F(ProjectorWriterTest, OutputIsStubMovieMagicAndLength) {
    const QByteArray movie = movieOfSize(1000);
    const QString a = source("a.swf", movie);
    const auto result = ProjectorWriter(stub(4096)).run({a}, outFolder());
    ASSERT_TRUE(result.allWritten()) << result.entries.value(0).error.toStdString();
    ASSERT_EQ(result.entries.size(), 1);
    EXPECT_EQ(result.entries[0].output, path("out/a.exe"));

    const QByteArray exe = readAll(path("out/a.exe"));
    ASSERT_EQ(exe.size(), 4096 + 1008);
    EXPECT_EQ(exe.left(4096), fakeStub(4096));
    EXPECT_EQ(exe.mid(4096, 1000), movie);
    EXPECT_EQ(exe.right(8), QByteArray::fromHex("563412FAE8030000"));
    EXPECT_TRUE(QFileInfo(path("out/a.exe")).isExecutable());
    EXPECT_EQ(outFiles(), QStringList{"a.exe"}) << "no temporary file stays behind";
}

TEST_F(ProjectorWriterTest, ReplacesAnExistingOutputAndTheLaterOfTwoSameNamesWins) {
    writeFile(path("out/a.exe"), "old program");
    const QString first = source("one/a.swf", movieOfSize(200));
    const QString second = source("two/a.swf", movieOfSize(300));
    const auto result = ProjectorWriter(stub(100)).run({first, second}, outFolder());
    ASSERT_TRUE(result.allWritten());
    EXPECT_EQ(readAll(path("out/a.exe")).size(), 100 + 300 + 8);
    EXPECT_EQ(outFiles(), QStringList{"a.exe"});
}

TEST_F(ProjectorWriterTest, AFailedEntryLeavesItsOldOutputAndTheRunGoesOn) {
    writeFile(path("out/gone.exe"), "previous program");
    const QString b = source("b.swf", movieOfSize(100));
    const QString dirSource = path("in/folder.swf");
    QDir().mkpath(dirSource);
    QList<int> progress;
    const auto result = ProjectorWriter(stub(64)).run(
        {path("in/gone.swf"), dirSource, b}, outFolder(), [&](int index, int count) {
            EXPECT_EQ(count, 3);
            progress << index;
        });
    ASSERT_EQ(result.entries.size(), 3);
    EXPECT_FALSE(result.entries[0].written);
    EXPECT_EQ(result.entries[0].error, "源文件不存在");
    EXPECT_FALSE(result.entries[1].written);
    EXPECT_FALSE(result.entries[1].error.isEmpty());
    EXPECT_TRUE(result.entries[2].written);
    EXPECT_EQ(result.failedCount(), 2);
    EXPECT_EQ(progress, (QList<int>{0, 1, 2}));
    EXPECT_EQ(readAll(path("out/gone.exe")), "previous program");
    EXPECT_EQ(outFiles(), (QStringList{"b.exe", "gone.exe"}));
}

TEST_F(ProjectorWriterTest, AnInterruptedWriteRemovesItsPartAndKeepsThePreviousProgram) {
    writeFile(path("out/a.exe"), "previous program");
    const QString a = source("a.swf", movieOfSize(500));
    std::atomic_bool cancel{true};
    const QString error = ProjectorWriter::writeOne(fakeStub(), a, path("out/a.exe"), &cancel);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(path("out/a.exe")), "previous program");
    EXPECT_EQ(outFiles(), QStringList{"a.exe"});
}

TEST_F(ProjectorWriterTest, AReadOnlyOutputIsNotReplaced) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    const QString old = writeFile(path("out/a.exe"), "protected");
    QFile::setPermissions(old, QFile::ReadOwner);
    const auto result = ProjectorWriter(stub()).run({source("a.swf", movieOfSize(100))}, outFolder());
    EXPECT_FALSE(result.entries[0].written);
    QFile::setPermissions(old, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(readAll(old), "protected");
}

TEST_F(ProjectorWriterTest, WithoutTheStubNothingIsWritten) {
    const QString a = source("a.swf", movieOfSize(100));
    const auto result = ProjectorWriter(path("nowhere/nimbrel-projector")).run({a}, outFolder());
    EXPECT_FALSE(result.stubError.isEmpty());
    EXPECT_TRUE(result.stubError.contains("nowhere/nimbrel-projector"));
    EXPECT_FALSE(result.entries[0].written);
    EXPECT_TRUE(outFiles().isEmpty());
}

TEST_F(ProjectorWriterTest, AMissingOutputFolderFailsEachEntry) {
    const auto result = ProjectorWriter(stub()).run({source("a.swf", movieOfSize(100))}, path("no/such/") + "/");
    EXPECT_EQ(result.failedCount(), 1);
    EXPECT_FALSE(QFileInfo::exists(path("no/such/a.exe")));
}

TEST_F(ProjectorWriterTest, EmptySourcesAndNamesWithoutSwfExtension) {
    const QString empty = source("empty.swf", QByteArray());
    const QString other = source("clip.bin", movieOfSize(100));
    const auto result = ProjectorWriter(stub(10)).run({empty, other}, outFolder());
    ASSERT_TRUE(result.allWritten());
    EXPECT_EQ(readAll(path("out/empty.exe")).right(8), QByteArray::fromHex("563412FA00000000"));
    EXPECT_EQ(readAll(path("out/clip.bin.exe")).size(), 10 + 100 + 8);
}

TEST_F(ProjectorWriterTest, ACancelledRunStopsBeforeTheNextEntry) {
    const QString a = source("a.swf", movieOfSize(100));
    const QString b = source("b.swf", movieOfSize(100));
    std::atomic_bool cancel{false};
    const auto result = ProjectorWriter(stub()).run({a, b}, outFolder(), [&](int, int) { cancel = true; }, &cancel);
    EXPECT_TRUE(result.cancelled);
    EXPECT_TRUE(result.entries[0].written);
    EXPECT_FALSE(result.entries[1].written);
    EXPECT_EQ(outFiles(), QStringList{"a.exe"});
}
