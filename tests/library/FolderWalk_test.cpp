#include "SearchTree.h"
#include "library/FolderWalk.h"
#include "platform/AsOrdinaryUser.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

using nimbrel::library::FolderWalk;
using nimbrel::librarytest::SearchTree;

namespace {

struct WalkResult {
    QStringList found; // relative to the tree's root
    bool completed = false;
    FolderWalk::Counts counts;
};

WalkResult walk(const SearchTree& tree, const char* pattern, std::atomic<bool>& stop,
                std::function<void(const QStringList&)> afterEach = {}) {
    WalkResult r;
    FolderWalk w(pattern, stop);
    const std::string root = QFile::encodeName(tree.root()).toStdString();
    r.completed = w.run(root, [&](const std::string& path) {
        r.found.append(QFile::decodeName(QByteArray::fromStdString(path)).mid(tree.root().size()));
        if (afterEach)
            afterEach(r.found);
    });
    r.counts = w.counts();
    return r;
}

WalkResult walk(const SearchTree& tree, const char* pattern = "*.swf") {
    std::atomic<bool> stop{false};
    return walk(tree, pattern, stop);
}

QString folderOf(const QString& relative) {
    return relative.contains(u'/') ? relative.section(u'/', 0, -2) + u'/' : QString();
}

} // namespace

