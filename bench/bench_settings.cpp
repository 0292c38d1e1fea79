// Settings store: appending 10,000 pairs to one section, then reading them back
// through a fresh store (a full replay of the journal) and through the writer's own index.
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using nimbrel::platform::SettingsStore;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int kPairs = 10000;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_settings: no temporary folder\n");
        return 1;
    }
    const QString app_ = QStringLiteral("Nimbrel");
    const QString section = QStringLiteral("bflb");
    auto keyOf = [](int i) { return QString::number(i); };
    auto valueOf = [](int i) { return QStringLiteral("/home/user/影片/动画 %1.swf").arg(i); };

    SettingsStore writer(dir.path());
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kPairs; ++i) {
        if (!writer.setValue(app_, section, keyOf(i), valueOf(i))) {
            std::fprintf(stderr, "bench_settings: write failed: %s\n", qPrintable(writer.errorString()));
            return 1;
        }
    }
    const double appendMs = timer.nsecsElapsed() / 1e6;

    timer.restart();
    SettingsStore reader(dir.path());
    const auto pairs = reader.section(app_, section);
    const double readMs = timer.nsecsElapsed() / 1e6;

    timer.restart();
    const auto own = writer.section(app_, section);
    const double readOwnMs = timer.nsecsElapsed() / 1e6;

    bool inOrder = pairs.size() == kPairs && own == pairs;
    for (int i = 0; inOrder && i < kPairs; ++i)
        inOrder = pairs[i].first == keyOf(i) && pairs[i].second == valueOf(i);

    std::printf("append_%d_ms=%.1f read_ms=%.1f read_cached_ms=%.2f pairs=%lld order=%s\n", kPairs, appendMs, readMs,
                readOwnMs, static_cast<long long>(pairs.size()), inOrder ? "ok" : "WRONG");
    return inOrder ? 0 : 1;
}
