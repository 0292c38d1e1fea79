// The time budget of scripts on a manual clock: shared by a whole run, cut
// for good when it runs out, the host's own time not charged, cancelling.
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

namespace {

// An interpreter whose clock moves only when scripts call spend(ms), or by
// `perRead` ms each time the interpreter reads it.
struct BudgetFixture : ScriptFixture {
    double now = 0;
    double perRead = 0;
    int stopsTold = 0;
    BudgetFixture()
    {
        vm->scriptTimeLimit = std::chrono::milliseconds(2000);
        vm->wallClockMs = [this] { return now += perRead; };
        vm->stopSink = [this](Interpreter::Stop) { ++stopsTold; };
        vm->addMethod(vm->global, "spend", [this](Interpreter& v, const Value&, const std::vector<Value>& args) {
            now += args.empty() ? 0 : v.toNumber(args[0]);
            return Value();
        });
    }
    // spend(ms); trace(text)
    static ActionAssembler spendThenTrace(double ms, const QString& text)
    {
        ActionAssembler a;
        a.pushNumber(ms).callFunction("spend", 1).op(0x17).traceString(text);
        return a;
    }
};

} // namespace

TEST(Avm1ScriptBudget, OneBudgetCoversEveryScriptOfARun)
{
    struct Case {
        bool inOneRun;
        QStringList traced;
        Interpreter::Stop stop;
    };
    const Case cases[] = {
        // Alone, each action list has a budget of its own: none runs out.
        {false, {"a", "b", "c", "d"}, Interpreter::Stop::None},
        // In one run the first three use 2400 ms of 2000: the fourth never starts.
        {true, {"a", "b", "c"}, Interpreter::Stop::RanTooLong},
    };
    for (const Case& c : cases) {
        BudgetFixture f;
        if (c.inOneRun)
            f.vm->beginScriptRun();
        QStringList traced;
        for (const char* name : {"a", "b", "c", "d"})
            traced += f.run(BudgetFixture::spendThenTrace(800, name));
        if (c.inOneRun)
            f.vm->endScriptRun();
        EXPECT_EQ(traced, c.traced) << c.inOneRun;
        EXPECT_EQ(f.vm->stopped(), c.stop) << c.inOneRun;
        EXPECT_EQ(f.vm->runCut(), c.stop != Interpreter::Stop::None) << c.inOneRun;
    }
}

TEST(Avm1ScriptBudget, EachRunStartsWithAFullBudget)
{
    BudgetFixture f;
    for (int frame = 0; frame < 3; ++frame) {
        f.vm->beginScriptRun();
        EXPECT_EQ(f.run(BudgetFixture::spendThenTrace(1500, "frame")), QStringList({"frame"}));
        EXPECT_EQ(f.run(BudgetFixture::spendThenTrace(400, "more")), QStringList({"more"}));
        f.vm->endScriptRun();
    }
    EXPECT_EQ(f.vm->stopped(), Interpreter::Stop::None);
}

TEST(Avm1ScriptBudget, ScriptsStayStoppedOnceTheBudgetRanOut)
{
    BudgetFixture f;
    f.perRead = 1;
    f.vm->beginScriptRun();
    EXPECT_EQ(f.run(ActionAssembler().traceString("loop").jump(-5)), QStringList({"loop"}));
    f.vm->endScriptRun();
    ASSERT_EQ(f.vm->stopped(), Interpreter::Stop::RanTooLong);
    EXPECT_GE(f.now, 2000);

    // Later runs, event handlers and timers: nothing of the movie runs any more.
    f.vm->beginScriptRun();
    EXPECT_EQ(f.run(ActionAssembler().traceString("alive")), QStringList());
    ActionAssembler body;
    body.traceString("handler");
    f.run(ActionAssembler().defineFunction("handler", {}, body));
    f.traces.clear();
    f.vm->callSafely(f.vm->global->get("handler"), Value(), {});
    f.vm->endScriptRun();
    EXPECT_EQ(f.traces, QStringList());
    EXPECT_EQ(f.stopsTold, 1);
}

TEST(Avm1ScriptBudget, TheHostIsCalledWhileALoopRunsAndItsTimeIsNotCharged)
{
    for (double hostMs : {0.0, 1000.0}) {
        BudgetFixture f;
        f.perRead = 1;
        int calls = 0;
        f.vm->stillRunning = [&] {
            ++calls;
            f.now += hostMs; // a dialog the user kept open, say
        };
        f.vm->beginScriptRun();
        f.run(ActionAssembler().jump(-5));
        f.vm->endScriptRun();
        EXPECT_EQ(f.vm->stopped(), Interpreter::Stop::RanTooLong) << hostMs;
        // About every 50 ms of the script's own 2000 ms, whatever the host spent.
        EXPECT_GE(calls, 30) << hostMs;
        EXPECT_LE(calls, 41) << hostMs;
    }
}

TEST(Avm1ScriptBudget, CancellingEndsTheRunningScriptOnly)
{
    BudgetFixture f;
    f.perRead = 1;
    f.vm->stillRunning = [&] { f.vm->cancelRun(); };
    f.vm->beginScriptRun();
    EXPECT_EQ(f.run(ActionAssembler().traceString("loop").jump(-5)), QStringList({"loop"}));
    // The rest of the cancelled run does not start...
    EXPECT_EQ(f.run(ActionAssembler().traceString("rest")), QStringList());
    f.vm->endScriptRun();
    EXPECT_TRUE(f.vm->runCut());
    EXPECT_LT(f.now, 200);
    // ...but the scripts are not stopped for good.
    EXPECT_EQ(f.vm->stopped(), Interpreter::Stop::None);
    f.vm->beginScriptRun();
    EXPECT_EQ(f.run(ActionAssembler().traceString("alive")), QStringList({"alive"}));
    f.vm->endScriptRun();
    EXPECT_FALSE(f.vm->runCut());
}

TEST(Avm1ScriptBudget, RunawayRecursionStopsTheScriptsForGood)
{
    BudgetFixture f;
    f.vm->maxCallDepth = 20;
    ActionAssembler body;
    body.pushInt(0).pushString("r").op(0x3D).op(0x17);
    ActionAssembler a;
    a.defineFunction("r", {}, body);
    a.pushInt(0).pushString("r").op(0x3D).op(0x17).traceString("not reached");
    EXPECT_EQ(f.run(a), QStringList());
    EXPECT_EQ(f.vm->stopped(), Interpreter::Stop::RunawayRecursion);
    EXPECT_EQ(f.stopsTold, 1);
    EXPECT_EQ(f.run(ActionAssembler().traceString("alive")), QStringList());
}

TEST(Avm1ScriptBudget, JoiningAnArrayOfMillionsOfHolesAnswersTheHostAndKeepsTheBudget)
{
    BudgetFixture f;
    f.perRead = 1;
    int calls = 0;
    f.vm->stillRunning = [&] { ++calls; };
    // new Array(4000000).join(); trace("done")
    ActionAssembler a;
    a.pushNumber(0).pushNumber(4000000).pushNumber(1).pushString("Array").op(0x40) // new Array(n)
        .pushString("join").op(0x52).op(0x17) // .join(), result dropped
        .traceString("done");
    f.vm->beginScriptRun();
    f.run(a);
    f.vm->endScriptRun();
    // One clock read per 256 elements: the 2000 ms budget ends the join long before its end.
    EXPECT_EQ(f.vm->stopped(), Interpreter::Stop::RanTooLong);
    EXPECT_GE(calls, 30);
    EXPECT_TRUE(f.traces.isEmpty());
}
