// libFuzzer entry: any bytes go through the reader; what loads plays two
// frames, jumps to its last frame and back, and is drawn small. Its bytecode
// blocks are read and every method body decoded and verified.
#include "movie/MoviePlayer.h"
#include "movie/avm2/AbcParser.h"
#include "movie/avm2/Verifier.h"
#include "movie/swf/Movie.h"
#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstddef>
#include <cstdint>

namespace {
QGuiApplication* app = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    nimbrel::movie::MoviePlayer player;
    // A looping script may take the player's whole budget per frame; an input
    // gets one second of scripts in all, so that the fuzzer sees loops as slow, not hung.
    QElapsedTimer spent;
    spent.start();
    player.setStillRunningHook([&player, &spent] {
        if (spent.elapsed() > 1000) player.cancelRunningScripts();
    });
    if (!player.loadData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)))) return 0;
    // Bitmaps decode when first drawn; decode them all so every decoder sees the damage.
    (void)player.parsedMovie()->bitmaps.decodeAll();
    for (const auto& block : player.parsedMovie()->abcBlocks) {
        auto abc = nimbrel::movie::avm2::AbcParser::parse(block.bytes);
        if (!abc) continue;
        for (uint32_t b = 0; b < abc->bodies.size(); ++b) (void)nimbrel::movie::avm2::Verifier::prepare(abc.value(), b);
    }
    (void)player.renderImage(QSize(48, 36));
    player.stepFrame();
    player.stepFrame();
    player.gotoFrame(player.totalFrames() - 1);
    player.gotoFrame(0);
    (void)player.renderImage(QSize(48, 36));
    return 0;
}
