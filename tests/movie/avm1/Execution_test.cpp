// Functions, registers, exceptions, and the safety limits of running scripts.
#include "support/ScriptFixture.h"
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

TEST(Avm1Execution, VariablesAndConstantPool)
{
    ScriptFixture f(6);
    ActionAssembler a;
    a.constantPool({"x", "value"});
    a.pushConstant(0).pushConstant(1).setVariable();
    a.pushString("X").op(0x1C).trace(); // SWF 6 names ignore case
    a.pushString("/:x").op(0x1C).trace(); // slash path to the root's variable
    EXPECT_EQ(f.run(a), QStringList({"value", "value"}));
}

TEST(Avm1Execution, DefineFunctionArgumentsAndReturn)
{
    ScriptFixture f(8);
    ActionAssembler body;
    body.getVariable("a").getVariable("b").op(0x47).op(0x3E);
    ActionAssembler a;
    a.defineFunction("add", {"a", "b"}, body);
    a.pushInt(2).pushInt(40).pushInt(2).pushString("add").op(0x3D).trace();
    EXPECT_EQ(f.run(a), QStringList({"42"}));
}

TEST(Avm1Execution, DefineFunction2PreloadsRegisters)
{
    ScriptFixture f(8);
    ActionAssembler body;
    body.pushRegister(1).trace();                                        // this
    body.pushRegister(2).pushString("length").op(0x4E).trace();          // arguments.length
    body.pushRegister(3).trace();                                        // _root
    body.pushRegister(4).trace();                                        // first parameter
    body.getVariable("arguments").trace();                               // only in its register
    const uint16_t flags = 0x01 | 0x04 | 0x40; // preload this, arguments, _root
    ActionAssembler a;
    a.defineFunction2("f", 5, flags, {{4, "p"}}, body);
    a.pushString("arg").pushInt(1).pushString("f").op(0x3D).op(0x17);
    EXPECT_EQ(f.run(a), QStringList({"_level0", "1", "_level0", "arg", "undefined"}));

    // Suppressing wins over preloading: the register stays empty and `this` names the timeline.
    ActionAssembler suppressed;
    suppressed.pushRegister(1).trace().getVariable("this").trace();
    ActionAssembler b;
    b.defineFunction2("g", 2, 0x01 | 0x02, {}, suppressed);
    b.pushString("o").pushInt(0).pushString("Object").op(0x40).setVariable();      // o = new Object()
    b.getVariable("o").pushString("g").getVariable("g").op(0x4F);                  // o.g = g
    b.pushInt(0).getVariable("o").pushString("g").op(0x52).op(0x17);               // o.g()
    EXPECT_EQ(f.run(b), QStringList({"undefined", "_level0"}));
}

TEST(Avm1Execution, TryCatchFinallyAndUncaughtThrow)
{
    ScriptFixture f(7);
    ActionAssembler body, catcher, finally;
    body.traceString("try").pushString("boom").op(0x2A).traceString("not reached");
    catcher.getVariable("e").trace();
    finally.traceString("finally");
    ActionAssembler a;
    a.tryBlock(body, "e", &catcher, &finally);
    a.traceString("after");
    EXPECT_EQ(f.run(a), QStringList({"try", "boom", "finally", "after"}));

    ActionAssembler uncaught;
    uncaught.traceString("before").pushString("x").op(0x2A).traceString("never");
    EXPECT_EQ(f.run(uncaught), QStringList({"before"}));
    // The interpreter keeps working after an uncaught throw.
    EXPECT_EQ(f.run(ActionAssembler().traceString("next")), QStringList({"next"}));
}

TEST(Avm1Execution, ConstructorsPrototypesAndInstanceOf)
{
    ScriptFixture f(7);
    ActionAssembler ctor;
    ctor.pushString("this").op(0x1C).pushString("n").pushInt(5).op(0x4F);
    ActionAssembler a;
    a.defineFunction("Thing", {}, ctor);
    a.pushInt(0).pushString("Thing").op(0x40).storeRegister(1).op(0x17);
    a.pushRegister(1).pushString("n").op(0x4E).trace();
    a.pushRegister(1).getVariable("Thing").op(0x54).trace();
    a.pushRegister(1).getVariable("Array").op(0x54).trace();
    a.pushRegister(1).op(0x44).trace();
    EXPECT_EQ(f.run(a), QStringList({"5", "true", "false", "object"}));
}

