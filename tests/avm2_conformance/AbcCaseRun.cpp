#include "AbcCaseRun.h"
#include "movie/avm2/Runtime.h"
#include "movie/support/Avm2TraceHost.h"
#include "movie/swf/MovieParser.h"
#include <QFile>

using namespace nimbrel::movie;
using nimbrel::movie::test::Avm2TraceHost;

namespace {

// The player reports an error nothing caught in the trace log, as "Class: message".
void reportUncaught(avm2::Runtime& rt, Avm2TraceHost& host, const avm2::ScriptThrow& t) {
    try {
        host.trace(rt.toString(t.value));
    } catch (const avm2::ScriptThrow&) {
        host.trace(QStringLiteral("Error"));
    }
}

} // namespace

AbcCaseResult runAbcCase(const QString& swfPath, int scriptTimeoutMs) {
    AbcCaseResult result;
    QFile f(swfPath);
    if (!f.open(QIODevice::ReadOnly)) return result;
    auto movie = swf::MovieParser::parse(f.readAll());
    if (!movie) return result;
    result.loaded = true;
    const swf::Movie& m = *movie.value();
    Avm2TraceHost host(scriptTimeoutMs);
    avm2::Runtime rt(host);
    try {
        for (const swf::AbcBlock& block : m.abcBlocks) {
            rt.startBudget();
            try {
                rt.loadAndRun(block.bytes, block.lazyInitialize());
            } catch (const avm2::ScriptThrow& t) {
                reportUncaught(rt, host, t);
            }
        }
        for (const swf::SymbolClassLink& link : m.symbolClasses) {
            if (link.characterId != 0) continue;
            rt.startBudget();
            try {
                auto cls = rt.findClass(link.className);
                if (!cls) continue;
                avm2::ClassObject* sprite = rt.builtin(QStringLiteral("flash.display.Sprite"));
                if (!cls->isSubclassOf(sprite))
                    rt.raise(QStringLiteral("TypeError"), 2023, {cls->name + QLatin1Char('$')});
                rt.constructClass(*cls, {});
            } catch (const avm2::ScriptThrow& t) {
                reportUncaught(rt, host, t);
            }
        }
    } catch (const avm2::ScriptAbort& abort) {
        result.stopped = abort.reason;
    }
    for (const QString& line : host.lines)
        result.trace += line + QLatin1Char('\n');
    return result;
}
