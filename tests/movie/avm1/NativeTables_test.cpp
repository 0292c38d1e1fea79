// Numbered built-ins: ASnative, ASSetNative, ASSetNativeAccessor and the Math table.
#include "movie/avm1/NativeTables.h"
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>
#include <cmath>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

namespace {

Value callGlobalFunction(Interpreter& vm, const char* name, const std::vector<Value>& args)
{
    return vm.call(vm.global->get(QLatin1String(name)), Value(), args);
}

// An object whose valueOf gives `n` and notes the call in `log`.
Value numberObject(Interpreter& vm, double n, QStringList& log)
{
    Object* o = vm.newObject();
    o->define("valueOf", Value(static_cast<Object*>(vm.newFunction([n, &log](Interpreter&, const Value&, const std::vector<Value>&) {
        log.append(QString::number(n));
        return Value(n);
    }))));
    return Value(o);
}

} // namespace

TEST(Avm1NativeTables, AsnativeNeedsExactlyTwoArgumentsAndAKnownTable)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    EXPECT_TRUE(callGlobalFunction(vm, "ASnative", {Value(100)}).isUndefined());
    EXPECT_TRUE(callGlobalFunction(vm, "ASnative", {Value(100), Value(0), Value(0)}).isUndefined());
    EXPECT_TRUE(callGlobalFunction(vm, "ASnative", {Value("onehundred"), Value(0)}).isUndefined());
    const Value escape = callGlobalFunction(vm, "ASnative", {Value("100"), Value("0")});
    ASSERT_TRUE(escape.isObject() && escape.o->isFunction());
    EXPECT_EQ(vm.toString(vm.call(escape, Value(), {Value("&")})), "%26");
    const Value unescape = callGlobalFunction(vm, "ASnative", {Value(100), Value(1)});
    EXPECT_EQ(vm.toString(vm.call(unescape, Value(), {Value("%26")})), "&");
    // Every request gives a new function object.
    const Value again = callGlobalFunction(vm, "ASnative", {Value(100), Value(0)});
    EXPECT_NE(again.o, escape.o);
}

TEST(Avm1NativeTables, NativesKeepWorkingAfterScriptsReplaceTheNamedBuiltins)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    vm.global->set("escape", Value(5));
    const Value escape = callGlobalFunction(vm, "ASnative", {Value(100), Value(0)});
    EXPECT_EQ(vm.toString(vm.call(escape, Value(), {Value(" ")})), "%20");
    const Value trace = callGlobalFunction(vm, "ASnative", {Value(100), Value(4)});
    vm.call(trace, Value(), {Value("traced")});
    EXPECT_EQ(f.traces, QStringList{"traced"});
}

TEST(Avm1NativeTables, MathTableConvertsTheFirstTwoArgumentsInOrder)
{
    ScriptFixture f(6);
    Interpreter& vm = *f.vm;
    QStringList log;
    const Value abs = vm.getMember(vm.global->get("Math"), "abs");
    const Value r = vm.call(abs, Value(), {numberObject(vm, -3, log), numberObject(vm, 2, log), numberObject(vm, 1, log)});
    EXPECT_EQ(r.n, 3);
    EXPECT_EQ(log, (QStringList{"-3", "2"}));

    log.clear();
    const Value unknown = callGlobalFunction(vm, "ASnative", {Value(200), Value(50)});
    EXPECT_TRUE(std::isnan(vm.call(unknown, Value(), {numberObject(vm, 7, log), numberObject(vm, 8, log)}).n));
    EXPECT_EQ(log, (QStringList{"7", "8"}));
    EXPECT_TRUE(std::isnan(vm.call(unknown, Value(), {}).n));
}

