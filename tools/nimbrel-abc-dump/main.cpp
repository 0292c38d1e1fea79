// nimbrel-abc-dump MOVIE.swf: every DoABC block of the movie, disassembled.
#include "movie/avm2/AbcDisassembler.h"
#include "movie/avm2/AbcParser.h"
#include "movie/swf/MovieParser.h"
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

using namespace nimbrel::movie;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: nimbrel-abc-dump MOVIE.swf\n");
        return 2;
    }
    QFile file(args[1]);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(args[1]));
        return 1;
    }
    auto movie = swf::MovieParser::parse(file.readAll());
    if (!movie) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(args[1]), qPrintable(movie.error()));
        return 1;
    }
    int failures = 0;
    for (const swf::SymbolClassLink& link : movie.value()->symbolClasses)
        std::printf("symbol %u -> %s (frame %d)\n", link.characterId, qPrintable(link.className), link.frame + 1);
    for (const swf::AbcBlock& block : movie.value()->abcBlocks) {
        std::printf("== block \"%s\" frame %d flags %u, %lld bytes\n", qPrintable(block.name), block.frame + 1,
                    block.flags, static_cast<long long>(block.bytes.size()));
        auto abc = avm2::AbcParser::parse(block.bytes);
        if (!abc) {
            std::printf("%s\n", qPrintable(abc.error().message()));
            ++failures;
            continue;
        }
        std::fputs(avm2::AbcDisassembler(abc.value()).all().toUtf8().constData(), stdout);
    }
    return failures ? 1 : 0;
}
