// Action semantics that depend on the movie's version, the shared stack, `this`,
// tellTarget, `super` chains and prototype cycles.
#include "support/ScriptFixture.h"
#include "movie/avm1/ActionOp.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

TEST(Avm1ActionRunner, Swf4CodeGivesNumbersForTruthAndErrorForDivisionByZero)
{
    ScriptFixture f(4);
    ActionAssembler body;
    body.pushInt(1).pushInt(1).op(0x49).trace();            // Equals2 in a function: a real boolean
    body.pushInt(4).pushInt(0).op(0x0D).trace();            // Divide: Infinity
    ActionAssembler a;
    a.pushInt(1).pushInt(1).op(0x49).trace();               // Equals2: 1
    a.pushInt(1).pushInt(2).op(0x48).trace();               // Less2: 1
    a.pushInt(4).pushInt(0).op(0x0D).trace();               // #ERROR#
    a.pushInt(3).pushInt(0).op(0x43).op(0x0D).trace();      // 3 / {}: an object counts as 0
    a.pushInt(1).getVariable("NaN").op(0x0F).trace();       // no globals: NaN is undefined, so 0
    a.defineFunction("f", {}, body);
    a.callFunction("f", 0).op(0x17);
    EXPECT_EQ(f.run(a), QStringList({"1", "1", "#ERROR#", "#ERROR#", "0", "true", "Infinity"}));
}

TEST(Avm1ActionRunner, ActionListsShareOneStack)
{
    ScriptFixture f(10);
    EXPECT_EQ(f.run(ActionAssembler().op(0x26).pushString("left behind")), QStringList({"undefined"}));
    EXPECT_EQ(f.run(ActionAssembler().trace()), QStringList({"left behind"}));
    EXPECT_EQ(f.run(ActionAssembler().trace()), QStringList({"undefined"}));
}

TEST(Avm1ActionRunner, AssigningThisChangesWhatTheCodeSees)
{
    ScriptFixture f(8);
    ActionAssembler inner;
    inner.getVariable("this").trace();
    ActionAssembler a;
    a.defineFunction("g", {}, inner);
    a.pushString("this").pushString("test").setVariable();
    a.getVariable("this").trace();
    a.callFunction("g", 0).op(0x17); // a call gets its own `this`
    a.getVariable("this").op(0x44).trace();
    EXPECT_EQ(f.run(a), QStringList({"test", "_level0", "string"}));
}

TEST(Avm1ActionRunner, PrototypeCycleStopsTheScript)
{
    ScriptFixture f(6);
    ActionAssembler a;
    a.pushString("a").pushInt(0).op(0x43).setVariable();                          // a = {}
    a.getVariable("a").pushString("__proto__").getVariable("a").op(0x4F);         // a.__proto__ = a
    a.traceString("before");
    a.getVariable("a").pushString("foo").op(0x4E).trace();                        // a.foo
    a.traceString("not reached");
    EXPECT_EQ(f.run(a), QStringList({"before"}));
    EXPECT_EQ(f.run(ActionAssembler().traceString("next")), QStringList({"next"}));
}

TEST(Avm1ActionRunner, TellTargetOfNoClipReadsUndefinedProperties)
{
    ScriptFixture f(7);
    ActionAssembler a;
    a.pushString("nowhere").op(0x20);                                 // tellTarget("nowhere")
    a.pushString("").pushInt(13).op(0x22).trace();                    // getProperty("", _name)
    a.record(0x8B, {0});                                              // end tellTarget
    a.pushString("").pushInt(13).op(0x22).trace();
    a.pushNull().op(0x20);
    a.pushString("").pushInt(13).op(0x22).trace();
    EXPECT_EQ(f.run(a), QStringList({"undefined", "", "undefined"}));
}

