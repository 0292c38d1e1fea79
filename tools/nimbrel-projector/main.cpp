// nimbrel-projector: a movie turned into a program. It plays the movie stored
// at the end of its own file (movie, magic 0xFA123456, the movie's length).
//
//   nimbrel-projector            play the movie inside
//   nimbrel-projector --check    load it, print its size and frames, and exit
#include "ProjectorWindow.h"
#include "movie/MoviePlayer.h"
#include "movie/swf/ProjectorFile.h"
#include <QApplication>
#include <QFileInfo>
#include <cstdio>

using nimbrel::movie::MoviePlayer;
using nimbrel::movie::swf::ProjectorFile;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const QFileInfo info(self);
    app.setApplicationName(info.completeBaseName());

    const auto movie = ProjectorFile::readMovie(self, MoviePlayer::maxFileBytes);
    if (!movie) {
        std::fprintf(stderr, "%s: no movie to play in %s: %s\n", qPrintable(info.fileName()), qPrintable(self),
                     qPrintable(movie.error()));
        return 2;
    }

    ProjectorWindow window;
    window.setWindowTitle(info.completeBaseName());
    if (!window.load(movie.value(), info.absolutePath())) {
        std::fprintf(stderr, "%s: the movie inside cannot be played: %s\n", qPrintable(info.fileName()),
                     qPrintable(window.errorString()));
        return 3;
    }
    if (app.arguments().contains(QStringLiteral("--check"))) {
        const QSize stage = window.player().stageSize();
        std::printf("movie %dx%d px, %d frames, window %dx%d px\n", stage.width(), stage.height(),
                    window.player().totalFrames(), window.width(), window.height());
        return 0;
    }
    window.show();
    return app.exec();
}
