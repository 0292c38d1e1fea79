// Feeds deterministic mutations of the corpus movies (and of a few movies
// built here) through the reader, a few frames of playback and rendering.
// Built with AddressSanitizer and UBSan: any memory fault ends the run, and
// the input that caused it is written out to be kept as a regression case.
#include "Mutator.h"
#include "movie/MoviePlayer.h"
#include "movie/swf/Movie.h"
#include "movie/support/AbcBuilder.h"
#include "movie/support/SwfBuilder.h"
#include "movie/avm2/AbcParser.h"
#include "movie/avm2/Verifier.h"
#include "movie/swf/Container.h"
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#if defined(__has_include)
#if __has_include(<sanitizer/common_interface_defs.h>)
#include <sanitizer/common_interface_defs.h>
#define HAVE_SANITIZER_CALLBACK 1
#endif
#endif

using namespace nimbrel::movie;

namespace {

QByteArray current;
QString crashPath;

void saveCurrent() {
    if (crashPath.isEmpty()) return;
    QFile f(crashPath);
    if (f.open(QIODevice::WriteOnly)) f.write(current);
}

// Movies that exercise sprites, masks and goto even without the corpus.
std::vector<QByteArray> builtSeeds() {
    using test::Placement;
    using test::SwfBuilder;
    SwfBuilder inner;
    Placement sq{1, 1};
    inner.placeObject2(sq);
    inner.showFrame();
    inner.removeObject2(1);
    inner.showFrame();
    inner.end();
    SwfBuilder b;
    b.setBackground({1, 2, 3, 255});
    b.defineRect(1, {0, 400, 0, 400}, {255, 0, 0, 255});
    b.defineSprite(2, 2, inner);
    Placement mask{1, 1};
    mask.clipDepth = 3;
    b.placeObject2(mask);
    Placement clip{2, 2};
    clip.name = QStringLiteral("c");
    clip.blendMode = 3;
    b.placeObject3(clip);
    b.showFrame();
    b.removeObject2(1);
    b.frameLabel(QStringLiteral("two"));
    b.doAction(QByteArray("\x07\x00", 2));
    b.showFrame();
    b.end();
    // An ActionScript 3 movie: a block with a branch, a switch and a handler to damage.
    test::AbcBodySpec body;
    body.code = test::AbcCode()
                    .op(avm2::Op::GetLocal0).op(avm2::Op::PushScope)
                    .op(avm2::Op::PushByte).u8(0)
                    .op(avm2::Op::LookupSwitch).s24(8).u30(0).s24(8)
                    .op(avm2::Op::PushTrue).op(avm2::Op::IfFalse).s24(0)
                    .op(avm2::Op::ReturnVoid)
                    .op(avm2::Op::Throw)
                    .data();
    body.exceptions.push_back(avm2::ExceptionInfo{0, 4, 18, 0, 0});
    const QByteArray as3 = test::AbcBuilder::movie({test::AbcBuilder::withBody(body)}, {{0, QStringLiteral("Main")}});
    return {b.build(SwfBuilder::Container::Fws, 8, {0, 2000, 0, 2000}, 12, 2), as3};
}

std::vector<QByteArray> corpusSeeds(const QString& dir, int limit) {
    QStringList files;
    QDirIterator it(dir, {QStringLiteral("*.swf")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        if (QFileInfo(f).size() <= 48 * 1024) files << f;
    }
    files.sort();
    std::vector<QByteArray> seeds;
    const int step = std::max<int>(1, int(files.size()) / std::max(limit, 1));
    for (int i = 0; i < files.size() && int(seeds.size()) < limit; i += step) {
        QFile f(files[i]);
        if (!f.open(QIODevice::ReadOnly)) continue;
        auto unpacked = swf::Container::unpack(f.readAll());
        if (!unpacked) continue;
        // Mutate the uncompressed form so the damage reaches the tags, not zlib.
        QByteArray fws = QByteArray("FWS") + char(unpacked->version);
        const uint32_t len = uint32_t(unpacked->body.size() + 8);
        for (int k = 0; k < 4; ++k) fws.append(char(len >> (8 * k)));
        seeds.push_back(fws + unpacked->body);
    }
    return seeds;
}

bool withScripts = false;

void exercise(const QByteArray& bytes) {
    // Written before the run: UBSan ends the process without a callback.
    saveCurrent();
    MoviePlayer player;
    if (!withScripts) player.setScriptEngineFactory(nullptr);
    if (!player.loadData(bytes)) return;
    // Bitmaps decode when first drawn; decode them all so every decoder sees the damage.
    (void)player.parsedMovie()->bitmaps.decodeAll();
    for (const auto& block : player.parsedMovie()->abcBlocks) {
        auto abc = avm2::AbcParser::parse(block.bytes);
        if (!abc) continue;
        for (uint32_t b = 0; b < abc->bodies.size(); ++b) (void)avm2::Verifier::prepare(abc.value(), b);
    }
    (void)player.renderImage(QSize(64, 48));
    player.stepFrame();
    player.stepFrame();
    player.gotoFrame(player.totalFrames() - 1);
    player.gotoFrame(0);
    (void)player.renderImage(QSize(64, 48));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Damaged images make Qt's decoders chatty; only faults matter here.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    // movie_mutation_smoke [CORPUS_DIR] [MUTATIONS] [CRASH_FILE] [EXTRA_SEED_DIR] [--scripts]
    // The input being run is kept in CRASH_FILE, so after a fault it holds the culprit.
    // Scripts are off unless asked for: this run is about the reader and the renderer.
    withScripts = args.contains(QStringLiteral("--scripts"));
    const QString corpus = args.value(1);
    const int mutations = args.size() > 2 ? args[2].toInt() : 3000;
    crashPath = args.value(3);
#ifdef HAVE_SANITIZER_CALLBACK
    __sanitizer_set_death_callback(saveCurrent);
#endif
    std::vector<QByteArray> seeds = builtSeeds();
    if (!corpus.isEmpty() && QFileInfo::exists(corpus)) {
        auto more = corpusSeeds(corpus, 60);
        seeds.insert(seeds.end(), more.begin(), more.end());
    }
    if (args.size() > 4 && !args[4].startsWith(QLatin1String("--"))) {
        QDirIterator it(args[4], QDir::Files);
        while (it.hasNext()) {
            QFile f(it.next());
            if (f.open(QIODevice::ReadOnly)) seeds.push_back(f.readAll());
        }
    }
    // The seeds themselves first, whole.
    for (const QByteArray& s : seeds) {
        current = s;
        exercise(s);
    }
    Mutator mutator(20240601u);
    for (int i = 0; i < mutations; ++i) {
        current = mutator.mutate(seeds[size_t(i) % seeds.size()]);
        exercise(current);
    }
    std::printf("%zu seeds, %d mutations: no faults\n", seeds.size(), mutations);
    return 0;
}
