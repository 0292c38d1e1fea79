// Loading a large movie: builds a movie of about 5 MB shaped like the games
// and cartoons people keep (photos as JPEG, artwork as lossless bitmaps,
// thousands of shapes, a long timeline with sprites, a sound), then loads it
// in a fresh process and prints how long loading took and the peak memory.
// Usage: bench_movie_load [--mb N] [--keep FILE]
//        bench_movie_load --load FILE   (the measuring child)
#include "movie/MoviePlayer.h"
#include "movie/support/SwfBuilder.h"
#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <zlib.h>

using namespace nimbrel::movie;
using test::SwfBuilder;

namespace {

// Peak resident memory of this process so far, in MB (VmHWM).
double peakMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

QByteArray u16(int v) {
    QByteArray b;
    b.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
    return b;
}
QByteArray u32(quint32 v) { return u16(int(v & 0xffff)) + u16(int(v >> 16)); }

// A photo-like picture: smooth gradients with grain, which JPEG keeps at
// realistic sizes (neither a flat colour nor pure noise).
QImage photo(int w, int h, QRandomGenerator& rng) {
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, QColor::fromHsv(int(rng.bounded(360)), 160, 220));
    g.setColorAt(1, QColor::fromHsv(int(rng.bounded(360)), 200, 90));
    p.fillRect(img.rect(), g);
    for (int i = 0; i < 60; ++i) {
        p.setBrush(QColor::fromHsv(int(rng.bounded(360)), 180, 200, 120));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(int(rng.bounded(w)), int(rng.bounded(h))), int(rng.bounded(80)) + 5, int(rng.bounded(80)) + 5);
    }
    p.end();
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int n = int(rng.bounded(17)) - 8;
            row[x] = qRgb(qBound(0, qRed(row[x]) + n, 255), qBound(0, qGreen(row[x]) + n, 255), qBound(0, qBlue(row[x]) + n, 255));
        }
    }
    return img;
}

QByteArray jpegBytes(const QImage& img) {
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPG", 85);
    return out;
}

// DefineBitsLossless2 body: 32-bit ARGB, zlib-compressed.
QByteArray losslessBody(int id, const QImage& art) {
    QByteArray argb;
    argb.reserve(art.width() * art.height() * 4);
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x) {
            const QRgb c = art.pixel(x, y);
            argb.append(char(qAlpha(c))).append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
        }
    uLongf len = compressBound(uLong(argb.size()));
    QByteArray packed(int(len), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef*>(packed.data()), &len, reinterpret_cast<const Bytef*>(argb.constData()),
              uLong(argb.size()), 6);
    packed.resize(int(len));
    return u16(id) + QByteArray(1, char(5)) + u16(art.width()) + u16(art.height()) + packed;
}

