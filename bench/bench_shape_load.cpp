// Loading shapes with many edges through the same points: one triangle drawn
// thousands of times with its fill on the left, as hand-traced artwork often
// is. Prints how long the shape takes to parse and a movie holding it to load
// for 10k to 160k edges; the 80k-edge load should stay well under 100 ms
// (it took about 8 s when joining was quadratic).
// Usage: bench_shape_load [--repeat R]
#include "movie/MoviePlayer.h"
#include "movie/support/RepeatedPointShape.h"
#include "movie/support/SwfBuilder.h"
#include "movie/swf/ShapeParser.h"
#include <QElapsedTimer>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>

using namespace nimbrel::movie;
using test::Placement;
using test::SwfBuilder;

namespace {

constexpr double targetMs = 100;

QByteArray movieWith(const std::vector<uint8_t>& shapeBody) {
    SwfBuilder b;
    b.tag(2, QByteArray(reinterpret_cast<const char*>(shapeBody.data()), qsizetype(shapeBody.size())), true);
    b.placeObject2(Placement{1, 1});
    b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 2000, 0, 2000}, 24, 1);
}

template <typename F>
double bestMs(int repeats, F&& run) {
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        if (!run()) return -1;
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int repeatAt = args.indexOf(QStringLiteral("--repeat"));
    const int repeats = repeatAt > 0 && repeatAt + 1 < args.size() ? std::max(1, args[repeatAt + 1].toInt()) : 5;
    int status = 0;
    for (int edges : {10000, 20000, 40000, 80000, 160000}) {
        const auto body = nimbrel::movie::test::repeatedPointShapeBody(1, edges);
        const double parseMs = bestMs(repeats, [&] {
            QString error;
            return swf::parseShape(2, body.data(), body.size(), &error).has_value();
        });
        const QByteArray movie = movieWith(body);
        const double loadMs = bestMs(repeats, [&] {
            MoviePlayer player;
            player.setScriptEngineFactory(nullptr);
            return player.loadData(movie);
        });
        std::printf("edges=%d shape_kb=%.0f parse_ms=%.2f load_ms=%.2f\n", edges, body.size() / 1024.0, parseMs, loadMs);
        if (parseMs < 0 || loadMs < 0) {
            std::fprintf(stderr, "the %d-edge shape did not load\n", edges);
            status = 1;
        } else if (edges == 80000 && loadMs >= targetMs) {
            std::printf("SLOW: the 80000-edge load took %.1f ms, the target is under %.0f ms\n", loadMs, targetMs);
            status = 1;
        }
    }
    return status;
}
