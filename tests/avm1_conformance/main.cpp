// Trace conformance over the corpus: each case without reference images runs
// headless for its frame count; its trace lines must equal output.txt.
// Usage: avm1_conformance [--verbose] [--diff] [--actual] [case-name-substring...]
#include "CorpusCase.h"
#include "TraceComparison.h"
#include "HeadlessRun.h"
#include "support/PassList.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>

// The same run serves the ActionScript 3 player cases: the build says which
// corpus, which of its folders and which pass list.
#ifndef NIMBREL_CORPUS_FOLDER
#define NIMBREL_CORPUS_FOLDER "corpus"
#define NIMBREL_CASE_PREFIX ""
#define NIMBREL_PASS_LIST "tests/avm1_conformance/pass_list.txt"
#endif

namespace {

struct RunResult {
    QString trace;
    bool loaded = false;
    qint64 ms = 0;
};

RunResult runCase(const CorpusCase& c)
{
    RunResult r;
    QElapsedTimer timer;
    timer.start();
    InputScript input;
    const QString inputPath = QDir(c.folder).filePath(QStringLiteral("input.json"));
    if (QFile::exists(inputPath)) {
        auto loaded = InputScript::load(inputPath);
        if (auto* script = std::get_if<InputScript>(&loaded))
            input = std::move(*script);
        else
            std::printf("%s: input not read: %s\n", qPrintable(c.name), qPrintable(std::get<QString>(loaded)));
    }
    for (const QString& problem : c.fonts.apply())
        std::fprintf(stderr, "%s: %s\n", qPrintable(c.name), qPrintable(problem));
    HeadlessResult h = runHeadless(QDir(c.folder).filePath(QStringLiteral("test.swf")), c.frames, input, c.viewport);
    r.loaded = h.loaded;
    if (!h.scriptsStopped.isEmpty())
        std::fprintf(stderr, "%s: %s\n", qPrintable(c.name), qPrintable(h.scriptsStopped));
    r.trace = h.trace;
    r.ms = timer.elapsed();
    return r;
}

QStringList caseNames(const QString& root)
{
    QStringList out;
    QFile index(QDir(root).filePath(QStringLiteral("index.tsv")));
    if (!index.open(QIODevice::ReadOnly))
        return out;
    const QList<QByteArray> lines = index.readAll().split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray name = lines[i].split('\t').value(0).trimmed();
        if (!name.isEmpty())
            out.append(QString::fromUtf8(name));
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const QString root = QStringLiteral(NIMBREL_SOURCE_DIR "/../shared/" NIMBREL_CORPUS_FOLDER);
    if (!QDir(root).exists()) {
        std::printf("corpus not found at %s: skipped\n", qPrintable(root));
        return 77;
    }
    bool verbose = false, diff = false, dumpActual = false;
    QStringList filters;
    for (const QString& a : app.arguments().mid(1)) {
        if (a == QLatin1String("--verbose"))
            verbose = true;
        else if (a == QLatin1String("--diff"))
            diff = true;
        else if (a == QLatin1String("--actual"))
            dumpActual = true;
        else
            filters.append(a);
    }
    const QString passListPath = QStringLiteral(NIMBREL_SOURCE_DIR "/" NIMBREL_PASS_LIST);
    const QString prefix = QStringLiteral(NIMBREL_CASE_PREFIX);
    PassList passes = PassList::load(passListPath);
    int passed = 0, failed = 0, extras = 0, knownFailing = 0;
    struct Slow { qint64 ms; QString name; };
    std::vector<Slow> times;
    for (const QString& name : caseNames(root)) {
        if (!name.startsWith(prefix))
            continue;
        if (!filters.isEmpty() && std::none_of(filters.begin(), filters.end(), [&](const QString& f) { return name.contains(f); }))
            continue;
        auto c = CorpusCase::load(root, name);
        if (!c || c->ignore || c->hasImages || !c->hasOutput)
            continue;
        QFile expectedFile(QDir(c->folder).filePath(QStringLiteral("output.txt")));
        expectedFile.open(QIODevice::ReadOnly);
        const QString expected = normaliseTrace(expectedFile.readAll());
        RunResult r = runCase(*c);
        times.push_back({r.ms, name});
        const bool ok = traceMatches(*c, normaliseTrace(r.trace.toUtf8()), expected);
        passes.record(name, ok);
        if (c->knownFailure) {
            ok ? ++extras : ++knownFailing;
        } else {
            ok ? ++passed : ++failed;
        }
        if (verbose || (!ok && diff))
            std::printf("%s %s%s (%lld ms)\n", ok ? "PASS" : "FAIL", qPrintable(name),
                        c->knownFailure ? " [known failure]" : "", (long long)r.ms);
        if (dumpActual)
            std::printf("%s\n", qPrintable(r.trace));
        if (!ok && diff) {
            QStringList a = r.trace.split(QLatin1Char('\n')), e = expected.split(QLatin1Char('\n'));
            for (int i = 0; i < std::max(a.size(), e.size()); ++i) {
                if (a.value(i) == e.value(i))
                    continue;
                std::printf("  line %d\n    expected: %s\n    actual:   %s\n", i + 1, qPrintable(e.value(i)),
                            qPrintable(a.value(i)));
                break;
            }
        }
    }
    std::sort(times.begin(), times.end(), [](const Slow& a, const Slow& b) { return a.ms > b.ms; });
    std::printf("%d passed, %d failed\n", passed, failed);
    std::printf("known failures: %d now pass, %d still fail\n", extras, knownFailing);
    for (size_t i = 0; i < times.size() && i < 5; ++i)
        std::printf("slowest: %s %lld ms\n", qPrintable(times[i].name), (long long)times[i].ms);
    for (const QString& name : passes.gained())
        std::printf("newly passing: %s\n", qPrintable(name));
    const QStringList lost = passes.lost();
    for (const QString& name : lost)
        std::printf("LOST (on the pass list): %s\n", qPrintable(name));
    if (PassList::rewriteRequested() && !passes.write(passListPath))
        std::printf("could not write %s\n", qPrintable(passListPath));
    if (!filters.isEmpty())
        return failed == 0 ? 0 : 1;
    return lost.isEmpty() ? 0 : 1;
}
