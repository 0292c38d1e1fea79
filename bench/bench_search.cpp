// The file search against a large tree.
//   bench_search make DIR FOLDERS FILES   writes FILES empty files spread over FOLDERS
//                                         folders (two levels), every name matching "*.swf"
//   bench_search walk DIR                 times one complete search with rules that keep
//                                         every file; prints "search_ms=X sorted_ms=Y files=N":
//                                         X when the last found path reached the list (walk
//                                         and rule check done), Y when the sorted list was in
//   bench_search gui DIR                  runs the search into a shown list view and prints
//                                         "gui_stall_ms=W sort_ms=S files=N": the longest
//                                         the GUI thread went without handling a timer
//                                         tick, and the time to sort the results
#include "library/FileSearch.h"
#include "library/FolderWalk.h"
#include "library/SearchResultsModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QTimer>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using nimbrel::library::FileSearch;
using nimbrel::library::SearchInputs;
using nimbrel::library::SearchResultsModel;

namespace {

int makeTree(const std::string& dir, long folders, long files) {
    const long perGroup = 250; // folders per first-level folder
    const char* endings[] = {".swf", ".SWF", ".Swf"};
    long written = 0;
    for (long f = 0; f < folders; ++f) {
        const std::string group = dir + "/g" + std::to_string(f / perGroup);
        if (f % perGroup == 0)
            ::mkdir(group.c_str(), 0755);
        const std::string folder = group + "/f" + std::to_string(f);
        ::mkdir(folder.c_str(), 0755);
        const long here = files / folders + (f < files % folders ? 1 : 0);
        for (long i = 0; i < here; ++i, ++written) {
            const std::string name = folder + "/m" + std::to_string(i) + endings[written % 3];
            const int fd = ::open(name.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
            if (fd < 0) {
                std::perror(name.c_str());
                return 1;
            }
            ::close(fd);
        }
    }
    std::printf("made files=%ld folders=%ld\n", written, folders);
    return 0;
}

SearchInputs keepEverything(const QString& dir) {
    SearchInputs in;
    in.startFolder = dir.endsWith(u'/') ? dir : dir + u'/';
    in.sizeOperator = QStringLiteral("小于"); // empty files are 0 KB
    in.sizeValue = QStringLiteral("1");
    return in;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 5 && std::string(argv[1]) == "make")
        return makeTree(argv[2], std::stol(argv[3]), std::stol(argv[4]));
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_search make DIR FOLDERS FILES | walk DIR | gui DIR\n");
        return 2;
    }
    const std::string mode = argv[1];
    if (mode == "bare") {
        // The walk alone, without text conversion or the rule check, for comparison.
        std::atomic<bool> stop{false};
        nimbrel::library::FolderWalk walk("*.swf", stop);
        long n = 0;
        QElapsedTimer t;
        t.start();
        walk.run(argv[2], [&](const std::string&) { ++n; });
        std::printf("walk_ms=%lld files=%ld\n", (long long)t.elapsed(), n);
        return 0;
    }
    QApplication app(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[2]);
    FileSearch search;
    SearchResultsModel model;
    QListView view;
    QElapsedTimer clock;
    qint64 longestStall = 0, lastTick = 0, sortMs = 0, stallEndedAt = 0, finishedAt = 0, lastFoundAt = 0;
    qsizetype kept = 0;
    QStringList keptPaths;
    QTimer ticker;
    if (mode == "gui") {
        model.showIn(view); // as the results panel shows it
        view.resize(600, 800);
        view.show();
        // A list that has drawn text once, as the panel has before any search: the
        // fonts' first loading is not the search's stall.
        model.append({QStringLiteral("/warm/up.swf")});
        QObject::connect(&search, &FileSearch::found, &model, &SearchResultsModel::append);
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            if (now - lastTick > longestStall) {
                longestStall = now - lastTick;
                stallEndedAt = now;
            }
            lastTick = now;
        });
    }
    QObject::connect(&search, &FileSearch::found, [&] { lastFoundAt = clock.elapsed(); });
    QObject::connect(&search, &FileSearch::finished, [&](const QStringList& paths, bool, qulonglong) {
        kept = paths.size();
        finishedAt = clock.elapsed();
        if (mode == "gui") {
            model.replace(paths);
            keptPaths = paths;
            // The list must also draw the sorted result before the run counts as done.
            QTimer::singleShot(200, &app, &QApplication::quit);
        } else {
            app.quit();
        }
    });
    QTimer::singleShot(mode == "gui" ? 500 : 0, [&] {
        clock.start();
        lastTick = 0;
        longestStall = 0;
        if (mode == "gui") {
            model.clear();
            ticker.start();
        }
        if (auto message = search.startOrStop(keepEverything(dir))) {
            std::fprintf(stderr, "%s\n", qPrintable(*message));
            app.exit(1);
        }
    });
    const int rc = app.exec();
    const qint64 totalMs = clock.elapsed();
    if (rc != 0)
        return rc;
    if (mode == "gui") {
        // The search sorts on its worker thread; the same sort is timed here, after the run.
        QElapsedTimer sortClock;
        sortClock.start();
        const QStringList again = SearchResultsModel::sorted(keptPaths);
        sortMs = sortClock.elapsed();
        if (again.size() != keptPaths.size())
            return 1;
    }
    if (mode == "gui")
        std::printf("gui_stall_ms=%lld sort_ms=%lld files=%lld stall_ended_at_ms=%lld finished_at_ms=%lld\n",
                    (long long)longestStall, (long long)sortMs, (long long)kept, (long long)stallEndedAt,
                    (long long)finishedAt);
    else
        std::printf("search_ms=%lld sorted_ms=%lld files=%lld\n", (long long)lastFoundAt, (long long)totalMs,
                    (long long)kept);
    return 0;
}
