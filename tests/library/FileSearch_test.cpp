#include "SearchTree.h"
#include "library/FileFacts.h"
#include "library/FileSearch.h"
#include "library/SearchResultsModel.h"

#include <QDateTime>
#include <QEventLoop>
#include <QTimer>
#include <QSet>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using nimbrel::library::FileFacts;
using nimbrel::library::FileSearch;
using nimbrel::library::SearchInputs;
using nimbrel::library::SearchResultsModel;
using nimbrel::librarytest::SearchTree;

namespace {

struct SearchRun {
    QStringList streamed; // every batch, in order
    QStringList kept;
    bool stopped = false;
    qulonglong skipped = 0;
};

// Runs one search to its end; `onFirstBatch` may act on the running search.
SearchRun runSearch(FileSearch& search, const SearchInputs& inputs,
                    const std::function<void()>& onFirstBatch = {}) {
    SearchRun run;
    QObject::connect(&search, &FileSearch::found, [&](const QStringList& batch) {
        const bool first = run.streamed.isEmpty();
        run.streamed += batch;
        if (first && onFirstBatch)
            onFirstBatch();
    });
    QEventLoop loop;
    bool ended = false;
    QObject::connect(&search, &FileSearch::finished, [&](const QStringList& kept, bool stopped, qulonglong skipped) {
        ended = true;
        run.kept = kept;
        run.stopped = stopped;
        run.skipped = skipped;
        loop.quit();
    });
    EXPECT_EQ(search.startOrStop(inputs), std::nullopt);
    EXPECT_TRUE(search.isRunning());
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(ended) << "the search did not end within 20 s";
    EXPECT_FALSE(search.isRunning());
    search.disconnect();
    return run;
}

QSet<QString> asSet(const QStringList& l) { return QSet<QString>(l.begin(), l.end()); }

} // namespace

TEST(FileFacts, ReadsLengthNameAndTheCurrentHourForANewFile) {
    SearchTree tree;
    const qint64 before = FileFacts::stampOf(QDateTime::currentDateTime());
    tree.file("sub/new.swf", 1536);
    const qint64 after = FileFacts::stampOf(QDateTime::currentDateTime());
    const std::optional<FileFacts> f = FileFacts::read(tree.path("sub/new.swf"));
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->name, "new.swf");
    EXPECT_EQ(f->size, 1536);
    EXPECT_TRUE(f->creationStamp == before || f->creationStamp == after) << f->creationStamp;
    EXPECT_FALSE(FileFacts::read(tree.path("sub/gone.swf")).has_value());
    EXPECT_FALSE(FileFacts::read(tree.path("sub")).has_value());
    EXPECT_EQ(FileFacts::stampOf(QDateTime(QDate(2007, 9, 9), QTime(15, 42))), 2007090915);
    EXPECT_EQ(FileFacts::stampOf(QDateTime(QDate(2006, 7, 8), QTime(0, 59))), 2006070800);
}

