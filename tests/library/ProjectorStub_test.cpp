// Converting with the real projector stub: the program runs the movie it
// carries, and the player opens such a program as that movie.
#include "library/ProjectorFixtures.h"
#include "library/ProjectorWriter.h"
#include "movie/MoviePlayer.h"
#include <QDirIterator>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

using nimbrel::library::ProjectorWriter;
using nimbrel::movie::MoviePlayer;
using namespace projector_test;

namespace {

class ProjectorStubTest : public ScratchFolder {
protected:
    static QString realStub() { return QStringLiteral(NIMBREL_PROJECTOR_STUB); }

    QString convert(const QString& src) {
        const auto result = ProjectorWriter(realStub()).run({src}, outFolder());
        EXPECT_TRUE(result.allWritten()) << result.entries.value(0).error.toStdString();
        return result.entries.value(0).output;
    }

    // Runs a program headless; its exit code and everything it printed.
    static std::pair<int, QString> runHeadless(const QString& program, const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            return {-1, "timed out"};
        }
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAll())};
    }
};

} // namespace

TEST_F(ProjectorStubTest, AThousandByteMovieEndsInItsTrailerAndThePlayerPlaysTheProgram) {
    const QByteArray movie = movieOfSize(1000);
    const QString exe = convert(source("a.swf", movie));
    const QByteArray bytes = readAll(exe);
    EXPECT_EQ(bytes.size(), QFileInfo(realStub()).size() + 1008);
    EXPECT_EQ(bytes.right(8), QByteArray::fromHex("563412FAE8030000"));

    MoviePlayer player;
    // A program of this size is parsed in the background: wait for the outcome.
    QEventLoop wait;
    QObject::connect(&player, &MoviePlayer::loaded, &wait, &QEventLoop::quit);
    QObject::connect(&player, &MoviePlayer::loadFailed, &wait, &QEventLoop::quit);
    QTimer::singleShot(10000, &wait, &QEventLoop::quit);
    player.setMovie(exe);
    if (!player.isLoaded() && player.errorString().isEmpty()) wait.exec();
    ASSERT_TRUE(player.isLoaded()) << player.errorString().toStdString();
    EXPECT_EQ(player.stageSize(), QSize(550, 400));
    EXPECT_EQ(player.totalFrames(), 486);
    EXPECT_TRUE(player.isPlaying());
    player.advanceTime(1000.0 / 12 + 1);
    EXPECT_EQ(player.frameNum(), 1);
}

TEST_F(ProjectorStubTest, TheProgramLoadsItsMovieAtTheMoviesSize) {
    const QString exe = convert(source("a.swf", movieOfSize(1000)));
    const auto [code, out] = runHeadless(exe, {"--check"});
    EXPECT_EQ(code, 0) << out.toStdString();
    EXPECT_TRUE(out.contains("movie 550x400 px, 486 frames, window 550x400 px")) << out.toStdString();
}

TEST_F(ProjectorStubTest, TheStubAloneSaysItHasNoMovieAndFails) {
    const auto [code, out] = runHeadless(realStub(), {});
    EXPECT_NE(code, 0);
    EXPECT_TRUE(out.contains("no movie to play")) << out.toStdString();

    // A trailer pointing at something that is no movie.
    const QString broken = writeFile(path("out/broken.exe"),
                                     readAll(realStub()) + QByteArray(50, 'x') + QByteArray::fromHex("563412FA32000000"));
    QFile::setPermissions(broken, QFile::permissions(broken) | QFile::ExeOwner);
    const auto [code2, out2] = runHeadless(broken, {"--check"});
    EXPECT_NE(code2, 0);
    EXPECT_TRUE(out2.contains("cannot be played")) << out2.toStdString();
}

TEST_F(ProjectorStubTest, ACorpusMovieRunsAsAProgram) {
    const QString corpus = QStringLiteral(NIMBREL_SOURCE_DIR "/../shared/corpus/visual");
    if (!QDir(corpus).exists())
        GTEST_SKIP() << "corpus not present";
    const QString swf = corpus + "/gradient_same_ratios/test.swf";
    ASSERT_TRUE(QFileInfo::exists(swf));
    const QString exe = convert(swf);
    EXPECT_EQ(QFileInfo(exe).fileName(), "test.exe");
    const auto [code, out] = runHeadless(exe, {"--check"});
    EXPECT_EQ(code, 0) << out.toStdString();
    EXPECT_TRUE(out.contains("movie 256x256 px")) << out.toStdString();
}
