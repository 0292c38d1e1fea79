// ActionScript 3 movies: the reader keeps their bytecode blocks and symbol
// links in order, and every block of the AS3 corpus reads and verifies.
#include "movie/avm2/AbcParser.h"
#include "movie/avm2/Verifier.h"
#include "movie/support/AbcBuilder.h"
#include "movie/support/SwfBuilder.h"
#include "movie/swf/MovieParser.h"
#include <QDirIterator>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::AbcBodySpec;
using nimbrel::movie::test::AbcBuilder;
using nimbrel::movie::test::AbcCode;

namespace {
QByteArray returnVoidBlock() {
    AbcBodySpec body;
    body.code = AbcCode().op(avm2::Op::ReturnVoid).data();
    return AbcBuilder::withBody(body);
}
} // namespace

TEST(AbcMovie, BlocksAndSymbolLinksReadIntoTheMovie) {
    const QByteArray block = returnVoidBlock();
    auto movie = swf::MovieParser::parse(AbcBuilder::movie({block, block}, {{0, QStringLiteral("Main")}, {3, QStringLiteral("pkg.Ball")}}));
    ASSERT_TRUE(movie);
    const swf::Movie& m = *movie.value();
    EXPECT_TRUE(m.actionScript3);
    ASSERT_EQ(m.abcBlocks.size(), 2u);
    EXPECT_EQ(m.abcBlocks[1].name, QStringLiteral("block1"));
    EXPECT_TRUE(m.abcBlocks[0].lazyInitialize());
    EXPECT_EQ(m.abcBlocks[0].bytes, block);
    EXPECT_EQ(m.abcBlocks[0].frame, 0);
    ASSERT_EQ(m.symbolClasses.size(), 2u);
    EXPECT_EQ(m.symbolClasses[1].characterId, 3);
    EXPECT_EQ(m.symbolClasses[1].className, QStringLiteral("pkg.Ball"));
    EXPECT_TRUE(avm2::AbcParser::parse(m.abcBlocks[0].bytes));
}

TEST(AbcMovie, PlainBlocksCountFramesAndDamagedTagsWarn) {
    const QByteArray block = returnVoidBlock();
    test::SwfBuilder swf;
    swf.showFrame();
    swf.tag(72, block);                          // the early form: bytecode only, on frame 2
    swf.tag(82, QByteArray("\x01\0", 2));        // flags cut short
    swf.tag(76, QByteArray("\x02\0\x01\0A\0\x02", 7)); // second link cut short
    swf.showFrame();
    swf.end();
    auto movie = swf::MovieParser::parse(swf.build(test::SwfBuilder::Container::Fws, 10, {0, 11000, 0, 8000}, 24, 2));
    ASSERT_TRUE(movie);
    const swf::Movie& m = *movie.value();
    ASSERT_EQ(m.abcBlocks.size(), 1u);
    EXPECT_EQ(m.abcBlocks[0].frame, 1);
    EXPECT_EQ(m.abcBlocks[0].bytes, block);
    ASSERT_EQ(m.symbolClasses.size(), 1u);
    EXPECT_EQ(m.symbolClasses[0].className, QStringLiteral("A"));
    EXPECT_EQ(m.warnings.size(), 2);
}

// Every block of every corpus movie reads, and every method body verifies, or
// the case's expected output shows the reference player failing the same way.
// The reference verifies a method only when it is first called, so a bad
// method nothing calls never shows there; those few are listed, not failed.
// Skipped without the corpus.
TEST(AbcMovie, CorpusBlocksReadAndVerify) {
    const QString root = QStringLiteral(NIMBREL_SOURCE_DIR "/../shared/corpus-as3");
    if (!QFile::exists(root)) GTEST_SKIP() << "no corpus at " << qPrintable(root);
    int movies = 0, blocks = 0, parsed = 0, bodies = 0, verified = 0;
    QStringList unexplainedBlocks, unexplainedBodies, explained;
    QDirIterator it(root, {QStringLiteral("test.swf")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) continue;
        auto movie = swf::MovieParser::parse(f.readAll());
        if (!movie) continue;
        ++movies;
        QFile expectedFile(QFileInfo(path).dir().filePath(QStringLiteral("output.txt")));
        const QString expected = expectedFile.open(QIODevice::ReadOnly) ? QString::fromUtf8(expectedFile.readAll()) : QString();
        const QString name = QFileInfo(path).dir().path().mid(root.size() + 1);
        auto note = [&](QStringList& unexplained, const QString& where, const avm2::Avm2Error& e) {
            const QString line = name + where + QStringLiteral(": ") + e.message();
            (expected.contains(QStringLiteral("#%1").arg(e.id)) ? explained : unexplained) << line;
        };
        for (const swf::AbcBlock& block : movie.value()->abcBlocks) {
            ++blocks;
            auto abc = avm2::AbcParser::parse(block.bytes);
            if (!abc) {
                note(unexplainedBlocks, QString(), abc.error());
                continue;
            }
            ++parsed;
            for (uint32_t b = 0; b < abc->bodies.size(); ++b) {
                ++bodies;
                auto prepared = avm2::Verifier::prepare(abc.value(), b);
                if (prepared) ++verified;
                else note(unexplainedBodies, QStringLiteral(" body %1").arg(b), prepared.error());
            }
        }
    }
    std::printf("corpus-as3: %d movies, %d blocks, %d read, %d method bodies, %d verify\n", movies, blocks, parsed,
                bodies, verified);
    for (const QString& line : explained) std::printf("  as the reference: %s\n", qPrintable(line));
    for (const QString& line : unexplainedBodies) std::printf("  not in the expected output: %s\n", qPrintable(line));
    EXPECT_GT(blocks, 0);
    EXPECT_TRUE(unexplainedBlocks.isEmpty()) << qPrintable(unexplainedBlocks.join(QLatin1Char('\n')));
    EXPECT_LE(unexplainedBodies.size() * 1000, bodies) << "more than one in a thousand methods fail to verify";
}
