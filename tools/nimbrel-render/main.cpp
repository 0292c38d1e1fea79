// nimbrel-render: loads a movie headless and prints facts about it, renders
// frames to PNG files, measures rendering speed or prints its trace output.
#include "RenderOptions.h"
#include "movie/host/RecordingAudioOutput.h"
#include "TagHistogram.h"
#include "movie/MoviePlayer.h"
#include "movie/display/MovieClip.h"
#include "movie/swf/Container.h"
#include "movie/swf/Movie.h"
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

using nimbrel::movie::MoviePlayer;

namespace {

void out(const QString& s) {
    std::fputs(s.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

int printInfo(const MoviePlayer& player, const QString& path) {
    const auto& m = *player.parsedMovie();
    const auto& h = m.header;
    const char* comp = h.compression == nimbrel::movie::swf::Compression::Zlib   ? "CWS (zlib)"
                       : h.compression == nimbrel::movie::swf::Compression::Lzma ? "ZWS (LZMA)"
                                                                                : "FWS";
    out(QStringLiteral("file: %1").arg(path));
    out(QStringLiteral("container: %1").arg(QLatin1String(comp)));
    out(QStringLiteral("version: %1").arg(h.version));
    out(QStringLiteral("declared length: %1").arg(h.fileLength));
    out(QStringLiteral("stage: %1x%2 px (%3,%4)-(%5,%6) twips")
            .arg(h.stage.width() / 20.0)
            .arg(h.stage.height() / 20.0)
            .arg(h.stage.xMin)
            .arg(h.stage.yMin)
            .arg(h.stage.xMax)
            .arg(h.stage.yMax));
    out(QStringLiteral("frame rate: %1").arg(h.frameRate));
    out(QStringLiteral("frames: %1").arg(h.frameCount));
    out(QStringLiteral("background: %1").arg(m.backgroundColor.toQColor().name()));
    out(QStringLiteral("characters: %1, bitmaps: %2, exports: %3")
            .arg(m.characters.size())
            .arg(m.bitmaps.size())
            .arg(m.exports.size()));
    for (const QString& w : m.warnings) out(QStringLiteral("warning: %1").arg(w));
    for (const QString& w : m.bitmaps.decodeAll()) out(QStringLiteral("warning: %1").arg(w));

    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        auto unpacked = nimbrel::movie::swf::Container::unpack(f.read(MoviePlayer::maxFileBytes));
        if (unpacked) {
            TagHistogram hist = TagHistogram::of(unpacked->body);
            out(QStringLiteral("tags:"));
            for (auto it = hist.topLevel.begin(); it != hist.topLevel.end(); ++it)
                out(QStringLiteral("  %1 %2").arg(it.key(), -28).arg(it.value()));
            if (!hist.inSprites.isEmpty()) out(QStringLiteral("tags inside sprites:"));
            for (auto it = hist.inSprites.begin(); it != hist.inSprites.end(); ++it)
                out(QStringLiteral("  %1 %2").arg(it.key(), -28).arg(it.value()));
            if (hist.truncated) out(QStringLiteral("tag stream is cut short"));
        }
    }
    return 0;
}

bool save(const QImage& image, const QString& path) {
    if (image.save(path, "PNG")) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

double medianOf(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Times loading, the frame advances (timeline, scripts, events) and the
// renders separately: scripts must run well ahead of real time, and each
// render must fit in a part of the frame interval.
int bench(MoviePlayer& player, const RenderOptions& opt, const QSize& size, double loadMs) {
    // First drawings of each frame are what playing costs; drawing an
    // unchanged frame again costs next to nothing (the last picture is kept),
    // so repeats are reported apart.
    std::vector<double> renders, redraws, advances;
    const int frames = opt.advances >= 0 ? opt.advances : player.totalFrames();
    player.gotoFrame(0);
    player.play();
    auto renderNow = [&] {
        for (int r = 0; r < opt.repeats; ++r) {
            QElapsedTimer t;
            t.start();
            QImage img = player.renderImage(size);
            (r == 0 ? renders : redraws).push_back(t.nsecsElapsed() / 1e6);
        }
    };
    for (int f = 0; f < frames; ++f) {
        if (f > 0) {
            QElapsedTimer t;
            t.start();
            player.stepFrame();
            advances.push_back(t.nsecsElapsed() / 1e6);
        }
        if (opt.render) renderNow();
    }
    double advanceTotal = 0;
    for (double a : advances) advanceTotal += a;
    const double fps = player.frameRate() > 0 ? player.frameRate() : 12;
    const double realTimeMs = advances.size() * 1000.0 / fps;
    const double realtime = advanceTotal > 0 ? realTimeMs / advanceTotal : 0;
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("load_ms=%.3f advances=%zu advance_median_ms=%.3f advance_max_ms=%.3f realtime_x=%.1f\n", loadMs,
                advances.size(), medianOf(advances),
                advances.empty() ? 0.0 : *std::max_element(advances.begin(), advances.end()), realtime);
    if (!opt.render) return 0;
    std::sort(renders.begin(), renders.end());
    const double median = medianOf(renders);
    const double p95 = renders.empty() ? 0 : renders[std::min(renders.size() - 1, size_t(renders.size() * 0.95))];
    if (!redraws.empty()) std::printf("redraw_median_ms=%.3f\n", medianOf(redraws));
    std::printf("median_ms=%.3f p95_ms=%.3f peak_mb=%.1f frames=%d fps=%g\n", median, p95, ru.ru_maxrss / 1024.0,
                frames, player.frameRate());
    return 0;
}

// N frame advances with their sound written to the file as it is mixed.
int recordAudio(MoviePlayer& player, const RenderOptions& opt, const bool& quit) {
    QFile file(opt.audioOut);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(opt.audioOut), qPrintable(file.errorString()));
        return 1;
    }
    nimbrel::movie::host::RecordingAudioOutput recording;
    player.setAudioOutput(&recording);
    for (int i = 0; i < opt.frame && !quit; ++i) {
        player.stepFrame();
        if (file.write(recording.recorded()) != recording.recorded().size()) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(opt.audioOut), qPrintable(file.errorString()));
            return 1;
        }
        recording.clear();
    }
    player.setAudioOutput(nullptr);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Never a window: the offscreen platform is enough for fonts and images.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    RenderOptions opt;
    QString error;
    if (!opt.parse(app.arguments().mid(1), &error)) {
        std::fprintf(stderr, "nimbrel-render: %s\n%s", qPrintable(error), qPrintable(RenderOptions::usage()));
        return 2;
    }
    MoviePlayer player;
    bool quit = false;
    QObject::connect(&player, &MoviePlayer::fsCommand, [&quit](const QString& command, const QString&) {
        if (command.compare(QLatin1String("quit"), Qt::CaseInsensitive) == 0) quit = true;
    });
    // One line when the movie's scripts were stopped (ran too long, recursed without end).
    QObject::connect(&player, &MoviePlayer::scriptsHalted, [](MoviePlayer::StopReason why) {
        std::fprintf(stderr, "nimbrel-render: %s\n", qPrintable(MoviePlayer::stopMessage(why)));
    });
    // Only --trace prints what scripts trace; other modes print their own figures.
    if (opt.mode == RenderOptions::Mode::Trace) player.setTraceSink([](const QString& line) { out(line); });
    else player.setTraceSink([](const QString&) {});
    QElapsedTimer loadTimer;
    loadTimer.start();
    player.setMovie(opt.movie);
    if (!player.isLoaded() && player.errorString().isEmpty()) {
        // Large files are parsed in the background: wait for the outcome.
        QEventLoop loop;
        QObject::connect(&player, &MoviePlayer::loaded, &loop, &QEventLoop::quit);
        QObject::connect(&player, &MoviePlayer::loadFailed, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const double loadMs = loadTimer.nsecsElapsed() / 1e6;
    if (!player.isLoaded()) {
        std::fprintf(stderr, "nimbrel-render: %s: %s\n", qPrintable(opt.movie), qPrintable(player.errorString()));
        return 1;
    }
    const QSize size = opt.sizeFor(player.stageSize());
    switch (opt.mode) {
    case RenderOptions::Mode::Info:
        return printInfo(player, opt.movie);
    case RenderOptions::Mode::Frame:
        player.gotoFrame(opt.frame);
        return save(player.renderImage(size), opt.out) ? 0 : 1;
    case RenderOptions::Mode::After:
        for (int i = 0; i < opt.frame && !quit; ++i) player.stepFrame();
        return save(player.renderImage(size), opt.out) ? 0 : 1;
    case RenderOptions::Mode::Frames: {
        if (!QDir().mkpath(opt.outDir)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(opt.outDir));
            return 1;
        }
        const int last = std::min(opt.last, player.totalFrames() - 1);
        for (int f = opt.first; f <= last; ++f) {
            player.gotoFrame(f);
            if (!save(player.renderImage(size), QDir(opt.outDir).filePath(QStringLiteral("frame_%1.png").arg(f, 5, 10, QLatin1Char('0')))))
                return 1;
        }
        return 0;
    }
    case RenderOptions::Mode::Bench:
        return bench(player, opt, size, loadMs);
    case RenderOptions::Mode::Trace:
        // N frames in all: loading ran the first one.
        for (int i = 1; i < opt.frame && !quit; ++i) player.stepFrame();
        std::fflush(stdout);
        return 0;
    case RenderOptions::Mode::Audio:
        return recordAudio(player, opt, quit);
    case RenderOptions::Mode::None:
        break;
    }
    return 2;
}
