// Saving, replacing and reading a 5,000-entry playlist in a fresh settings store.
#include "library/PlaylistStore.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using nimbrel::library::PlaylistStore;
using nimbrel::platform::SettingsStore;

namespace {

template <typename F>
double timedMs(F&& f) {
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int kEntries = 5000;
    QStringList entries;
    for (int i = 0; i < kEntries; ++i)
        entries << QStringLiteral("/home/user/影片/收藏/第%1集 - a movie with a longish name.swf").arg(i);

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    SettingsStore store(dir.path());
    PlaylistStore playlist(store);

    PlaylistStore::SaveResult first, second, replaced;
    const double appendMs = timedMs([&] { first = playlist.append(entries); });
    const double appendAgainMs = timedMs([&] { second = playlist.append(entries); });
    const double replaceMs = timedMs([&] { replaced = playlist.replace(entries); });
    QStringList read;
    const double readMs = timedMs([&] { read = playlist.read(); });
    QStringList reopenedRead;
    const double reopenMs = timedMs([&] {
        SettingsStore reopened(dir.path());
        reopenedRead = PlaylistStore(reopened).read();
    });

    if (!first.ok() || !second.ok() || !replaced.ok() || read != entries || reopenedRead != entries) {
        std::fprintf(stderr, "playlist did not round-trip: %s\n", qPrintable(first.error + second.error + replaced.error));
        return 1;
    }
    std::printf("playlist of %d entries\n", kEntries);
    std::printf("  save (append, empty store)   %8.1f ms  (%.1f us/entry)\n", appendMs, appendMs * 1000 / kEntries);
    std::printf("  save again (append)          %8.1f ms\n", appendAgainMs);
    std::printf("  replace (delete + save)      %8.1f ms\n", replaceMs);
    std::printf("  read                         %8.1f ms\n", readMs);
    std::printf("  reopen store + read          %8.1f ms\n", reopenMs);
    return 0;
}
