// The second virtual machine's interpreting speed: a script of ITERATIONS loop
// rounds (default ten million) with integer arithmetic and a property write
//     o = {}; s = 0; for (i = 0; i < N; i++) { s = (s + i * 3) & 0xFFFF; o.v = s; } trace(o.v)
// built as bytecode, run the best of three times. Prints the instructions the
// loop executes per second of wall time and checks the traced result.
// Usage: bench_avm2_loop [ITERATIONS]    target: instructions_per_s >= 20000000
#include "movie/avm2/Runtime.h"
#include "movie/support/AbcBuilder.h"
#include "movie/support/Avm2TraceHost.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace nimbrel::movie;
using avm2::Op;
using test::AbcBuilder;
using test::AbcCode;

namespace {

// Instructions per round: label; getlocal2 getlocal1 pushbyte multiply_i add_i
// pushint bitand setlocal2; getlocal3 getlocal2 setproperty; inclocal_i;
// getlocal1 pushint iflt.
constexpr long kInstructionsPerRound = 16;

QByteArray loopBlock(int32_t rounds) {
    AbcBuilder abc;
    const uint32_t v = abc.qname(QString(), QStringLiteral("v"));
    const uint32_t trace = abc.qname(QString(), QStringLiteral("trace"));
    const uint32_t mask = abc.intConst(0xFFFF);
    const uint32_t limit = abc.intConst(rounds);
    abc.method(avm2::MethodInfo{});
    abc.script(avm2::ScriptInfo{0, {}});

    AbcCode body;
    body.op(Op::Label)
        .op(Op::GetLocal2).op(Op::GetLocal1).op(Op::PushByte).u8(3).op(Op::MultiplyI).op(Op::AddI)
        .op(Op::PushInt).u30(mask).op(Op::BitAnd).op(Op::SetLocal2)
        .op(Op::GetLocal3).op(Op::GetLocal2).op(Op::SetProperty).u30(v)
        .op(Op::IncLocalI).u30(1);
    AbcCode condition;
    condition.op(Op::GetLocal1).op(Op::PushInt).u30(limit);
    const int32_t back = -int32_t(body.data().size() + condition.data().size() + 4);
    condition.op(Op::IfLt).s24(back);

    AbcCode code;
    code.op(Op::GetLocal0).op(Op::PushScope)
        .op(Op::NewObject).u30(0).op(Op::SetLocal3)
        .op(Op::PushByte).u8(0).op(Op::SetLocal1)
        .op(Op::PushByte).u8(0).op(Op::SetLocal2)
        .op(Op::Jump).s24(int32_t(body.data().size()));
    code.bytes(body.data()).bytes(condition.data());
    code.op(Op::FindPropStrict).u30(trace).op(Op::GetLocal3).op(Op::GetProperty).u30(v)
        .op(Op::CallPropVoid).u30(trace).u30(1)
        .op(Op::ReturnVoid);

    test::AbcBodySpec spec;
    spec.method = 0;
    spec.maxStack = 4;
    spec.localCount = 4;
    spec.initScopeDepth = 0;
    spec.maxScopeDepth = 1;
    spec.code = code.data();
    abc.body(spec);
    return abc.build();
}

int expectedResult(int32_t rounds) {
    int32_t s = 0;
    for (int32_t i = 0; i < rounds; ++i)
        s = int32_t((uint32_t(s) + uint32_t(i) * 3u) & 0xFFFFu);
    return s;
}

} // namespace

int main(int argc, char** argv) {
    const int32_t rounds = argc > 1 ? std::atoi(argv[1]) : 10'000'000;
    const QByteArray block = loopBlock(rounds);
    qint64 bestMs = -1;
    for (int run = 0; run < 3; ++run) {
        test::Avm2TraceHost host(600'000);
        avm2::Runtime rt(host);
        QElapsedTimer clock;
        clock.start();
        try {
            rt.loadAndRun(block);
        } catch (...) {
            std::fprintf(stderr, "the loop raised an error\n");
            return 1;
        }
        const qint64 ms = clock.elapsed();
        const QString want = QString::number(expectedResult(rounds));
        if (host.lines != QStringList{want}) {
            std::fprintf(stderr, "wrong result: %s (want %s)\n", qPrintable(host.lines.join(u',')), qPrintable(want));
            return 1;
        }
        bestMs = bestMs < 0 ? ms : std::min(bestMs, ms);
    }
    const double instructions = double(rounds) * kInstructionsPerRound;
    std::printf("rounds=%d instructions=%.0f ms=%lld instructions_per_s=%.0f\n", rounds, instructions,
                (long long)bestMs, bestMs > 0 ? instructions * 1000.0 / double(bestMs) : 0.0);
    return 0;
}
