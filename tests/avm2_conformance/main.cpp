// ActionScript 3 trace conformance: every from_avmplus case runs headless and
// its trace lines must equal output.txt. Passing cases are kept in
// pass_list.txt; losing one fails the run.
// Usage: avm2_conformance [--verbose] [--diff] [case-name-substring...]
#include "AbcCaseRun.h"
#include "CorpusCase.h"
#include "TraceComparison.h"
#include "support/PassList.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

QStringList caseNames(const QString& root) {
    QStringList out;
    QFile index(QDir(root).filePath(QStringLiteral("index.tsv")));
    if (!index.open(QIODevice::ReadOnly)) return out;
    const QList<QByteArray> lines = index.readAll().split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        const QString name = QString::fromUtf8(lines[i].split('\t').value(0).trimmed());
        if (name.startsWith(QLatin1String("from_avmplus/"))) out.append(name);
    }
    return out;
}

// "from_avmplus/ecma3/Array/x" counts under "from_avmplus/ecma3".
QString folderOf(const QString& name) { return name.section(QLatin1Char('/'), 0, 1); }

} // namespace

int main(int argc, char** argv) {
    // Date cases print local times: one zone everywhere keeps the pass list the same on every machine.
    qputenv("TZ", "UTC");
    tzset();
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const QString root = QStringLiteral(NIMBREL_SOURCE_DIR "/../shared/corpus-as3");
    if (!QDir(root).exists()) {
        std::printf("corpus not found at %s: skipped\n", qPrintable(root));
        return 77;
    }
    bool verbose = false, diff = false;
    QStringList filters;
    for (const QString& a : app.arguments().mid(1)) {
        if (a == QLatin1String("--verbose")) verbose = true;
        else if (a == QLatin1String("--diff")) diff = true;
        else filters.append(a);
    }
    const QString passListPath = QStringLiteral(NIMBREL_SOURCE_DIR "/tests/avm2_conformance/pass_list.txt");
    PassList passes = PassList::load(passListPath);
    struct Count { int passed = 0, total = 0; };
    QMap<QString, Count> perFolder;
    int passed = 0, total = 0;
    QElapsedTimer clock;
    clock.start();
    for (const QString& name : caseNames(root)) {
        if (!filters.isEmpty() && std::none_of(filters.begin(), filters.end(), [&](const QString& f) { return name.contains(f); }))
            continue;
        auto c = CorpusCase::load(root, name);
        if (!c || c->ignore || !c->hasOutput) continue;
        QFile expectedFile(QDir(c->folder).filePath(QStringLiteral("output.txt")));
        if (!expectedFile.open(QIODevice::ReadOnly)) continue;
        const QString expected = normaliseTrace(expectedFile.readAll());
        QElapsedTimer caseClock;
        caseClock.start();
        // Each entry into script code gets ten seconds: a runaway case stops instead of stalling the run.
        const AbcCaseResult r = runAbcCase(QDir(c->folder).filePath(QStringLiteral("test.swf")), 10000);
        const bool ok = r.loaded && traceMatches(*c, normaliseTrace(r.trace.toUtf8()), expected);
        passes.record(name, ok);
        Count& folder = perFolder[folderOf(name)];
        ++folder.total;
        ++total;
        if (ok) {
            ++folder.passed;
            ++passed;
        }
        if (verbose || (!ok && diff))
            std::printf("%s %s (%lld ms)%s%s\n", ok ? "PASS" : "FAIL", qPrintable(name), (long long)caseClock.elapsed(),
                        r.stopped.isEmpty() ? "" : " stopped: ", qPrintable(r.stopped));
        if (!ok && diff) {
            const QStringList a = r.trace.split(QLatin1Char('\n')), e = expected.split(QLatin1Char('\n'));
            for (int i = 0; i < std::max(a.size(), e.size()); ++i) {
                if (a.value(i) == e.value(i)) continue;
                std::printf("  line %d\n    expected: %s\n    actual:   %s\n", i + 1, qPrintable(e.value(i)), qPrintable(a.value(i)));
                break;
            }
        }
    }
    for (auto it = perFolder.constBegin(); it != perFolder.constEnd(); ++it)
        std::printf("%s: %d/%d\n", qPrintable(it.key()), it->passed, it->total);
    std::printf("total: %d/%d passed in %lld ms\n", passed, total, (long long)clock.elapsed());
    for (const QString& name : passes.gained()) std::printf("newly passing: %s\n", qPrintable(name));
    const QStringList lost = passes.lost();
    for (const QString& name : lost) std::printf("LOST: %s\n", qPrintable(name));
    if (PassList::rewriteRequested() && !passes.write(passListPath)) {
        std::printf("could not write %s\n", qPrintable(passListPath));
        return 1;
    }
    return lost.isEmpty() ? 0 : 1;
}
