// Renders the corpus cases that carry reference images and compares them.
// Prints one line per check, "N passed, M failed" and the same for the cases
// whose movies carry no scripts; fails when a check on the pass list fails.
#include "ConformanceCase.h"
#include "ScriptPresence.h"
#include "support/PassList.h"
#include "movie/MoviePlayer.h"
#include "movie/display/MovieClip.h"
#include "movie/render/StageLayout.h"
#include "movie/render/StageRenderer.h"
#include "movie/swf/Movie.h"
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <cmath>
#include <cstdio>

using nimbrel::movie::MoviePlayer;
namespace render = nimbrel::movie::render;

namespace {

// Draws the stage as the player does for an unzoomed "show all" view, but at
// the stage quality the case was recorded with.
QImage capture(MoviePlayer& player, const ConformanceCase& c, render::StageRenderer::OutlineCache& outlines) {
    const QSize viewport = c.viewport.isEmpty() ? player.stageSize().expandedTo(QSize(1, 1)) : c.viewport;
    const double dpr = c.viewport.isEmpty() ? 1.0 : c.scaleFactor;
    const QSize pixels(int(std::ceil(viewport.width() * dpr)), int(std::ceil(viewport.height() * dpr)));
    QImage image(pixels.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    QColor bg = player.backgroundColor();
    bg.setAlpha(255);
    image.fill(bg);
    const auto movie = player.parsedMovie();
    if (!movie || !player.root()) return image;
    const QTransform stage =
        render::StageLayout::transform(movie->header.stage.toQRectF(), QSizeF(viewport), render::ScaleMode::ShowAll) *
        QTransform::fromScale(dpr, dpr);
    render::StageRenderer r(*movie, &outlines);
    r.setQuality(render::StageRenderer::qualityFromName(c.quality));
    r.render(image, *player.root(), stage);
    return image;
}

// Prints the first pixels that differ beyond tolerance, to see where a case goes wrong.
void explain(const QImage& actualIn, const QImage& expectedIn, int tolerance, int limit) {
    const QImage a = actualIn.convertToFormat(QImage::Format_ARGB32);
    const QImage e = expectedIn.convertToFormat(QImage::Format_ARGB32);
    if (a.size() != e.size()) {
        std::printf("  size %dx%d, expected %dx%d\n", a.width(), a.height(), e.width(), e.height());
        return;
    }
    int shown = 0;
    for (int y = 0; y < a.height() && shown < limit; ++y)
        for (int x = 0; x < a.width() && shown < limit; ++x) {
            const QRgb pa = a.pixel(x, y), pe = e.pixel(x, y);
            if (std::abs(qRed(pa) - qRed(pe)) > tolerance || std::abs(qGreen(pa) - qGreen(pe)) > tolerance ||
                std::abs(qBlue(pa) - qBlue(pe)) > tolerance || std::abs(qAlpha(pa) - qAlpha(pe)) > tolerance) {
                std::printf("  (%d,%d) got %08x expected %08x\n", x, y, pa, pe);
                ++shown;
            }
        }
}

struct Tally {
    int passed = 0, failed = 0;
    // Checks of movies without any scripts; a movie that does not load counts here.
    int noScriptPassed = 0, noScriptTotal = 0;
};

// Runs one case and adds its checks to the tally.
void runCase(const ConformanceCase& c, const QString& label, Tally& tally, PassList& passes, bool verbose,
             const QString& dumpDir, int explainLimit) {
    for (const QString& problem : c.fonts.apply()) std::fprintf(stderr, "%s: %s\n", qPrintable(label), qPrintable(problem));
    QFile f(QDir(c.dir).filePath(QStringLiteral("test.swf")));
    MoviePlayer player;
    if (!f.open(QIODevice::ReadOnly) || !player.loadData(f.readAll(), c.dir)) {
        tally.failed += int(c.checks.size());
        tally.noScriptTotal += int(c.checks.size());
        for (const ImageCheck& k : c.checks) passes.record(label + QStringLiteral(" [") + k.name + QLatin1Char(']'), false);
        std::printf("FAIL %s: cannot load (%s)\n", qPrintable(label), qPrintable(player.errorString()));
        return;
    }
    const bool scripted = player.parsedMovie() && ScriptPresence::scripted(*player.parsedMovie());
    bool quit = false, fsCommandSeen = false;
    QObject::connect(&player, &MoviePlayer::fsCommand, [&](const QString& cmd, const QString&) {
        fsCommandSeen = true;
        if (cmd.compare(QLatin1String("quit"), Qt::CaseInsensitive) == 0) quit = true;
    });
    std::vector<QImage> shots(c.checks.size());
    render::StageRenderer::OutlineCache outlines;
    auto take = [&](int advance, bool last) {
        for (size_t i = 0; i < c.checks.size(); ++i) {
            const ImageCheck& k = c.checks[i];
            if (!shots[i].isNull()) continue;
            const bool due = (k.trigger == ImageCheck::Trigger::Advance && k.advance == advance) ||
                             (k.trigger == ImageCheck::Trigger::LastFrame && last) ||
                             (k.trigger == ImageCheck::Trigger::FsCommand && fsCommandSeen);
            if (due) shots[i] = capture(player, c, outlines);
        }
    };
    // Loading runs the first frame: that is the first advance.
    for (int advance = 1; advance <= c.advances; ++advance) {
        if (advance > 1) player.stepFrame();
        take(advance, advance == c.advances || quit);
        fsCommandSeen = false;
        if (quit) break;
    }
    if (player.scriptsStopped())
        std::fprintf(stderr, "%s: %s\n", qPrintable(label),
                     qPrintable(MoviePlayer::stopMessage(player.scriptStopReason())));
    for (size_t i = 0; i < c.checks.size(); ++i) {
        const ImageCheck& k = c.checks[i];
        const QImage expected(QDir(c.dir).filePath(k.name + QStringLiteral(".expected.png")));
        // Every threshold must hold; the report names the first that does not.
        qint64 bad = -1;
        ImageCheck::Threshold judged = k.thresholds.front();
        bool ok = !shots[i].isNull();
        for (const ImageCheck::Threshold& t : k.thresholds) {
            if (!ok) break;
            judged = t;
            bad = ConformanceCase::outliers(shots[i], expected, t.tolerance);
            ok = bad <= t.maxOutliers;
        }
        if (!dumpDir.isEmpty() && !shots[i].isNull()) {
            QString base = QString(label).replace(QLatin1Char('/'), QLatin1Char('_')) + QLatin1Char('_') + k.name;
            shots[i].save(QDir(dumpDir).filePath(base + QStringLiteral(".actual.png")));
            expected.save(QDir(dumpDir).filePath(base + QStringLiteral(".expected.png")));
        }
        ok ? ++tally.passed : ++tally.failed;
        passes.record(label + QStringLiteral(" [") + k.name + QLatin1Char(']'), ok);
        if (!scripted) {
            ++tally.noScriptTotal;
            if (ok) ++tally.noScriptPassed;
        }
        if (verbose || !ok)
            std::printf("%s %s [%s]: %lld outliers beyond %d (allowed %d)%s%s\n", ok ? "PASS" : "FAIL", qPrintable(label),
                        qPrintable(k.name), static_cast<long long>(bad), judged.tolerance, judged.maxOutliers,
                        scripted ? " (scripted)" : "", c.knownFailure ? " (known failure)" : "");
        if (!ok && explainLimit > 0 && !shots[i].isNull()) explain(shots[i], expected, judged.tolerance, explainLimit);
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: movie_conformance CORPUS_DIR [PASS_LIST] [--verbose] [--only SUBSTRING] [--dump DIR] [--explain N]\n");
        return 2;
    }
    const QString corpus = args[1];
    if (!QFileInfo::exists(corpus)) {
        std::printf("corpus not found at %s: skipped\n", qPrintable(corpus));
        return 0;
    }
    bool verbose = args.contains(QStringLiteral("--verbose"));
    QString only, dumpDir;
    int explainLimit = 0;
    if (int i = int(args.indexOf(QStringLiteral("--explain"))); i > 0 && i + 1 < args.size())
        explainLimit = args[i + 1].toInt();
    if (int i = int(args.indexOf(QStringLiteral("--dump"))); i > 0 && i + 1 < args.size()) dumpDir = args[i + 1];
    if (int i = int(args.indexOf(QStringLiteral("--only"))); i > 0 && i + 1 < args.size()) only = args[i + 1];
    const QString passListPath =
        args.size() > 2 && !args[2].startsWith(QLatin1String("--")) ? args[2] : QString();
    PassList passes = PassList::load(passListPath);
    QStringList dirs;
    QDirIterator it(corpus, {QStringLiteral("test.toml")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) dirs << QFileInfo(it.next()).absolutePath();
    dirs.sort();
    Tally tally;
    for (const QString& dir : dirs) {
        const QString label = QDir(corpus).relativeFilePath(dir);
        if (!only.isEmpty() && !label.contains(only)) continue;
        ConformanceCase c;
        if (!c.read(dir)) continue;
        runCase(c, label, tally, passes, verbose, dumpDir, explainLimit);
    }
    std::printf("%d passed, %d failed\n", tally.passed, tally.failed);
    std::printf("no-script cases: %d passed of %d\n", tally.noScriptPassed, tally.noScriptTotal);
    for (const QString& name : passes.gained()) std::printf("newly passing: %s\n", qPrintable(name));
    const QStringList lost = passes.lost();
    for (const QString& name : lost) std::printf("LOST (on the pass list): %s\n", qPrintable(name));
    if (!passListPath.isEmpty() && PassList::rewriteRequested() && !passes.write(passListPath))
        std::printf("could not write %s\n", qPrintable(passListPath));
    return lost.isEmpty() ? 0 : 1;
}
