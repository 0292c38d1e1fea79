#include "services/MovieSaver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using nimbrel::services::MovieSaver;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

class MovieSaverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        movie = dir.filePath("playing.swf");
        // Larger than one copy chunk so the copy loop runs more than once.
        body.resize(600 * 1024);
        for (qsizetype i = 0; i < body.size(); ++i)
            body[i] = char(i * 31 % 251);
        ASSERT_TRUE(writeFile(movie, body));
    }
    QStringList entries() const { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); }

    QTemporaryDir dir;
    QString movie;
    QByteArray body;
};

} // namespace

TEST_F(MovieSaverTest, MovieThatIsNoLongerAFileIsReportedBeforeTheDialog) {
    EXPECT_FALSE(MovieSaver::checkMovie(movie).has_value());
    ASSERT_TRUE(QFile::remove(movie));
    for (const QString& path : {movie, QStringLiteral("http://127.0.0.1/clip.swf"), QString(), dir.path()}) {
        const auto box = MovieSaver::checkMovie(path);
        ASSERT_TRUE(box.has_value()) << path.toStdString();
        EXPECT_EQ(box->status, MovieSaver::Status::MissingMovie);
        EXPECT_EQ(box->message, QStringLiteral("这个文件不存在,请检查"));
        EXPECT_EQ(box->title, QStringLiteral("检查"));
        EXPECT_TRUE(box->informationIcon);
    }
    const auto saved = MovieSaver::save(movie, dir.filePath("copy"));
    EXPECT_EQ(saved.status, MovieSaver::Status::MissingMovie);
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(MovieSaverTest, EmptyNameAsksForAValidName) {
    const auto out = MovieSaver::save(movie, QString());
    EXPECT_EQ(out.status, MovieSaver::Status::NoName);
    EXPECT_EQ(out.message, QStringLiteral("请输入有效的文件名"));
    EXPECT_EQ(out.title, QStringLiteral("Quorvane FlashPlayer"));
    EXPECT_EQ(entries(), QStringList{"playing.swf"});
}

TEST_F(MovieSaverTest, SwfIsAddedOnlyWhenTheNameLacksIt) {
    EXPECT_EQ(MovieSaver::targetName("/x/clip"), "/x/clip.swf");
    EXPECT_EQ(MovieSaver::targetName("/x/clip.swf"), "/x/clip.swf");
    EXPECT_EQ(MovieSaver::targetName("/x/CLIP.Swf"), "/x/CLIP.Swf");
    EXPECT_EQ(MovieSaver::targetName("/x/clip.swf.bak"), "/x/clip.swf.bak.swf");
    EXPECT_EQ(MovieSaver::targetName("/x/clipswf"), "/x/clipswf.swf");
}

TEST_F(MovieSaverTest, SavesACopyUnderTheChosenName) {
    const auto plain = MovieSaver::save(movie, dir.filePath("clip"));
    EXPECT_EQ(plain.status, MovieSaver::Status::Saved);
    EXPECT_EQ(plain.message, QStringLiteral("文件存储成功"));
    EXPECT_EQ(plain.title, QStringLiteral("Quorvane FlashPlayer"));
    EXPECT_EQ(plain.target, dir.filePath("clip.swf"));
    EXPECT_EQ(readAll(dir.filePath("clip.swf")), body);

    const auto withSuffix = MovieSaver::save(movie, dir.filePath("other.SWF"));
    EXPECT_EQ(withSuffix.status, MovieSaver::Status::Saved);
    EXPECT_EQ(readAll(dir.filePath("other.SWF")), body);
    EXPECT_FALSE(QFile::exists(dir.filePath("other.SWF.swf")));
    // Nothing but the source and the two copies: no temporary file is left over.
    QStringList names = entries();
    names.sort();
    EXPECT_EQ(names, (QStringList{"clip.swf", "other.SWF", "playing.swf"}));
}

TEST_F(MovieSaverTest, ReplacesAnExistingFile) {
    ASSERT_TRUE(writeFile(dir.filePath("clip.swf"), "an older, different and longer file than before"));
    const auto out = MovieSaver::save(movie, dir.filePath("clip"));
    EXPECT_EQ(out.status, MovieSaver::Status::Saved);
    EXPECT_EQ(readAll(dir.filePath("clip.swf")), body);
}

TEST_F(MovieSaverTest, SavingOntoItselfKeepsTheMovie) {
    const auto out = MovieSaver::save(movie, movie);
    EXPECT_EQ(out.status, MovieSaver::Status::Saved);
    EXPECT_EQ(readAll(movie), body);
}

TEST_F(MovieSaverTest, FailedCopyIsReportedAsFailure) {
    const auto out = MovieSaver::save(movie, dir.filePath("no-such-folder/clip"));
    EXPECT_EQ(out.status, MovieSaver::Status::Failed);
    EXPECT_TRUE(out.message.startsWith(QStringLiteral("文件存储失败")));
    EXPECT_NE(out.message, QStringLiteral("文件存储成功"));
    EXPECT_EQ(out.title, QStringLiteral("Quorvane FlashPlayer"));
    EXPECT_FALSE(out.reason.isEmpty());
    EXPECT_TRUE(out.message.contains(out.reason));
    EXPECT_EQ(entries(), QStringList{"playing.swf"});
}

TEST_F(MovieSaverTest, FailedReplaceLeavesWhatStoodThereAndNoTemporaryFile) {
    // The name is taken by a folder: the copy is written beside it but cannot replace it.
    ASSERT_TRUE(QDir(dir.path()).mkpath("clip.swf/inner"));
    const auto out = MovieSaver::save(movie, dir.filePath("clip"));
    EXPECT_EQ(out.status, MovieSaver::Status::Failed);
    EXPECT_TRUE(QFileInfo(dir.filePath("clip.swf/inner")).isDir());
    QStringList names = entries();
    names.sort();
    EXPECT_EQ(names, (QStringList{"clip.swf", "playing.swf"}));
}