TEST(Avm1ActionRunner, SuperCallsClimbOneConstructorPerLevel)
{
    // A() {}; B.prototype = new A(); C.prototype = new B(); each constructor calls super().
    ScriptFixture f(8);
    auto superCall = [](const QString& name) {
        ActionAssembler body;
        body.pushInt(0).getVariable("super").pushUndefined().op(0x52).op(0x17);
        return body.traceString(name);
    };
    ActionAssembler a;
    a.defineFunction("A", {}, ActionAssembler().traceString("A"));
    a.defineFunction("B", {}, superCall("B"));
    a.defineFunction("C", {}, superCall("C"));
    a.getVariable("B").pushString("prototype").pushInt(0).pushString("A").op(0x40).op(0x4F);
    a.getVariable("C").pushString("prototype").pushInt(0).pushString("B").op(0x40).op(0x4F);
    a.traceString("--");
    a.pushInt(0).pushString("C").op(0x40).op(0x17);
    EXPECT_EQ(f.run(a), QStringList({"A", "A", "B", "--", "A", "B", "C"}));

    // super.__proto__ is the prototype above the one super reads from.
    ActionAssembler probe;
    probe.getVariable("super").pushString("__proto__").op(0x4E).pushUndefined().op(0x66).trace();
    ActionAssembler b;
    b.defineFunction("Base", {}, probe);
    b.pushInt(0).pushString("Base").op(0x40).op(0x17);
    EXPECT_EQ(f.run(b), QStringList({"true"}));
}

TEST(Avm1ActionRunner, CallAndGotoNameTheirFrameByText)
{
    // An object frame is converted with toString, never valueOf.
    ScriptFixture f(8);
    ActionAssembler toStr, valOf;
    toStr.traceString("toString").pushString("x").op(0x3E);
    valOf.traceString("valueOf").pushInt(1).op(0x3E);
    ActionAssembler a;
    a.pushString("o").pushInt(0).op(0x43).setVariable();
    a.getVariable("o").pushString("toString").defineFunction("", {}, toStr).op(0x4F);
    a.getVariable("o").pushString("valueOf").defineFunction("", {}, valOf).op(0x4F);
    a.getVariable("o").record(0x9E, {});                  // Call
    a.getVariable("o").record(0x9F, {0});                 // GotoFrame2
    EXPECT_EQ(f.run(a), QStringList({"toString", "toString"}));
}

TEST(Avm1ActionRunner, DeclarationsWithPathsOnTimelinesGoWhereThePathPoints)
{
    ScriptFixture f(8);
    ActionAssembler body;
    body.pushString("_root.inner").pushString("local").op(0x3C); // in a function a path is only a name
    ActionAssembler a;
    a.pushString("/:abc").pushString("ABC").op(0x3C);                              // var /:abc = "ABC"
    a.getVariable("_root.abc").trace();
    a.getVariable("_root").pushString("o").pushInt(0).op(0x43).op(0x4F);          // _root.o = {}
    a.pushString("/o/:def").pushString("DEF").op(0x3C);                            // through a plain object
    a.getVariable("_root.o.def").trace();
    a.pushString("/:decl").op(0x41);                                               // var /:decl;
    a.pushString("decl").pushInt(1).getVariable("_root").pushString("hasOwnProperty").op(0x52).trace();
    a.defineFunction("f", {}, body);
    a.callFunction("f", 0).op(0x17);
    a.getVariable("_root.inner").trace();
    EXPECT_EQ(f.run(a), QStringList({"ABC", "DEF", "true", "undefined"}));
}

TEST(Avm1ActionRunner, SuperCalledByNameRunsTheSuperConstructor)
{
    ScriptFixture f(6);
    ActionAssembler base, derived;
    base.traceString("base");
    derived.pushInt(0).pushString("super").op(0x3D).op(0x17).traceString("derived"); // super() as CallFunction
    ActionAssembler a;
    a.defineFunction("Base", {}, base);
    a.defineFunction("Derived", {}, derived);
    a.getVariable("Derived").pushString("prototype").pushInt(0).pushString("Base").op(0x40).op(0x4F);
    a.pushInt(0).pushString("Derived").op(0x40).op(0x17);
    EXPECT_EQ(f.run(a), QStringList({"base", "base", "derived"}));
}

// Codes the player does not know are passed over by their length, payload and
// all; so are the waits for frames, which are always loaded here.
TEST(Avm1ActionRunner, UnknownAndWaitActionsAreSkippedByTheirLength)
{
    ScriptFixture f(8);
    ActionAssembler a;
    a.traceString("start");
    a.op(0x01);                                                              // unknown, one byte
    a.record(0xA0, {uint8_t(ActionOp::Trace), uint8_t(ActionOp::Trace)});   // unknown, payload looks like traces
    a.record(uint8_t(ActionOp::WaitForFrame), {1, 0, 5});                    // frame 1, else skip 5 actions
    a.pushInt(1).record(uint8_t(ActionOp::WaitForFrame2), {5});              // takes only its frame off the stack
    a.traceString("end");
    a.trace();                                                               // nothing left behind
    EXPECT_EQ(f.run(a), QStringList({"start", "end", "undefined"}));
}