TEST(FolderWalk, PatternsMatchWithoutRegardToCase) {
    const struct { const char* pattern; const char* name; bool matches; } cases[] = {
        {"*.swf", "a.swf", true}, {"*.swf", "B.SWF", true}, {"*.swf", "c.Swf", true},
        {"*.swf", ".swf", true}, {"*.swf", "swf", false}, {"*.swf", "a.swf.txt", false},
        {"*.swf", "a.swfx", false}, {"*.BMP", "photo.bmp", true}, {"*.JPG", "photo.jpeg", false},
        {"a?c.*", "ABC.gif", true}, {"a?c.*", "ac.gif", false}, {"*", "", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FolderWalk::matches(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
}

TEST(FolderWalk, ListsAFoldersFilesBeforeEnteringItsSubfoldersAndSkipsDotFolders) {
    SearchTree tree;
    tree.file("top.swf").file("TOP2.SWF").file("notes.txt").file(".dotfile.swf")
        .file("a/a1.swf").file("a/deep/d1.swf").file("a/deep/d2.swf").file("a/a2.swf")
        .file("b/b1.swf").file("b/inner/i1.Swf").file("c/only.txt")
        .file(".hidden/h.swf").file("b/.cache/deep/x.swf").folder("empty")
        .folder("looks.swf"); // a folder with a matching name is not a result
    const WalkResult r = walk(tree);
    EXPECT_TRUE(r.completed);
    QStringList sorted = r.found;
    sorted.sort();
    EXPECT_EQ(sorted, (QStringList{".dotfile.swf", "TOP2.SWF", "a/a1.swf", "a/a2.swf", "a/deep/d1.swf",
                                   "a/deep/d2.swf", "b/b1.swf", "b/inner/i1.Swf", "top.swf"}));
    // Depth first: a folder's own files come before anything below it, and
    // everything below a folder comes in one run.
    for (int i = 0; i < r.found.size(); ++i) {
        for (int j = i + 1; j < r.found.size(); ++j) {
            const QString earlier = folderOf(r.found[i]), later = folderOf(r.found[j]);
            EXPECT_FALSE(earlier.startsWith(later) && earlier != later)
                << qPrintable(r.found[j]) << " after " << qPrintable(r.found[i]);
        }
    }
    for (const QString& sub : {QStringLiteral("a/"), QStringLiteral("a/deep/"), QStringLiteral("b/")}) {
        int first = -1, last = -1;
        for (int i = 0; i < r.found.size(); ++i)
            if (r.found[i].startsWith(sub)) {
                if (first < 0)
                    first = i;
                last = i;
            }
        for (int i = first; i <= last; ++i)
            EXPECT_TRUE(r.found[i].startsWith(sub)) << qPrintable(sub) << " interrupted by " << qPrintable(r.found[i]);
    }
    EXPECT_EQ(r.counts.foldersSkipped, 0u);
}

TEST(FolderWalk, UnreadableFoldersAreSkippedAndCounted) {
    SearchTree tree;
    tree.file("a.swf").file("locked/secret.swf").file("locked/sub/s.swf").file("open/o.swf");
    tree.locked("locked");
    tree.openToAll();
    nimbrel::settingstest::AsOrdinaryUser asUser;
    if (!asUser.inEffect())
        GTEST_SKIP() << "running as root and could not step down: permissions do not block reads";
    const WalkResult r = walk(tree);
    QStringList sorted = r.found;
    sorted.sort();
    EXPECT_EQ(sorted, (QStringList{"a.swf", "open/o.swf"}));
    EXPECT_EQ(r.counts.foldersSkipped, 1u);
    EXPECT_TRUE(r.completed);
}

TEST(FolderWalk, AStartFolderThatIsGoneIsCountedAsSkipped) {
    SearchTree tree;
    std::atomic<bool> stop{false};
    FolderWalk w("*.swf", stop);
    int found = 0;
    EXPECT_TRUE(w.run(QFile::encodeName(tree.path("missing")).toStdString(), [&](const std::string&) { ++found; }));
    EXPECT_EQ(found, 0);
    EXPECT_EQ(w.counts().foldersSkipped, 1u);
}

TEST(FolderWalk, LinkedFoldersAreWalkedOnceAndLoopsEnd) {
    SearchTree outside;
    outside.file("far/f.swf");
    SearchTree tree;
    tree.file("a.swf").file("sub/s.swf")
        .link("sub/back", "..")                     // loops to the root
        .link("sub/self", ".")                      // loops to itself
        .link("sub/deeper/up", "../..")             // a longer loop
        .link("far", outside.path("far"))           // a folder elsewhere is walked
        .link("twice", outside.path("far"))         // ... but only once
        .link("dangling", tree.path("nothing"));
    const WalkResult r = walk(tree);
    EXPECT_TRUE(r.completed);
    QStringList sorted = r.found;
    sorted.sort();
    ASSERT_EQ(sorted.size(), 3) << qPrintable(sorted.join(", "));
    // The outside folder is walked through whichever of its two links comes first.
    const QStringList viaFar{"a.swf", "far/f.swf", "sub/s.swf"}, viaTwice{"a.swf", "sub/s.swf", "twice/f.swf"};
    EXPECT_TRUE(sorted == viaFar || sorted == viaTwice) << qPrintable(sorted.join(", "));
    EXPECT_EQ(r.counts.foldersRevisited, 4u); // back, self, up, and the second link to far
}

TEST(FolderWalk, AStopEndsTheWalkAtTheNextFileOrFolder) {
    SearchTree tree;
    for (int i = 0; i < 5; ++i)
        tree.file(QStringLiteral("f%1.swf").arg(i)).file(QStringLiteral("sub%1/g.swf").arg(i));
    const struct { const char* why; int stopAfter; } cases[] = {
        {"among a folder's files", 2}, {"after the first subfolder", 6},
    };
    for (const auto& c : cases) {
        std::atomic<bool> stop{false};
        const WalkResult r = walk(tree, "*.swf", stop, [&](const QStringList& found) {
            if (found.size() == c.stopAfter)
                stop = true;
        });
        EXPECT_FALSE(r.completed) << c.why;
        EXPECT_EQ(r.found.size(), c.stopAfter) << c.why;
    }
    std::atomic<bool> stopped{true};
    const WalkResult none = walk(tree, "*.swf", stopped);
    EXPECT_FALSE(none.completed);
    EXPECT_TRUE(none.found.isEmpty());
}