TEST(Avm1Execution, EndlessLoopIsStoppedByTheTimeBudgetForGood)
{
    ScriptFixture f(8);
    f.vm->scriptTimeLimit = std::chrono::milliseconds(50);
    ActionAssembler a;
    a.traceString("start").jump(-5); // jumps onto itself
    EXPECT_EQ(f.run(a), QStringList({"start"}));
    EXPECT_EQ(f.vm->stopped(), Interpreter::Stop::RanTooLong);
    EXPECT_EQ(f.run(ActionAssembler().traceString("alive")), QStringList());
}

TEST(Avm1Execution, RecursionIsCutAtTheLimit)
{
    ScriptFixture f(8);
    f.vm->maxCallDepth = 10;
    ActionAssembler body;
    body.traceString("in").pushInt(0).pushString("r").op(0x3D).op(0x17);
    ActionAssembler a;
    a.defineFunction("r", {}, body);
    a.pushInt(0).pushString("r").op(0x3D).op(0x17).traceString("not reached");
    QStringList out = f.run(a);
    EXPECT_EQ(out.size(), 9); // the action list is level one
    EXPECT_FALSE(out.contains("not reached"));
    // As in the reference player, the movie's actions are disabled from then on.
    EXPECT_EQ(f.vm->stopped(), Interpreter::Stop::RunawayRecursion);
    EXPECT_EQ(f.run(ActionAssembler().traceString("alive")), QStringList());
}

TEST(Avm1Execution, NativeConversionThatCallsItselfIsCutWithoutOverflowingTheStack)
{
    // o.toString = String.prototype.toString; trace(o): String's toString converts
    // its own object again, through native code only, with no script level between.
    ScriptFixture f(6);
    ActionAssembler a;
    a.pushString("o").pushInt(0).pushString("Object").op(0x40).setVariable();
    a.getVariable("o").pushString("toString");
    a.getVariable("String").pushString("prototype").op(0x4E).pushString("toString").op(0x4E);
    a.op(0x4F);
    a.getVariable("o").trace().traceString("not reached");
    EXPECT_FALSE(f.run(a).contains("not reached"));
    EXPECT_EQ(f.vm->stopped(), Interpreter::Stop::RunawayRecursion);
}

TEST(Avm1Execution, RunawayAllocationIsStopped)
{
    ScriptFixture f(8);
    ActionAssembler a;
    // Loop: new Object() pushed forever (push 8 bytes, push 11, NewObject 1, Jump 5).
    a.pushInt(0).pushString("Object").op(0x40).jump(-25);
    f.run(a);
    EXPECT_GE(f.vm->heapSize(), Interpreter::kMaxObjectsPerRun);
    EXPECT_LT(f.vm->heapSize(), Interpreter::kMaxObjectsPerRun + 100000);
    f.vm->collectGarbage();
    EXPECT_EQ(f.run(ActionAssembler().traceString("alive")), QStringList({"alive"}));
}

TEST(Avm1Execution, GarbageCollectionKeepsReachableObjects)
{
    ScriptFixture f(8);
    ActionAssembler a;
    a.pushString("kept").pushInt(0).pushString("Object").op(0x40).setVariable();
    a.pushString("kept").op(0x1C).pushString("tag").pushString("still here").op(0x4F);
    for (int i = 0; i < 50; ++i)
        a.pushInt(0).pushString("Array").op(0x40).op(0x17);
    f.run(a);
    const size_t before = f.vm->heapSize();
    f.vm->collectGarbage();
    EXPECT_LT(f.vm->heapSize(), before - 40);
    EXPECT_EQ(f.run(ActionAssembler().getVariable("kept.tag").trace()), QStringList({"still here"}));
}

