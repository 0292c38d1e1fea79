#include "RenderOptions.h"
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {
bool parseSize(const QString& s, QSize* out) {
    static const QRegularExpression re(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
    auto m = re.match(s);
    if (!m.hasMatch()) return false;
    *out = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    return out->width() > 0 && out->height() > 0 && out->width() <= RenderOptions::maxSide &&
           out->height() <= RenderOptions::maxSide;
}
bool parseInt(const QString& s, int* out) {
    bool ok = false;
    *out = s.toInt(&ok);
    return ok && *out >= 0;
}
} // namespace

QString RenderOptions::usage() {
    return QStringLiteral(
        "usage: nimbrel-render MOVIE --info\n"
        "       nimbrel-render MOVIE --frame N [--size WxH] --out FILE.png\n"
        "       nimbrel-render MOVIE --after K [--size WxH] --out FILE.png\n"
        "       nimbrel-render MOVIE --frames A-B [--size WxH] --out-dir DIR\n"
        "       nimbrel-render MOVIE --bench [--size WxH] [--repeat R] [--frames N] [--no-render]\n"
        "       nimbrel-render MOVIE --trace --frames N\n"
        "       nimbrel-render MOVIE --frames N --audio-out FILE.raw\n"
        "Pictures are the stage size, scaled down to fit 2048x2048 unless --size is given.\n"
        "--frame N goes to frame N (0-based) as GotoFrame does; --after K runs K frame\n"
        "advances after loading; --trace prints the trace lines of the first N frames.\n"
        "--bench times loading, N frame advances (scripts included; default the frame\n"
        "count) and R renders of each frame; --no-render times the advances only.\n"
        "--audio-out writes the sound of N frame advances as 44,100 Hz stereo signed\n"
        "16-bit little-endian samples, one frame interval of samples per advance.\n");
}

bool RenderOptions::parse(const QStringList& args, QString* error) {
    bool trace = false, bench = false, info = false, noRender = false;
    QString framesArg;
    bool haveFrame = false, haveAfter = false, haveFrames = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString* v) {
            if (i + 1 >= args.size()) {
                *error = a + QStringLiteral(" needs a value");
                return false;
            }
            *v = args[++i];
            return true;
        };
        QString v;
        if (a == QLatin1String("--info")) info = true;
        else if (a == QLatin1String("--bench")) bench = true;
        else if (a == QLatin1String("--trace")) trace = true;
        else if (a == QLatin1String("--no-render")) noRender = true;
        else if (a == QLatin1String("--frame")) {
            if (!value(&v) || !parseInt(v, &frame)) return *error = QStringLiteral("bad --frame"), false;
            haveFrame = true;
        } else if (a == QLatin1String("--after")) {
            if (!value(&v) || !parseInt(v, &frame)) return *error = QStringLiteral("bad --after"), false;
            haveAfter = true;
        } else if (a == QLatin1String("--frames")) {
            if (!value(&framesArg)) return false;
            haveFrames = true;
        } else if (a == QLatin1String("--size")) {
            if (!value(&v) || !parseSize(v, &size))
                return *error = QStringLiteral("bad --size, expected WxH of at most %1x%1").arg(maxSide), false;
        } else if (a == QLatin1String("--repeat")) {
            if (!value(&v) || !parseInt(v, &repeats) || repeats < 1) return *error = QStringLiteral("bad --repeat"), false;
        } else if (a == QLatin1String("--out")) {
            if (!value(&out)) return false;
        } else if (a == QLatin1String("--audio-out")) {
            if (!value(&audioOut)) return false;
        } else if (a == QLatin1String("--out-dir")) {
            if (!value(&outDir)) return false;
        } else if (a.startsWith(QLatin1String("--"))) {
            *error = QStringLiteral("unknown option ") + a;
            return false;
        } else if (movie.isEmpty()) {
            movie = a;
        } else {
            *error = QStringLiteral("more than one movie given");
            return false;
        }
    }
    if (movie.isEmpty()) return *error = QStringLiteral("no movie given"), false;
    if (noRender && !bench) return *error = QStringLiteral("--no-render goes with --bench"), false;
    const bool audio = !audioOut.isEmpty();
    const int modes = int(info) + int(bench) + int(trace) + int(haveFrame) + int(haveAfter) + int(audio) +
                      int(haveFrames && !trace && !bench && !audio);
    if (modes != 1)
        return *error = QStringLiteral("choose exactly one of --info, --frame, --after, --frames, --bench, --trace, --audio-out"), false;
    if (audio) {
        mode = Mode::Audio;
        if (!haveFrames || !parseInt(framesArg, &frame)) return *error = QStringLiteral("--audio-out needs --frames N"), false;
    } else if (trace) {
        mode = Mode::Trace;
        if (!haveFrames || !parseInt(framesArg, &frame)) return *error = QStringLiteral("--trace needs --frames N"), false;
    } else if (info) {
        mode = Mode::Info;
    } else if (bench) {
        mode = Mode::Bench;
        if (haveFrames && !parseInt(framesArg, &advances)) return *error = QStringLiteral("bad --frames, expected N"), false;
        render = !noRender;
    } else if (haveFrame || haveAfter) {
        mode = haveFrame ? Mode::Frame : Mode::After;
        if (out.isEmpty()) return *error = QStringLiteral("--out FILE is needed"), false;
    } else {
        mode = Mode::Frames;
        static const QRegularExpression re(QStringLiteral("^(\\d{1,6})-(\\d{1,6})$"));
        auto m = re.match(framesArg);
        if (!m.hasMatch()) return *error = QStringLiteral("bad --frames, expected A-B"), false;
        first = m.captured(1).toInt();
        last = m.captured(2).toInt();
        if (last < first) return *error = QStringLiteral("bad --frames, B is before A"), false;
        if (outDir.isEmpty()) return *error = QStringLiteral("--out-dir DIR is needed"), false;
    }
    return true;
}

QSize RenderOptions::defaultSize(const QSize& stage) {
    const QSize whole = stage.expandedTo(QSize(1, 1));
    if (whole.width() <= maxDefaultSide && whole.height() <= maxDefaultSide) return whole;
    const double scale = double(maxDefaultSide) / std::max(whole.width(), whole.height());
    return QSize(std::clamp(int(std::lround(whole.width() * scale)), 1, maxDefaultSide),
                 std::clamp(int(std::lround(whole.height() * scale)), 1, maxDefaultSide));
}
