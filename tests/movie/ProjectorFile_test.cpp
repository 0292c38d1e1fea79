// Projector files: the trailer, the movie found before it, and the engine
// playing a projector file as the movie it carries.
#include "movie/MoviePlayer.h"
#include "movie/swf/ProjectorFile.h"
#include "movie/support/SwfBuilder.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using swf::ProjectorFile;
using nimbrel::movie::test::SwfBuilder;

namespace {

// Three frames on a 320 x 240 px stage, compressed as the given container.
QByteArray smallMovie(SwfBuilder::Container c = SwfBuilder::Container::Cws) {
    SwfBuilder b;
    b.setBackground({0, 128, 255, 255});
    b.defineRect(1, {0, 2000, 0, 2000}, {255, 0, 0, 255});
    test::Placement p;
    p.characterId = 1;
    b.placeObject2(p);
    for (int i = 0; i < 3; ++i)
        b.showFrame();
    b.end();
    return b.build(c, 8, {0, 320 * 20, 0, 240 * 20}, 12, 3);
}

// Some program's bytes: anything that is not a movie.
QByteArray programBytes(int size) {
    QByteArray b(size, '\0');
    b[0] = 0x7F;
    b[1] = 'E';
    b[2] = 'L';
    b[3] = 'F';
    for (int i = 4; i < size; ++i)
        b[i] = char(i * 31);
    return b;
}

QByteArray projector(const QByteArray& program, const QByteArray& movie) {
    return program + movie + ProjectorFile::trailerFor(quint32(movie.size()));
}

QByteArray le(quint32 a, quint32 b) {
    QByteArray t(8, '\0');
    for (int i = 0; i < 4; ++i) {
        t[i] = char(a >> (8 * i));
        t[4 + i] = char(b >> (8 * i));
    }
    return t;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

} // namespace

TEST(ProjectorFile, TrailerIsMagicThenLengthLittleEndian) {
    EXPECT_EQ(ProjectorFile::trailerFor(1000), QByteArray::fromHex("563412FAE8030000"));
    EXPECT_EQ(ProjectorFile::trailerFor(0x01020304), QByteArray::fromHex("563412FA04030201"));
}

TEST(ProjectorFile, LocatesTheMovieBeforeTheTrailer) {
    struct Case {
        const char* name;
        QByteArray file;
        bool found;
        qint64 offset;
        qint64 length;
    };
    const QByteArray prog = programBytes(100);
    const Case cases[] = {
        {"stub, movie, trailer", prog + QByteArray(40, 'm') + le(ProjectorFile::magic, 40), true, 100, 40},
        {"movie fills the whole front", QByteArray(40, 'm') + le(ProjectorFile::magic, 40), true, 0, 40},
        {"no magic", prog + le(0x12345678, 40), false, 0, 0},
        {"length beyond the file's front", prog + le(ProjectorFile::magic, 101), false, 0, 0},
        {"length 0xFFFFFFFF", prog + le(ProjectorFile::magic, 0xFFFFFFFFu), false, 0, 0},
        {"empty movie", prog + le(ProjectorFile::magic, 0), false, 0, 0},
        {"shorter than a trailer", QByteArray::fromHex("563412FA"), false, 0, 0},
        {"empty file", QByteArray(), false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto span = ProjectorFile::locate(c.file);
        ASSERT_EQ(span.ok(), c.found) << span.error().toStdString();
        if (c.found) {
            EXPECT_EQ(span->offset, c.offset);
            EXPECT_EQ(span->length, c.length);
        } else {
            EXPECT_FALSE(span.error().isEmpty());
        }
    }
}

TEST(ProjectorFile, MovieInGivesTheCarriedMovieAndLeavesOtherFilesAlone) {
    const QByteArray movie = smallMovie();
    EXPECT_EQ(ProjectorFile::movieIn(projector(programBytes(5000), movie)), movie);
    EXPECT_EQ(ProjectorFile::movieIn(movie), movie);
    // A movie whose last bytes happen to spell a trailer is still read as a movie.
    const QByteArray oddMovie = movie + le(ProjectorFile::magic, 4);
    EXPECT_EQ(ProjectorFile::movieIn(oddMovie), oddMovie);
    const QByteArray noTrailer = programBytes(300);
    EXPECT_EQ(ProjectorFile::movieIn(noTrailer), noTrailer);
}

TEST(ProjectorFile, ReadMovieReadsFromDiskAndReportsDamage) {
    QTemporaryDir dir;
    const QByteArray movie = smallMovie();
    const QString good = writeFile(dir, "good.exe", projector(programBytes(7000), movie));
    const auto read = ProjectorFile::readMovie(good, 1 << 20);
    ASSERT_TRUE(read.ok()) << read.error().toStdString();
    EXPECT_EQ(read.value(), movie);

    EXPECT_FALSE(ProjectorFile::readMovie(good, movie.size() - 1).ok()) << "a limit below the movie's size";
    EXPECT_FALSE(ProjectorFile::readMovie(writeFile(dir, "plain.exe", programBytes(7000)), 1 << 20).ok());
    EXPECT_FALSE(ProjectorFile::readMovie(writeFile(dir, "tiny.exe", "ab"), 1 << 20).ok());
    EXPECT_FALSE(ProjectorFile::readMovie(dir.filePath("missing.exe"), 1 << 20).ok());
}

TEST(ProjectorFile, PlayerPlaysTheMovieInsideAProjector) {
    QTemporaryDir dir;
    for (auto container : {SwfBuilder::Container::Fws, SwfBuilder::Container::Cws, SwfBuilder::Container::Zws}) {
        const QByteArray movie = smallMovie(container);
        const QString path = writeFile(dir, "movie.exe", projector(programBytes(4096), movie));
        MoviePlayer player;
        player.setMovie(path);
        ASSERT_TRUE(player.isLoaded()) << player.errorString().toStdString();
        EXPECT_EQ(player.stageSize(), QSize(320, 240));
        EXPECT_EQ(player.totalFrames(), 3);
        EXPECT_TRUE(player.isPlaying());
        player.advanceTime(1000.0 / 12 + 1);
        EXPECT_EQ(player.frameNum(), 1);
    }
}

TEST(ProjectorFile, PlayerRefusesAProgramWithoutAMovie) {
    MoviePlayer player;
    EXPECT_FALSE(player.loadData(programBytes(4096)));
    EXPECT_FALSE(player.isLoaded());
    // A trailer in front of something that is no movie gives the movie's own error.
    EXPECT_FALSE(player.loadData(projector(programBytes(64), programBytes(64))));
}