TEST(Avm1Execution, MalformedCodeEndsTheActionList)
{
    ScriptFixture f(8);
    // Files with damaged action records: each must end quietly.
    for (const char* name : {"avm1_truncated_push.bin", "avm1_function_past_end.bin", "avm1_try_past_end.bin",
                             "avm1_record_past_end.bin"}) {
        QFile file(QStringLiteral(NIMBREL_SOURCE_DIR "/tests/data/malformed/") + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = file.readAll();
        ActionAssembler a;
        a.raw(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        QStringList out = f.run(a);
        EXPECT_FALSE(out.contains("unreachable")) << name;
    }
    EXPECT_EQ(f.run(ActionAssembler().traceString("alive")), QStringList({"alive"}));
    // Random bytes: no crash, and the interpreter is usable afterwards unless
    // the junk happened to loop or recurse without end.
    QRandomGenerator rng(1234);
    int usable = 0;
    for (int round = 0; round < 300; ++round) {
        ScriptFixture g(8);
        g.vm->scriptTimeLimit = std::chrono::milliseconds(20);
        std::vector<uint8_t> junk(size_t(rng.bounded(1, 200)));
        for (auto& b : junk)
            b = uint8_t(rng.bounded(256));
        g.run(ActionAssembler().raw(junk));
        if (g.vm->stopped() != Interpreter::Stop::None)
            continue;
        EXPECT_EQ(g.run(ActionAssembler().traceString("alive")), QStringList({"alive"})) << round;
        ++usable;
    }
    EXPECT_GT(usable, 250);
}

TEST(Avm1Execution, SwfFiveFunctionsHaveNoClosure)
{
    ScriptFixture f(5);
    ActionAssembler inner;
    inner.getVariable("foo").trace();
    ActionAssembler outer; // function outer() { var foo = "local"; return function () { trace(foo); }; }
    outer.pushString("foo").pushString("local").op(0x3C);
    outer.defineFunction("", {}, inner).op(0x3E);
    ActionAssembler a;
    a.defineFunction("outer", {}, outer);
    a.pushString("foo").pushString("timeline").setVariable();
    a.pushInt(0).pushString("outer").op(0x3D).storeRegister(1).op(0x17);
    a.pushInt(0).pushRegister(1).pushUndefined().op(0x52).op(0x17);
    EXPECT_EQ(f.run(a), QStringList({"timeline"})); // the defining call's locals are gone
}

TEST(Avm1Execution, DefineLocalOnATimelineKeepsAWithObjectsOwnName)
{
    ScriptFixture f(7);
    Object* m = f.vm->newObject();
    m->set("b", Value(20.0));
    f.vm->root->set("m", Value(m));
    ActionAssembler body;
    body.pushString("b").pushInt(10).op(0x3C); // var b = 10, with m holding b
    body.pushString("c").pushInt(10).op(0x3C); // var c = 10, m without c
    ActionAssembler a;
    a.getVariable("m");
    a.record(0x94, {uint8_t(body.size()), uint8_t(body.size() >> 8)}).raw(body.bytes());
    f.run(a);
    EXPECT_EQ(m->get("b").n, 10);
    EXPECT_TRUE(m->get("c").isUndefined());
    EXPECT_EQ(f.global("c").n, 10);
    EXPECT_TRUE(f.global("b").isUndefined());
}

TEST(Avm1Execution, TraceEndsLinesAtCarriageReturns)
{
    ScriptFixture f(8);
    EXPECT_EQ(f.run(ActionAssembler().traceString("a\rb")), QStringList({"a\nb"}));
}

TEST(Avm1Execution, ThrowDropsWhatTheTryBlockPushed)
{
    ScriptFixture f(8);
    ActionAssembler body; // pushes one value, then throws another
    body.pushString("pushed in try").pushString("error").op(0x2A);
    ActionAssembler handler;
    ActionAssembler a;
    a.pushString("below");
    a.tryBlock(body, "e", &handler, nullptr);
    a.trace();
    ActionAssembler popping; // pops what was below, then throws
    popping.op(0x17).pushString("error").op(0x2A);
    ActionAssembler b;
    b.pushString("first").pushString("second");
    b.tryBlock(popping, "e", &handler, nullptr);
    b.trace();
    EXPECT_EQ(f.run(a), QStringList({"below"}));
    EXPECT_EQ(f.run(b), QStringList({"first"}));
}

TEST(Avm1Execution, AssignmentShadowsGlobalsOnTheTimeline)
{
    ScriptFixture f(7);
    f.vm->global->set("foo", Value("global"));
    ActionAssembler a;
    a.pushString("foo").pushString("root").setVariable();
    a.getVariable("foo").trace();
    EXPECT_EQ(f.run(a), QStringList({"root"}));
    EXPECT_EQ(f.vm->toString(f.vm->global->get("foo")), "global");
    EXPECT_EQ(f.vm->toString(f.global("foo")), "root");
}

TEST(Avm1Execution, TellTargetResolvesNamesOnItsClip)
{
    ScriptFixture f(7);
    Interpreter& vm = *f.vm;
    vm.callMethod(Value(vm.root), "createEmptyMovieClip", {Value("mc"), Value(1.0)});
    Object* mc = vm.root->get("mc").object();
    ASSERT_TRUE(mc);
    ActionAssembler a;
    a.pushString("foo").pushString("root").setVariable();
    a.record(0x8B, {'m', 'c', 0});                          // tellTarget("mc")
    a.getVariable("foo").trace();                           // not the root's
    a.pushString("blah").pushString("mc blah").setVariable();
    a.record(0x8B, {0});                                    // back to the root
    a.getVariable("blah").trace();
    EXPECT_EQ(f.run(a), QStringList({"undefined", "undefined"}));
    EXPECT_EQ(vm.toString(mc->get("blah")), "mc blah");
}

TEST(Avm1Execution, ForInListsPrototypeNamesBeforeOwnNames)
{
    ScriptFixture f(6);
    Interpreter& vm = *f.vm;
    Object* a = vm.newObject();
    for (const char* k : {"c", "b", "a", "d"})
        a->set(k, Value(1.0));
    Object* b = vm.newObject(a);
    b->set("c", Value(2.0));
    b->set("e", Value(2.0));
    vm.root->set("b", Value(b));
    ActionAssembler loop;
    loop.getVariable("b").op(0x55); // Enumerate2, then trace each name as the loop would pop it
    for (int i = 0; i < 6; ++i)
        loop.trace();
    EXPECT_EQ(f.run(loop), QStringList({"d", "a", "b", "e", "c", "null"}));
}

TEST(Avm1Execution, TraceReplacesHalfSurrogatePairs)
{
    ScriptFixture f(8);
    const QString pair = QString::fromUtf8("\xF0\x9F\x98\x8B");
    ActionAssembler a; // String.fromCharCode(0xD801) + "x": half a pair made by a script
    a.pushInt(0xD801).pushInt(1).pushString("String.fromCharCode").op(0x3D).pushString("x").op(0x47).trace();
    a.traceString(pair);
    EXPECT_EQ(f.run(a), QStringList({QString(QChar::ReplacementCharacter) + QLatin1Char('x'), pair}));
}

TEST(Avm1Execution, DeclaringANameTheTimelineInheritsKeepsIt)
{
    ScriptFixture f(7);
    Interpreter& vm = *f.vm;
    vm.movieClipProto->set("inherited", Value("from the prototype"));
    ActionAssembler a;
    a.pushString("inherited").op(0x41).getVariable("inherited").trace(); // var inherited;
    a.pushString("fresh").op(0x41).getVariable("fresh").trace();          // var fresh;
    EXPECT_EQ(f.run(a), QStringList({"from the prototype", "undefined"}));
    EXPECT_TRUE(f.vm->root->hasOwn("fresh"));
}

TEST(Avm1Execution, NewVariableInsideWithAClipLandsOnTheCodesTimeline)
{
    ScriptFixture f(7);
    Value mc = f.vm->callMethod(Value(f.vm->root), "createEmptyMovieClip", {Value("mc"), Value(1.0)});
    ASSERT_TRUE(mc.isObject());
    mc.o->set("foo", Value(1.0));
    ActionAssembler body;
    body.pushString("foo").pushInt(2).op(0x1D); // foo = 2: mc has foo
    body.pushString("baz").pushInt(3).op(0x1D); // baz = 3: nobody has baz
    ActionAssembler a;
    a.getVariable("mc");
    a.record(0x94, {uint8_t(body.size()), uint8_t(body.size() >> 8)}).raw(body.bytes());
    f.run(a);
    EXPECT_EQ(f.vm->toNumber(mc.o->get("foo")), 2);
    EXPECT_TRUE(mc.o->get("baz").isUndefined());
    EXPECT_EQ(f.vm->toNumber(f.global("baz")), 3);
}