TEST(FileFacts, ReadingInsideAnOpenFolderGivesTheSameFacts) {
    SearchTree tree;
    tree.file("a/one.swf", 100).file("a/two.swf", 2000);
    const int folder = ::open(QFile::encodeName(tree.path("a")).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    for (const char* name : {"one.swf", "two.swf", "gone.swf"}) {
        const QString path = tree.path(QStringLiteral("a/") + name);
        const std::optional<FileFacts> direct = FileFacts::read(path), inside = FileFacts::readAt(folder, name, path);
        ASSERT_EQ(direct.has_value(), inside.has_value()) << name;
        if (direct) {
            EXPECT_EQ(inside->name, direct->name) << name;
            EXPECT_EQ(inside->size, direct->size) << name;
            EXPECT_EQ(inside->creationStamp, direct->creationStamp) << name;
        }
    }
    ::close(folder);
}

TEST(FileSearch, InputMessagesComeBackAndNothingStarts) {
    FileSearch search;
    int runningChanges = 0;
    QObject::connect(&search, &FileSearch::runningChanged, [&] { ++runningChanges; });
    SearchInputs in;
    EXPECT_EQ(search.startOrStop(in), SearchInputs::kNoFolder);
    in.startFolder = "/tmp/";
    in.dateValue = "200607080";
    EXPECT_EQ(search.startOrStop(in), SearchInputs::kDateIncomplete);
    EXPECT_FALSE(search.isRunning());
    EXPECT_EQ(runningChanges, 0);
}

TEST(FileSearch, StreamsEverythingFoundThenKeepsWhatPassesTheRules) {
    SearchTree tree;
    tree.file("a.swf", 600).file("small.swf", 512).file("sub/B.SWF", 2000).file("sub/c.txt", 5000)
        .file(".hid/h.swf", 5000).file("sub/xAbcx.swf", 3000).file("sub/xabcx.swf", 3000);
    FileSearch search;
    search.setBatching(2, 1000);
    SearchInputs in;
    in.startFolder = tree.root();
    const SearchRun all = runSearch(search, in);
    EXPECT_FALSE(all.stopped);
    EXPECT_EQ(all.skipped, 0u);
    EXPECT_EQ(asSet(all.streamed), asSet({tree.path("a.swf"), tree.path("small.swf"), tree.path("sub/B.SWF"),
                                         tree.path("sub/xAbcx.swf"), tree.path("sub/xabcx.swf")}));
    EXPECT_EQ(asSet(all.kept), asSet({tree.path("a.swf"), tree.path("sub/B.SWF"), tree.path("sub/xAbcx.swf"),
                                     tree.path("sub/xabcx.swf")}));

    in.nameText = "Abc";
    const SearchRun named = runSearch(search, in);
    EXPECT_EQ(named.kept, QStringList{tree.path("sub/xAbcx.swf")});
}

TEST(FileSearch, APictureSearchWalksOncePerTypeInOrder) {
    SearchTree tree;
    tree.file("z.gif").file("b.JPG").file("sub/a.bmp").file("sub/c.Gif").file("d.jpg").file("e.swf");
    FileSearch search;
    search.setBatching(1, 0);
    SearchInputs in;
    in.startFolder = tree.root();
    in.kind = SearchInputs::Kind::Pictures;
    const SearchRun run = runSearch(search, in);
    ASSERT_EQ(run.streamed.size(), 5);
    EXPECT_EQ(run.streamed[0], tree.path("sub/a.bmp"));
    EXPECT_EQ(asSet(run.streamed.mid(1, 2)), asSet({tree.path("b.JPG"), tree.path("d.jpg")}));
    EXPECT_EQ(asSet(run.streamed.mid(3, 2)), asSet({tree.path("z.gif"), tree.path("sub/c.Gif")}));
    EXPECT_EQ(run.kept.size(), 5);
}

TEST(FileSearch, ASecondClickStopsAndWhatWasFoundIsFilteredAndKept) {
    SearchTree tree;
    // Enough folders that the walk is still going when the first batch arrives.
    for (int i = 0; i < 1500; ++i)
        tree.file(QStringLiteral("d%1/m%1.swf").arg(i), i % 2 ? 600 : 100);
    FileSearch search;
    search.setBatching(1, 0);
    SearchInputs in;
    in.startFolder = tree.root();
    const SearchRun run = runSearch(search, in, [&] {
        // The stop goes through even with inputs that would not start a search.
        SearchInputs emptied;
        EXPECT_EQ(search.startOrStop(emptied), std::nullopt);
    });
    ASSERT_TRUE(run.stopped) << "the walk ended before the stop arrived";
    EXPECT_LT(run.streamed.size(), 1500);
    EXPECT_FALSE(run.streamed.isEmpty());
    // Kept: exactly the streamed files of 600 bytes (1 KB); 100 bytes is 0 KB.
    QStringList expected;
    for (const QString& p : run.streamed)
        if (QFileInfo(p).size() == 600)
            expected.append(p);
    EXPECT_EQ(run.kept, SearchResultsModel::sorted(expected));
}

TEST(FileSearch, UnreadableStartFolderEndsTheSearchWithItCounted) {
    SearchTree tree;
    FileSearch search;
    SearchInputs in;
    in.startFolder = tree.path("missing/");
    const SearchRun run = runSearch(search, in);
    EXPECT_FALSE(run.stopped);
    EXPECT_EQ(run.skipped, 1u);
    EXPECT_TRUE(run.kept.isEmpty());
}