QByteArray buildMovie(qint64 targetBytes) {
    QRandomGenerator rng(20261207);
    SwfBuilder swf;
    swf.setBackground({255, 255, 255, 255});
    int nextId = 1;
    // Artwork with transparency.
    for (int i = 0; i < 12; ++i) {
        QImage art = photo(200, 200, rng).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < art.height(); ++y)
            for (int x = 0; x < art.width(); ++x)
                if ((x - 100) * (x - 100) + (y - 100) * (y - 100) > 95 * 95) art.setPixel(x, y, 0);
        swf.tag(36, losslessBody(nextId++, art), true);
    }
    // Thousands of shapes, as vector cartoons have.
    const int firstShape = nextId;
    for (int i = 0; i < 3000; ++i) {
        const int x = int(rng.bounded(10000)), y = int(rng.bounded(7000));
        swf.defineRect(uint16_t(nextId++), {x, x + 200 + int(rng.bounded(800)), y, y + 200 + int(rng.bounded(800))},
                       {uint8_t(rng.bounded(256)), uint8_t(rng.bounded(256)), uint8_t(rng.bounded(256)), 255});
    }
    // A sprite with its own long timeline.
    SwfBuilder inner;
    for (int f = 0; f < 120; ++f) {
        test::Placement p;
        p.depth = 1;
        p.characterId = uint16_t(firstShape + f);
        p.move = f > 0;
        inner.placeObject2(p);
        inner.showFrame();
    }
    inner.end();
    const int sprite = nextId++;
    swf.defineSprite(uint16_t(sprite), 120, inner);
    // A sound of about 1 MB (MP3, 44 kHz stereo).
    {
        QByteArray data(1 << 20, Qt::Uninitialized);
        for (char& c : data) c = char(rng.bounded(256));
        swf.tag(14, u16(nextId++) + QByteArray(1, char(0x2f)) + u32(44100 * 60) + u16(0) + data, true);
    }
    // Photos until the file reaches its size.
    while (swf.tags().size() < targetBytes) swf.tag(21, u16(nextId++) + jpegBytes(photo(640, 480, rng)), true);
    // The main timeline: 600 frames moving things about, with a frame script now and then.
    for (int f = 0; f < 600; ++f) {
        for (int d = 1; d <= 8; ++d) {
            test::Placement p;
            p.depth = uint16_t(d);
            p.move = f > 0;
            if (f == 0) p.characterId = uint16_t(d == 1 ? sprite : firstShape + d);
            p.matrix = nimbrel::movie::swf::Matrix{};
            p.matrix->tx = int((f * 15 + d * 300) % 11000);
            p.matrix->ty = int((d * 900) % 8000);
            swf.placeObject2(p);
        }
        if (f % 50 == 49) swf.doAction(QByteArray::fromHex("00")); // an empty frame script
        swf.showFrame();
    }
    swf.end();
    return swf.build(SwfBuilder::Container::Cws, 8, {0, 11000, 0, 8000}, 24, 600);
}

int loadChild(const QString& path) {
    const double before = peakMb();
    MoviePlayer player;
    QElapsedTimer t;
    t.start();
    player.setMovie(path);
    if (!player.isLoaded() && player.errorString().isEmpty()) {
        // Large files are parsed in the background: wait for the outcome.
        QEventLoop loop;
        QObject::connect(&player, &MoviePlayer::loaded, &loop, &QEventLoop::quit);
        QObject::connect(&player, &MoviePlayer::loadFailed, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const double ms = t.nsecsElapsed() / 1e6;
    if (!player.isLoaded()) {
        std::fprintf(stderr, "load failed: %s\n", qPrintable(player.errorString()));
        return 1;
    }
    // One frame drawn: what the user waits for before seeing anything.
    QElapsedTimer first;
    first.start();
    QImage img = player.renderImage(QSize(800, 600));
    const double firstMs = first.nsecsElapsed() / 1e6;
    std::printf("load_ms=%.1f first_frame_ms=%.1f peak_mb=%.1f baseline_mb=%.1f frames=%d\n", ms, firstMs, peakMb(),
                before, player.totalFrames());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int loadAt = args.indexOf(QStringLiteral("--load"));
    if (loadAt > 0 && loadAt + 1 < args.size()) return loadChild(args[loadAt + 1]);

    double mb = 5;
    const int mbAt = args.indexOf(QStringLiteral("--mb"));
    if (mbAt > 0 && mbAt + 1 < args.size()) mb = qBound(0.5, args[mbAt + 1].toDouble(), 64.0);
    const int keepAt = args.indexOf(QStringLiteral("--keep"));

    QTemporaryDir dir;
    const QString path = keepAt > 0 && keepAt + 1 < args.size() ? args[keepAt + 1] : dir.filePath(QStringLiteral("big.swf"));
    // The body is built before compression; photos barely compress, so the
    // file lands close to the size asked for.
    const QByteArray movie = buildMovie(qint64(mb * 1024 * 1024));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(movie) != movie.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    f.close();
    std::printf("file_mb=%.2f\n", movie.size() / 1048576.0);
    std::fflush(stdout);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--load"), path});
    child.waitForFinished(120000);
    return child.exitCode();
}
