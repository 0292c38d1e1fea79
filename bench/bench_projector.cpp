// Converting 100 movies of 1 MB each into stand-alone programs, against
// `cat stub movie > out` for the same files in one shell, and how long the
// event loop stalls while a background conversion run goes on.
//
//   bench_projector [stub]    (default: the projector stub built with the project)
#include "library/ConversionRun.h"
#include "library/ProjectorWriter.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

using nimbrel::library::ConversionRun;
using nimbrel::library::ProjectorWriter;

namespace {
constexpr int Movies = 100;
constexpr int MovieBytes = 1 << 20;
constexpr int Rounds = 3;

double catRun(const QString& stub, const QString& in, const QString& out) {
    QElapsedTimer t;
    t.start();
    QProcess sh;
    sh.start("sh", {"-c", QString("for f in '%1'/*.swf; do cat '%2' \"$f\" > '%3'/$(basename \"$f\" .swf).exe; done")
                              .arg(in, stub, out)});
    sh.waitForFinished(-1);
    return t.nsecsElapsed() / 1e6;
}

double writerRun(const QString& stub, const QStringList& sources, const QString& out) {
    QElapsedTimer t;
    t.start();
    const auto result = ProjectorWriter(stub).run(sources, out + "/");
    const double ms = t.nsecsElapsed() / 1e6;
    if (!result.allWritten())
        std::fprintf(stderr, "writer failed: %s\n", qPrintable(result.entries.value(0).error + result.stubError));
    return ms;
}

// Longest gap between ticks of a 5 ms timer while a run converts everything.
double longestStall(const QString& stub, const QStringList& sources, const QString& out) {
    ConversionRun run(stub, sources, out + "/");
    QEventLoop loop;
    QObject::connect(&run, &ConversionRun::finished, &loop, &QEventLoop::quit);
    QElapsedTimer sinceTick;
    double worst = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        worst = std::max(worst, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });
    sinceTick.start();
    tick.start();
    run.start();
    loop.exec();
    return worst;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString stub = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(NIMBREL_PROJECTOR_STUB);
    if (!QFile::exists(stub)) {
        std::fprintf(stderr, "no projector stub at %s\n", qPrintable(stub));
        return 1;
    }
    QTemporaryDir dir;
    const QString in = dir.filePath("in"), viaCat = dir.filePath("cat"), viaWriter = dir.filePath("writer");
    for (const QString& d : {in, viaCat, viaWriter})
        QDir().mkpath(d);
    QStringList sources;
    QByteArray movie(MovieBytes, Qt::Uninitialized);
    for (int i = 0; i < Movies; ++i) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(movie.data()), MovieBytes / 4);
        movie[0] = 'C', movie[1] = 'W', movie[2] = 'S';
        sources << QString("%1/movie%2.swf").arg(in).arg(i, 3, 10, QLatin1Char('0'));
        QFile f(sources.last());
        f.open(QIODevice::WriteOnly);
        f.write(movie);
    }
    std::printf("%d movies of %d bytes, stub %lld bytes\n", Movies, MovieBytes, QFileInfo(stub).size());

    double bestCat = 1e18, bestWriter = 1e18;
    for (int r = 0; r < Rounds; ++r) {
        bestCat = std::min(bestCat, catRun(stub, in, viaCat));
        bestWriter = std::min(bestWriter, writerRun(stub, sources, viaWriter));
    }
    int same = 0;
    for (const QString& s : sources) {
        const QString name = QFileInfo(s).completeBaseName() + ".exe";
        QFile a(viaCat + "/" + name), b(viaWriter + "/" + name);
        a.open(QIODevice::ReadOnly);
        b.open(QIODevice::ReadOnly);
        const QByteArray wa = a.readAll(), wb = b.readAll();
        same += wb.size() == wa.size() + 8 && wb.startsWith(wa) ? 1 : 0;
    }
    std::printf("cat stub movie > out : %8.1f ms (best of %d)\n", bestCat, Rounds);
    std::printf("projector writer     : %8.1f ms (best of %d)\n", bestWriter, Rounds);
    std::printf("writer / cat         : %8.2f (target <= 1.20)\n", bestWriter / bestCat);
    std::printf("outputs = cat's bytes + trailer: %d of %d\n", same, Movies);
    std::printf("longest event-loop stall during a background run: %.1f ms\n",
                longestStall(stub, sources, viaWriter));
    return 0;
}