TEST(Avm1NativeTables, MathEdgeCasesOfMissingArguments)
{
    ScriptFixture f(6);
    Interpreter& vm = *f.vm;
    EXPECT_TRUE(std::isnan(callMathNative(vm, 0, {}).n));                  // abs()
    EXPECT_EQ(callMathNative(vm, 0, {Value::null()}).n, 0);               // abs(null) in SWF 6
    EXPECT_EQ(callMathNative(vm, 1, {}).n, INFINITY);                      // min()
    EXPECT_EQ(callMathNative(vm, 2, {}).n, -INFINITY);                     // max()
    EXPECT_TRUE(std::isnan(callMathNative(vm, 1, {Value(1)}).n));         // min(1)
    EXPECT_EQ(callMathNative(vm, 17, {Value(true)}).n, 1);                // pow(true): 1 to any power
    EXPECT_TRUE(std::isnan(callMathNative(vm, 17, {Value(false)}).n));    // pow(false)
    EXPECT_TRUE(std::isnan(callMathNative(vm, 5, {Value(2)}).n));         // atan2(2)
    EXPECT_EQ(callMathNative(vm, 10, {Value(-12.5)}).n, -12);             // round halves up
    EXPECT_EQ(callMathNative(vm, 18, {Value("x")}).b, true);              // isNaN
    EXPECT_EQ(callMathNative(vm, 19, {Value(1)}).b, true);                // isFinite
}

TEST(Avm1NativeTables, AssetnativeNumbersNamesFromTheStartAndSkipsEmptyOnes)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Object* target = vm.newObject();
    QStringList log;
    // Math 0 is abs, 2 is max: the empty entry still takes index 1.
    callGlobalFunction(vm, "ASSetNative", {Value(target), Value(200), Value("first,,third"), numberObject(vm, 0, log)});
    EXPECT_EQ(log, QStringList{"0"});
    EXPECT_EQ(vm.callMethod(Value(target), "first", {Value(-4)}).n, 4);
    EXPECT_EQ(vm.callMethod(Value(target), "third", {Value(1), Value(9)}).n, 9);
    EXPECT_FALSE(target->hasOwn(""));
}

TEST(Avm1NativeTables, VersionGatedNamesKeepWhatTheyWouldInherit)
{
    ScriptFixture f(7);
    Interpreter& vm = *f.vm;
    Object* base = vm.newObject();
    base->set("late", Value("from base"));
    Object* target = vm.newObject(base);
    target->set("gone", Value("own"));
    callGlobalFunction(vm, "ASSetNative", {Value(target), Value(200), Value("8late,9gone,7now,1plain,11odd")});
    EXPECT_EQ(vm.toString(target->get("late")), "from base");
    EXPECT_TRUE(target->hasOwn("late"));
    EXPECT_TRUE(target->get("gone").isUndefined());
    EXPECT_TRUE(target->get("now").isObject());
    EXPECT_TRUE(target->get("plain").isObject());
    EXPECT_TRUE(target->get("1odd").isObject());
}

TEST(Avm1NativeTables, AccessorsTakeAGetterAndASetterPerName)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Object* target = vm.newObject();
    // Stage's numbered accessors: 1/2 scaleMode, 3/4 align.
    callGlobalFunction(vm, "ASSetNativeAccessor", {Value(target), Value(666), Value("mode,place"), Value(1)});
    Property* mode = target->findOwn("mode");
    ASSERT_TRUE(mode && mode->isAccessor());
    target->set("mode", Value("noScale"));
    EXPECT_EQ(vm.toString(target->get("mode")), "noScale");
    EXPECT_EQ(vm.toString(vm.getMember(vm.global->get("Stage"), "scaleMode")), "noScale");
    target->set("place", Value("TL"));
    EXPECT_EQ(vm.toString(vm.getMember(vm.global->get("Stage"), "align")), "TL");
}

TEST(Avm1NativeTables, NamePrefixesAreVersionsOnlyForOneSixToNineAndTen)
{
    int v = -1;
    EXPECT_EQ(splitNativeName("8getPixel", v), "getPixel");
    EXPECT_EQ(v, 8);
    EXPECT_EQ(splitNativeName("10j", v), "j");
    EXPECT_EQ(v, 10);
    EXPECT_EQ(splitNativeName("11k", v), "1k");
    EXPECT_EQ(v, 0);
    EXPECT_EQ(splitNativeName("2b", v), "2b");
    EXPECT_EQ(v, 0);
    EXPECT_EQ(splitNativeName("", v), "");
}
