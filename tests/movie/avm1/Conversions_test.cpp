// Value conversions and operators as each SWF version defines them.
#include "movie/avm1/ArrayObject.h"
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>
#include <cmath>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

TEST(Avm1Conversions, UndefinedAndNullPerVersion)
{
    ScriptFixture v6(6), v7(7);
    EXPECT_EQ(v6.vm->toString(Value()), "");
    EXPECT_EQ(v7.vm->toString(Value()), "undefined");
    EXPECT_EQ(v6.vm->toNumber(Value()), 0);
    EXPECT_TRUE(std::isnan(v7.vm->toNumber(Value())));
    EXPECT_TRUE(std::isnan(v7.vm->toNumber(Value::null())));
    EXPECT_EQ(v7.vm->toString(Value::null()), "null");
}

TEST(Avm1Conversions, StringsToBooleanPerVersion)
{
    ScriptFixture v6(6), v7(7);
    EXPECT_FALSE(v6.vm->toBoolean(Value("true")));
    EXPECT_TRUE(v6.vm->toBoolean(Value("2")));
    EXPECT_TRUE(v7.vm->toBoolean(Value("true")));
    EXPECT_FALSE(v7.vm->toBoolean(Value("")));
    EXPECT_FALSE(v7.vm->toBoolean(Value(std::nan(""))));
    EXPECT_TRUE(v7.vm->toBoolean(Value(v7.vm->newObject())));
}

TEST(Avm1Conversions, ObjectsUseValueOfAndToString)
{
    ScriptFixture f(8);
    Object* o = f.vm->newObject();
    EXPECT_EQ(f.vm->toString(Value(o)), "[object Object]");
    f.vm->addMethod(o, "valueOf", [](Interpreter&, const Value&, const std::vector<Value>&) { return Value(42.0); });
    EXPECT_EQ(f.vm->toNumber(Value(o)), 42);
    EXPECT_EQ(f.vm->toString(Value(static_cast<Object*>(f.vm->newArray({Value(1.0), Value("a")})))), "1,a");
    EXPECT_EQ(f.vm->typeOf(Value(f.vm->root)), "movieclip");
    EXPECT_EQ(f.vm->toString(Value(f.vm->root)), "_level0");
}

TEST(Avm1Conversions, CaseSensitivityFollowsVersion)
{
    ScriptFixture v6(6), v7(7);
    Object* a = v6.vm->newObject();
    a->set("Foo", Value(1.0));
    EXPECT_EQ(a->get("foo").n, 1);
    Object* b = v7.vm->newObject();
    b->set("Foo", Value(1.0));
    EXPECT_TRUE(b->get("foo").isUndefined());
}

TEST(Avm1Operators, AddCompareAndEquality)
{
    ScriptFixture f(8);
    ActionAssembler a;
    a.pushString("1").pushInt(2).op(0x47).trace();              // "1" + 2 -> "12"
    a.pushInt(1).pushBool(true).op(0x47).trace();               // 1 + true -> 2
    a.pushNumber(std::nan("")).pushInt(1).op(0x48).trace();     // NaN < 1 -> undefined
    a.pushInt(1).pushInt(2).op(0x48).trace();                   // 1 < 2 -> true
    a.pushNull().pushUndefined().op(0x49).trace();              // null == undefined
    a.pushInt(1).pushString("1").op(0x66).trace();              // 1 === "1"
    a.pushString("10").pushInt(10).op(0x49).trace();            // "10" == 10
    a.pushInt(-1).pushInt(0).op(0x65).trace();                  // -1 >>> 0
    a.pushInt(7).pushInt(3).op(0x3F).trace();                   // 7 % 3
    a.pushString("b").pushString("a").op(0x67).trace();         // "b" > "a"
    a.pushInt(5).pushInt(0).op(0x0D).trace();                   // 5 / 0
    EXPECT_EQ(f.run(a), QStringList({"12", "2", "undefined", "true", "true", "false", "true", "4294967295", "1",
                                     "true", "Infinity"}));
}

TEST(Avm1Operators, SwfFourOperatorsPushNumbers)
{
    ScriptFixture f(4);
    ActionAssembler a;
    a.pushInt(1).pushInt(2).op(0x0F).trace();       // Less -> 1
    a.pushString("a").pushString("a").op(0x13).trace(); // StringEquals -> 1
    a.pushInt(3).pushInt(0).op(0x0D).trace();       // divide by zero -> #ERROR#
    a.pushString("hello").pushInt(2).pushInt(3).op(0x15).trace(); // substring(2,3) -> ell
    EXPECT_EQ(f.run(a), QStringList({"1", "1", "#ERROR#", "ell"}));
}

