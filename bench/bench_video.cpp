// VP6 decoding cost as a share of one core, for 320x240 video at 30 fps
// (target under 15 %). No VP6 sequence is at hand and none can be made here,
// but the conformance corpus holds movies with single VP6 keyframes: each
// is decoded over and over through the engine's video decoder (picture
// conversion included) and the cost scaled to 320x240 by pixel count. A
// keyframe costs more than the frames between keyframes, so the figure is an
// upper bound for a whole sequence, not a measurement of one.
// Usage: bench_video [--seconds S] [CORPUS]
#include "movie/swf/MovieParser.h"
#include "movie/video/VideoDecoder.h"
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QStringList>
#include <cstdio>
#include <sys/resource.h>

using namespace nimbrel::movie;

namespace {

double cpuSeconds() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

struct Keyframe {
    QString file;
    uint8_t codec = 0;
    uint8_t deblocking = 0;
    QByteArray packet;
};

// The first keyframe of every VP6 stream in the movies under root, read with the engine's own parser.
std::vector<Keyframe> vp6Keyframes(const QString& root) {
    std::vector<Keyframe> found;
    QDirIterator it(root, {QStringLiteral("*.swf")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) continue;
        auto parsed = swf::MovieParser::parse(f.readAll());
        if (!parsed) continue;
        for (const auto& [id, video] : parsed.value()->videos) {
            if (video->codec != swf::VideoStreamDef::Vp6 && video->codec != swf::VideoStreamDef::Vp6Alpha) continue;
            for (const auto& [number, packet] : video->frames) {
                const auto* data = reinterpret_cast<const uint8_t*>(packet.constData());
                if (!video::VideoDecoder::isKeyframe(video->codec, data, size_t(packet.size()))) continue;
                found.push_back({QDir(root).relativeFilePath(path), video->codec, video->deblocking, packet});
                break;
            }
        }
    }
    return found;
}

void measure(const Keyframe& k, double seconds) {
    video::VideoDecoder decoder(k.codec, k.deblocking);
    const auto* data = reinterpret_cast<const uint8_t*>(k.packet.constData());
    if (!decoder.decode(data, size_t(k.packet.size()))) {
        std::printf("vp6 %s: the keyframe does not decode, skipped\n", qPrintable(k.file));
        return;
    }
    const int pixels = decoder.picture().width() * decoder.picture().height();
    int decoded = 0, pictures = 0;
    const double start = cpuSeconds();
    double cpu = 0;
    while (cpu < seconds || decoded < 100) {
        // Every pass must give a picture: a refused packet would pass for a fast one.
        pictures += decoder.decode(data, size_t(k.packet.size())) ? 1 : 0;
        ++decoded;
        cpu = cpuSeconds() - start;
    }
    if (pictures != decoded) {
        std::printf("vp6 %s: only %d of %d decodes gave a picture, no figure\n", qPrintable(k.file), pictures, decoded);
        return;
    }
    const double perFrameMs = 1000 * cpu / decoded;
    const double scaledMs = perFrameMs * (320.0 * 240.0) / pixels;
    std::printf("vp6%s %s: %dx%d keyframe, %d decodes, %.3f ms CPU a frame; at 320x240 %.3f ms, "
                "%.2f %% of one core at 30 fps (keyframe-only upper bound; target < 15 %%)\n",
                k.codec == swf::VideoStreamDef::Vp6Alpha ? "a" : "", qPrintable(k.file), decoder.picture().width(),
                decoder.picture().height(), decoded, perFrameMs, scaledMs, 100 * scaledMs * 30 / 1000);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    double seconds = 2;
    QString corpus = QStringLiteral(NIMBREL_CORPUS_DIR);
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--seconds") && i + 1 < args.size())
            seconds = args[++i].toDouble();
        else
            corpus = args[i];
    }
    if (!QDir(corpus).exists()) {
        std::printf("vp6: skipped, no corpus at %s (its VP6 keyframes are what this measures)\n", qPrintable(corpus));
        return 0;
    }
    const std::vector<Keyframe> keyframes = vp6Keyframes(corpus);
    if (keyframes.empty()) {
        std::printf("vp6: skipped, no VP6 keyframe in the movies under %s\n", qPrintable(corpus));
        return 0;
    }
    for (const Keyframe& k : keyframes) measure(k, seconds);
    return 0;
}
