// Plays every movie of the given corpus folders, unchanged, through the
// AddressSanitizer/UBSan build of the engine: load beside its folder, a few
// frames with scripts on, a small drawing after loading and at the end. Any
// memory fault or undefined behaviour ends the run; the movie being played is
// named on stderr first so the log shows the culprit.
// movie_corpus_smoke [--frames N] [--size WxH] CORPUS_DIR...
// Exits 77 (skipped) when none of the folders exists.
#include "movie/MoviePlayer.h"
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

using namespace nimbrel::movie;

namespace {

constexpr int kSkipped = 77;

struct Options {
    int frames = 8;
    QSize size{64, 48};
    QStringList dirs;
};

bool parseOptions(const QStringList& args, Options* opt) {
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--frames") && i + 1 < args.size()) {
            opt->frames = std::max(1, args[++i].toInt());
        } else if (a == QLatin1String("--size") && i + 1 < args.size()) {
            const QStringList wh = args[++i].split(QLatin1Char('x'));
            if (wh.size() != 2) return false;
            opt->size = QSize(wh[0].toInt(), wh[1].toInt());
            if (opt->size.isEmpty()) return false;
        } else if (a.startsWith(QLatin1String("--"))) {
            return false;
        } else {
            opt->dirs << a;
        }
    }
    return !opt->dirs.isEmpty();
}

QStringList moviesUnder(const QString& dir) {
    QStringList files;
    QDirIterator it(dir, {QStringLiteral("*.swf")}, QDir::Files, QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (it.hasNext()) files << it.next();
    files.sort();
    return files;
}

// Returns false when the movie did not load (not a fault: some corpus files
// are deliberately broken or are not movies this engine plays).
bool play(const QString& path, const Options& opt) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > MoviePlayer::maxFileBytes) return false;
    MoviePlayer player;
    player.setTraceSink([](const QString&) {});
    bool quit = false;
    QObject::connect(&player, &MoviePlayer::fsCommand, [&quit](const QString& command, const QString&) {
        if (command.compare(QLatin1String("quit"), Qt::CaseInsensitive) == 0) quit = true;
    });
    if (!player.loadData(f.readAll(), QFileInfo(path).absolutePath())) return false;
    (void)player.renderImage(opt.size);
    for (int i = 1; i < opt.frames && !quit && player.isLoaded(); ++i) player.stepFrame();
    (void)player.renderImage(opt.size);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Broken images and fonts make Qt chatty; only faults matter here.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QGuiApplication app(argc, argv);
    Options opt;
    if (!parseOptions(app.arguments(), &opt)) {
        std::fprintf(stderr, "usage: movie_corpus_smoke [--frames N] [--size WxH] CORPUS_DIR...\n");
        return 2;
    }
    QStringList movies;
    for (const QString& dir : opt.dirs)
        if (QFileInfo(dir).isDir()) movies += moviesUnder(dir);
    if (movies.isEmpty()) {
        std::printf("no corpus movies under %s: skipped\n", qPrintable(opt.dirs.join(QLatin1String(", "))));
        return kSkipped;
    }
    QElapsedTimer total;
    total.start();
    int loaded = 0;
    qint64 slowestMs = 0;
    QString slowest;
    for (const QString& path : movies) {
        std::fprintf(stderr, "%s\n", qPrintable(path));
        QElapsedTimer one;
        one.start();
        if (play(path, opt)) ++loaded;
        if (one.elapsed() > slowestMs) {
            slowestMs = one.elapsed();
            slowest = path;
        }
    }
    std::printf("%lld movies, %d loaded and played %d frames each: no faults in %.1f s (slowest %lld ms: %s)\n",
                static_cast<long long>(movies.size()), loaded, opt.frames, total.elapsed() / 1000.0,
                static_cast<long long>(slowestMs), qPrintable(slowest));
    return 0;
}