TEST(Avm1Operators, EqualityOfNaNObjectsAndNothing)
{
    ScriptFixture f(7);
    Interpreter& vm = *f.vm;
    const double nan = std::nan("");
    EXPECT_TRUE(vm.looseEquals(Value(nan), Value(nan)));        // two numbers: NaN meets NaN
    EXPECT_TRUE(vm.strictEquals(Value(nan), Value(nan)));
    EXPECT_FALSE(vm.looseEquals(Value("NaN"), Value(nan)));     // a string stays unequal
    EXPECT_FALSE(vm.looseEquals(Value(), Value(nan)));
    Object* bare = vm.newObject(nullptr);                       // no valueOf anywhere
    EXPECT_TRUE(vm.looseEquals(Value(bare), Value()));
    EXPECT_TRUE(vm.looseEquals(Value::null(), Value(bare)));
    Object* plain = vm.newObject();                             // valueOf answers the object itself
    EXPECT_FALSE(vm.looseEquals(Value(plain), Value()));
    vm.addMethod(plain, "valueOf", [](Interpreter&, const Value&, const std::vector<Value>&) { return Value(std::nan("")); });
    EXPECT_TRUE(vm.looseEquals(Value(plain), Value(nan)));
    EXPECT_FALSE(vm.looseEquals(Value(vm.root), Value()));      // clips have no value to offer
}

TEST(Avm1Operators, ComparisonStopsAtAnOperandWithoutValue)
{
    ScriptFixture f(5);
    Interpreter& vm = *f.vm;
    int calls = 0;
    Object* counted = vm.newObject();
    vm.addMethod(counted, "valueOf", [&calls](Interpreter&, const Value&, const std::vector<Value>&) {
        ++calls;
        return Value(1.0);
    });
    Object* plain = vm.newObject();
    Value r = vm.lessThan(Value(plain), Value(counted));
    EXPECT_TRUE(r.isBoolean() && !r.b);
    EXPECT_EQ(calls, 0); // the right side is never asked
    r = vm.lessThan(Value(plain), Value(counted), false);
    EXPECT_EQ(calls, 1); // Greater converts its left operand, the second argument, first
    EXPECT_TRUE(vm.lessThan(Value(1.0), Value(vm.root)).isUndefined()); // a clip compares as NaN
}

TEST(Avm1Conversions, ToStringTakesOnlyAStringAnswer)
{
    ScriptFixture f(6);
    Interpreter& vm = *f.vm;
    Object* o = vm.newObject();
    vm.addMethod(o, "toString", [](Interpreter&, const Value&, const std::vector<Value>&) { return Value(2.0); });
    vm.addMethod(o, "valueOf", [](Interpreter&, const Value&, const std::vector<Value>&) { return Value("v"); });
    EXPECT_EQ(vm.toString(Value(o)), "[type Object]"); // neither the number nor valueOf
    EXPECT_EQ(vm.toNumber(Value(vm.newObject(nullptr))), 0); // no valueOf: undefined, 0 before SWF 7
    ScriptFixture v4(4);
    EXPECT_EQ(v4.vm->toNumber(Value("Infinity")), 0); // SWF 4 reads digits only
    EXPECT_EQ(v4.vm->toNumber(Value("-12abc")), -12);
}

TEST(Avm1Operators, OperandConversionOrder)
{
    ScriptFixture f(5);
    Interpreter& vm = *f.vm;
    auto logged = [&](const char* name, double value) {
        Object* o = vm.newObject();
        vm.addMethod(o, "valueOf", [name, value](Interpreter& vm, const Value&, const std::vector<Value>&) {
            vm.trace(QString::fromLatin1(name));
            return Value(value);
        });
        vm.root->set(QString::fromLatin1(name), Value(o));
    };
    logged("l", 1);
    logged("r", 2);
    ActionAssembler a;
    a.getVariable("l").getVariable("r").op(0x0A).trace();  // Add: left first
    a.getVariable("l").getVariable("r").op(0x0B).trace();  // Subtract: right first
    a.getVariable("l").getVariable("r").op(0x47).trace();  // Add2: right first
    EXPECT_EQ(f.run(a), QStringList({"l", "r", "3", "r", "l", "-1", "r", "l", "3"}));
}

TEST(Avm1Conversions, RemovedClipStandsForWhateverHoldsItsPath)
{
    // A reference whose clip object went dead finds the clip now at its path
    // (a reference to nothing at all names no clip: see Avm1ScriptEngine.ClipEventsAndRemovedClips).
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    MovieClipObject* first = vm.root->createEmptyClip("c", 1);
    ASSERT_NE(first, nullptr);
    const Value ref(static_cast<Object*>(first));
    auto* display = first->display();
    vm.forgetDisplay(display);
    ASSERT_TRUE(first->isRemoved());
    MovieClipObject* now = vm.scriptObjectFor(display);
    ASSERT_NE(now, first);
    now->set("v", Value(3.0));
    EXPECT_EQ(vm.toString(ref), "_level0.c");
    EXPECT_EQ(vm.toNumber(vm.getMember(ref, "v")), 3);
    vm.setMember(ref, "w", Value("via old reference"));
    EXPECT_EQ(vm.toString(now->get("w")), "via old reference");
}

TEST(Avm1Conversions, BoxedValuesAskTheirOwnValueOf)
{
    // A Date or Number whose valueOf a script replaced converts through the new method.
    ScriptFixture f(5);
    Interpreter& vm = *f.vm;
    Value n = vm.construct(vm.getMember(Value(vm.global), "Number"), {Value(5.0)});
    ASSERT_TRUE(n.isObject());
    EXPECT_EQ(vm.toNumber(n), 5);
    vm.addMethod(n.o, "valueOf", [](Interpreter&, const Value&, const std::vector<Value>&) { return Value(7.0); });
    EXPECT_EQ(vm.toNumber(n), 7);
    EXPECT_EQ(vm.toString(vm.add(n, Value(1.0))), "8");
}
