// Array, String and Object methods called as scripts call them.
#include "movie/avm1/ArrayObject.h"
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

namespace {

Value array(Interpreter& vm, std::vector<Value> v)
{
    return Value(static_cast<Object*>(vm.newArray(std::move(v))));
}

QString str(Interpreter& vm, const Value& v)
{
    return vm.toString(v);
}

} // namespace

TEST(Avm1Array, SortFlags)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value a = array(vm, {Value(10.0), Value(9.0), Value(100.0)});
    vm.callMethod(a, "sort", {});
    EXPECT_EQ(str(vm, a), "10,100,9"); // text order by default
    vm.callMethod(a, "sort", {Value(16.0 /*NUMERIC*/ + 2.0 /*DESCENDING*/)});
    EXPECT_EQ(str(vm, a), "100,10,9");
    Value idx = vm.callMethod(array(vm, {Value("b"), Value("a"), Value("c")}), "sort", {Value(8.0)});
    EXPECT_EQ(str(vm, idx), "1,0,2");
    Value dup = vm.callMethod(array(vm, {Value(1.0), Value(1.0)}), "sort", {Value(4.0)});
    EXPECT_EQ(vm.toNumber(dup), 0); // UNIQUESORT refuses equal elements
    // With a second argument, that one holds the flags and the first is ignored.
    Value twice = array(vm, {Value(3.0), Value(2.0), Value(1.0)});
    vm.callMethod(twice, "sort", {Value(2.0 /*DESCENDING*/), Value(16.0 /*NUMERIC*/)});
    EXPECT_EQ(str(vm, twice), "1,2,3");
    vm.callMethod(twice, "sort", {Value(18.0 /*DESCENDING | NUMERIC*/), Value()});
    EXPECT_EQ(str(vm, twice), "3,2,1");
    Value ci = array(vm, {Value("b"), Value("A"), Value("a")});
    vm.callMethod(ci, "sort", {Value(1.0)});
    EXPECT_EQ(str(vm, ci), "a,A,b"); // equal without case: the player's quicksort is not stable
}

TEST(Avm1Array, SortRefusesOddFirstArgumentsAndPutsNaNLast)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Value& odd : {Value(), Value::null(), Value(true)}) {
        Value a = array(vm, {Value(2.0), Value(1.0)});
        EXPECT_TRUE(vm.callMethod(a, "sort", {odd, Value(0.0)}).isUndefined());
        EXPECT_EQ(str(vm, a), "2,1"); // left as it was
    }
    Value n = array(vm, {Value(inf), Value(nan), Value(4.0), Value(1.0), Value(nan), Value(-inf)});
    vm.callMethod(n, "sort", {Value(16.0 /*NUMERIC*/)});
    EXPECT_EQ(str(vm, n), "-Infinity,1,4,Infinity,NaN,NaN");
}

TEST(Avm1Array, SortWithInconsistentComparatorDoesNotCrash)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    std::vector<Value> many;
    for (int i = 0; i < 200; ++i)
        many.push_back(Value(double(i % 7)));
    Value a = array(vm, many);
    int calls = 0;
    NativeFunction* cmp = vm.newFunction([&calls](Interpreter&, const Value&, const std::vector<Value>&) {
        return Value(double((++calls % 3) - 1));
    });
    vm.callMethod(a, "sort", {Value(static_cast<Object*>(cmp))});
    EXPECT_EQ(static_cast<ArrayObject*>(a.o)->elements.size(), 200u);
    EXPECT_GT(calls, 0);
}

TEST(Avm1Array, SortAsksTheComparatorInThePlayersOrder)
{
    // Scripts see every comparison, so the quicksort's order of comparisons is
    // part of the behaviour: the pivot (first of its range) always comes first.
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value a = array(vm, {Value(2.0), Value(0.0), Value(3.0), Value(1.0), Value(4.0)});
    QStringList calls;
    NativeFunction* cmp = vm.newFunction([&calls](Interpreter& vm, const Value&, const std::vector<Value>& args) {
        const double x = vm.toNumber(args.at(0)), y = vm.toNumber(args.at(1));
        calls.append(vm.toString(args.at(0)) + vm.toString(args.at(1)));
        return Value(x < y ? -1.0 : x > y ? 1.0 : 0.0);
    });
    vm.callMethod(a, "sort", {Value(static_cast<Object*>(cmp))});
    EXPECT_EQ(str(vm, a), "0,1,2,3,4");
    EXPECT_EQ(calls.join(' '), "20 23 24 21 21 23 21 10 34");

    // Equal elements keep no order of their own.
    Value words = array(vm, {Value("TeSt"), Value("h\u00EBllo"), Value("H\u00CBLLO"), Value("test")});
    vm.callMethod(words, "sort", {Value(1.0 /*CASEINSENSITIVE*/)});
    EXPECT_EQ(str(vm, words), "H\u00CBLLO,h\u00EBllo,TeSt,test");
}

TEST(Avm1Array, SpliceSliceConcatJoin)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value a = array(vm, {Value(1.0), Value(2.0), Value(3.0), Value(4.0)});
    Value removed = vm.callMethod(a, "splice", {Value(1.0), Value(2.0), Value("x")});
    EXPECT_EQ(str(vm, removed), "2,3");
    EXPECT_EQ(str(vm, a), "1,x,4");
    // A count given as undefined or below zero removes nothing and returns no array.
    EXPECT_TRUE(vm.callMethod(a, "splice", {Value(1.0), Value()}).isUndefined());
    EXPECT_TRUE(vm.callMethod(a, "splice", {Value(1.0), Value(-2.0)}).isUndefined());
    EXPECT_EQ(str(vm, a), "1,x,4");
    EXPECT_EQ(str(vm, vm.callMethod(a, "slice", {Value(-2.0)})), "x,4");
    EXPECT_EQ(str(vm, vm.callMethod(a, "concat", {Value(5.0), array(vm, {Value(6.0)})})), "1,x,4,5,6");
    EXPECT_EQ(str(vm, vm.callMethod(a, "join", {Value("-")})), "1-x-4");
    EXPECT_EQ(vm.toNumber(vm.callMethod(a, "push", {Value(7.0)})), 4);
    EXPECT_EQ(str(vm, vm.callMethod(a, "pop", {})), "7");
    vm.setMember(a, "length", Value(1.0));
    EXPECT_EQ(str(vm, a), "1");
    vm.setMember(a, "3", Value("z"));
    EXPECT_EQ(vm.toNumber(vm.getMember(a, "length")), 4);
}

TEST(Avm1Array, UndefinedElementsJoinPerVersion)
{
    ScriptFixture v6(6), v7(7);
    EXPECT_EQ(str(*v6.vm, array(*v6.vm, {Value(), Value(1.0)})), ",1");
    EXPECT_EQ(str(*v7.vm, array(*v7.vm, {Value(), Value(1.0)})), "undefined,1");
}

TEST(Avm1String, Methods)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value s("Hello, world");
    EXPECT_EQ(str(vm, vm.callMethod(s, "substr", {Value(-5.0), Value(3.0)})), "wor");
    EXPECT_EQ(str(vm, vm.callMethod(s, "substring", {Value(5.0), Value(0.0)})), "Hello");
    EXPECT_EQ(str(vm, vm.callMethod(s, "slice", {Value(-5.0), Value(-1.0)})), "worl");
    EXPECT_EQ(vm.toNumber(vm.callMethod(s, "indexOf", {Value("o")})), 4);
    EXPECT_EQ(vm.toNumber(vm.callMethod(s, "lastIndexOf", {Value("o")})), 8);
    EXPECT_EQ(str(vm, vm.callMethod(s, "split", {Value(", ")})), "Hello,world");
    EXPECT_EQ(str(vm, vm.callMethod(s, "charAt", {Value(1.0)})), "e");
    EXPECT_EQ(vm.toNumber(vm.callMethod(s, "charCodeAt", {Value(0.0)})), 72);
    EXPECT_EQ(str(vm, vm.callMethod(s, "toUpperCase", {})), "HELLO, WORLD");
    EXPECT_EQ(vm.toNumber(vm.getMember(s, "length")), 12);
}

TEST(Avm1Object, PrototypeChainAndProperties)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Object* base = vm.newObject();
    base->set("greeting", Value("hi"));
    Object* derived = vm.newObject(base);
    EXPECT_EQ(str(vm, derived->get("greeting")), "hi");
    EXPECT_FALSE(vm.toBoolean(vm.callMethod(Value(derived), "hasOwnProperty", {Value("greeting")})));
    EXPECT_TRUE(vm.toBoolean(vm.callMethod(Value(base), "isPrototypeOf", {Value(derived)})));
    // addProperty: the getter runs with the reading object as `this`.
    NativeFunction* getter = vm.newFunction([](Interpreter& vm, const Value& self, const std::vector<Value>&) {
        return Value(vm.toString(vm.getMember(self, "greeting")) + "!");
    });
    vm.callMethod(Value(base), "addProperty", {Value("loud"), Value(static_cast<Object*>(getter)), Value::null()});
    derived->set("greeting", Value("yo"));
    EXPECT_EQ(str(vm, derived->get("loud")), "yo!");
    // ASSetPropFlags hides a property from enumeration and protects it.
    Object* g = vm.global;
    vm.call(g->get("ASSetPropFlags"), Value(), {Value(base), Value("greeting"), Value(3.0)});
    EXPECT_FALSE(base->ownKeys().contains("greeting"));
    EXPECT_FALSE(base->remove("greeting"));
}

TEST(Avm1Object, BuiltInClassesCarryTheirMakerFunction)
{
    ScriptFixture f(7);
    Interpreter& vm = *f.vm;
    const Value function = vm.global->get("Function");
    for (const char* name : {"Number", "String", "Array", "Function"}) {
        const Value cls = vm.global->get(QString::fromLatin1(name));
        EXPECT_TRUE(vm.toBoolean(vm.callMethod(cls, "hasOwnProperty", {Value("constructor")}))) << name;
        EXPECT_EQ(vm.getMember(cls, "constructor").object(), function.object()) << name;
    }
    // The prototype's constructor still names the class itself.
    const Value number = vm.global->get("Number");
    EXPECT_EQ(vm.getMember(vm.getMember(number, "prototype"), "constructor").object(), number.object());
}

TEST(Avm1Watch, WatcherSetsItsOwnPropertyDirectlyAndAThrowLeavesItUndefined)
{
    ScriptFixture f(6);
    Interpreter& vm = *f.vm;
    Object* o = vm.newObject();
    int calls = 0;
    NativeFunction* watcher = vm.newFunction([&calls](Interpreter& vm, const Value& self, const std::vector<Value>& args) {
        ++calls;
        vm.setMember(self, "prop", Value("inner")); // no second call of the watcher
        return Value(vm.toString(args[2]) + "!");
    });
    vm.callMethod(Value(o), "watch", {Value("prop"), Value(static_cast<Object*>(watcher))});
    o->set("prop", Value("outer"));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(vm.toString(o->get("prop")), "outer!");
    NativeFunction* thrower = vm.newFunction([](Interpreter&, const Value&, const std::vector<Value>&) -> Value {
        throw ScriptException{Value("too low")};
    });
    vm.callMethod(Value(o), "watch", {Value("prop"), Value(static_cast<Object*>(thrower))});
    EXPECT_THROW(o->set("prop", Value(14.0)), ScriptException);
    EXPECT_TRUE(o->hasOwn("prop"));
    EXPECT_TRUE(o->get("prop").isUndefined());
}

TEST(Avm1Operators, AddConvertsTheOriginalObjectAgain)
{
    ScriptFixture f(6);
    Interpreter& vm = *f.vm;
    QStringList calls;
    Object* o = vm.newObject();
    vm.addMethod(o, "valueOf", [&calls](Interpreter& vm, const Value&, const std::vector<Value>&) {
        calls << "valueOf";
        return Value(vm.newObject());
    });
    vm.addMethod(o, "toString", [&calls](Interpreter&, const Value&, const std::vector<Value>&) {
        calls << "toString";
        return Value("text");
    });
    EXPECT_EQ(vm.toString(vm.add(Value(""), Value(o))), "text"); // the object's own toString, not the answer's
    EXPECT_EQ(calls, QStringList({"valueOf", "toString"}));
    calls.clear();
    EXPECT_TRUE(std::isnan(vm.add(Value(1.0), Value(o)).n));
    EXPECT_EQ(calls, QStringList({"valueOf", "valueOf"}));
}

TEST(Avm1String, CodesStopAtNulAndPositionsWrap)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value fromCharCode = vm.getMember(vm.global->get("String"), "fromCharCode");
    EXPECT_EQ(vm.toString(vm.call(fromCharCode, Value(), {Value(80.0), Value(0.0), Value(82.0)})), "P");
    EXPECT_EQ(vm.toString(vm.call(fromCharCode, Value(), {Value(65616.0)})), "P"); // 16 bits kept
    EXPECT_EQ(vm.toString(vm.callMethod(Value("foo"), "charAt", {Value(4294967297.0)})), "o");
    EXPECT_EQ(vm.toNumber(vm.callMethod(Value("foo"), "charCodeAt", {Value(4294967296.0)})), 'f');
    EXPECT_EQ(vm.toString(vm.callMethod(Value("foo"), "charAt", {Value(-1.0)})), "");
}

TEST(Avm1String, SearchAndCutPositionsWrapAndMissingArgumentsGiveUndefined)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value s("xx test xx test");
    EXPECT_EQ(vm.toNumber(vm.callMethod(s, "indexOf", {Value("test"), Value(4294967300.0)})), 11);
    EXPECT_EQ(vm.toNumber(vm.callMethod(s, "indexOf", {Value(""), Value(100.0)})), -1);
    EXPECT_EQ(vm.toNumber(vm.callMethod(s, "lastIndexOf", {Value("test"), Value(4294967300.0)})), 3);
    EXPECT_EQ(vm.toNumber(vm.callMethod(s, "lastIndexOf", {Value("test"), Value()})), 11);
    EXPECT_TRUE(vm.callMethod(s, "indexOf", {}).isUndefined());
    EXPECT_TRUE(vm.callMethod(s, "substr", {}).isUndefined());
    EXPECT_TRUE(vm.callMethod(s, "slice", {}).isUndefined());
    EXPECT_EQ(str(vm, vm.callMethod(Value("Hello"), "slice", {Value(4294967296.0), Value(4294967298.0)})), "He");
    EXPECT_EQ(str(vm, vm.callMethod(Value("Hello"), "substr", {Value(4294967296.0), Value(-4294967294.0)})), "He");
    EXPECT_EQ(str(vm, vm.callMethod(Value("Hello"), "substring", {Value(3.0), Value::null()})), "Hel");
}

TEST(Avm1String, SplitLimitsAndCaseMappingKeepsLength)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value s("a,b,c");
    EXPECT_EQ(vm.toNumber(vm.getMember(vm.callMethod(s, "split", {Value(","), Value(-100.0)}), "length")), 0);
    EXPECT_EQ(vm.toNumber(vm.getMember(vm.callMethod(s, "split", {Value(), Value(0.0)}), "length")), 1);
    EXPECT_EQ(vm.toNumber(vm.getMember(vm.callMethod(s, "split", {Value(","), Value(2.0)}), "length")), 2);
    // Dotted capital I lowers to one plain i; lunate sigma uppers to sigma; iota subscript stays attached.
    EXPECT_EQ(str(vm, vm.callMethod(Value(QString(QChar(0x0130))), "toLowerCase", {})), "i");
    EXPECT_EQ(str(vm, vm.callMethod(Value(QString(QChar(0x03F2))), "toUpperCase", {})), QString(QChar(0x03A3)));
    EXPECT_EQ(str(vm, vm.callMethod(Value(QString(QChar(0x1FB3))), "toUpperCase", {})), QString(QChar(0x1FBC)));
    EXPECT_EQ(str(vm, vm.callMethod(Value(QString(QChar(0x10A0))), "toLowerCase", {})), QString(QChar(0x10D0)));
}

TEST(Avm1PropFlags, VersionBitsHideFromOlderMoviesUntilAScriptClearsThem)
{
    for (int version : {5, 6, 7, 8, 9}) {
        ScriptFixture f(version);
        Interpreter& vm = *f.vm;
        Object* o = vm.newObject();
        o->define("eight", Value(1.0));
        o->define("notSix", Value(2.0));
        Value setFlags = vm.global->get("ASSetPropFlags");
        vm.call(setFlags, Value(), {Value(o), Value("eight"), Value(double(OnlySwf8Up))});
        vm.call(setFlags, Value(), {Value(o), Value("notSix"), Value(double(HiddenInSwf6))});
        EXPECT_EQ(o->get("eight").isUndefined(), version < 8) << version;
        EXPECT_EQ(o->hasOwn("eight"), version >= 8) << version;
        EXPECT_EQ(o->ownKeys().contains("eight"), version >= 8) << version;
        EXPECT_EQ(o->get("notSix").isUndefined(), version == 6) << version;
        // Clearing the bits makes the property visible to every version again.
        vm.call(setFlags, Value(), {Value(o), Value::null(), Value(0.0), Value(5248.0)});
        vm.call(setFlags, Value(), {Value(o), Value("notSix"), Value(0.0), Value(double(HiddenInSwf6))});
        EXPECT_EQ(vm.toNumber(o->get("eight")), 1) << version;
        EXPECT_EQ(vm.toNumber(o->get("notSix")), 2) << version;
    }
}

TEST(Avm1PropFlags, AssigningAHiddenNameMakesAFreshVisibleProperty)
{
    ScriptFixture f(6);
    Interpreter& vm = *f.vm;
    Object* o = vm.newObject();
    o->define("x", Value(1.0), DontEnum | OnlySwf8Up);
    EXPECT_FALSE(o->remove("x"));
    o->set("x", Value(5.0));
    EXPECT_EQ(vm.toNumber(o->get("x")), 5);
    EXPECT_TRUE(o->ownKeys().contains("x"));
}

TEST(Avm1PropFlags, FlashPackageHiddenBeforeSwf8UntilUnhidden)
{
    ScriptFixture f7(7);
    Interpreter& vm = *f7.vm;
    EXPECT_TRUE(vm.global->get("flash").isUndefined());
    EXPECT_TRUE(vm.getMember(Value(vm.movieClipProto), "attachBitmap").isUndefined());
    vm.call(vm.global->get("ASSetPropFlags"), Value(), {Value(vm.global), Value("flash"), Value(0.0), Value(5248.0)});
    Value geom = vm.getMember(vm.global->get("flash"), "geom");
    EXPECT_TRUE(vm.getMember(geom, "Transform").object() && vm.getMember(geom, "Transform").object()->isFunction());

    ScriptFixture f8(8);
    EXPECT_TRUE(f8.vm->global->get("flash").isObject());
    EXPECT_TRUE(f8.vm->getMember(Value(f8.vm->movieClipProto), "attachBitmap").isObject());
}

TEST(Avm1Object, OldMoviesMatchNamesWithoutCaseOnlyForLettersThePlayerKnows)
{
    ScriptFixture f(6);
    Object* o = f.vm->newObject();
    o->define(QString(QChar(0x00C9)) + "t", Value(1.0)); // É, an old letter: folds
    o->define(QString(QChar(0x023A)), Value(2.0));        // Ⱥ, newer than the player's tables: does not
    EXPECT_EQ(f.vm->toNumber(o->get(QString(QChar(0x00E9)) + "T")), 1);
    EXPECT_TRUE(o->get(QString(QChar(0x2C65))).isUndefined());
    EXPECT_EQ(f.vm->toNumber(o->get(QString(QChar(0x023A)))), 2);
    // Past the size where lookups go through the index, the same folding applies.
    for (int i = 0; i < 20; ++i)
        o->define(QString("p%1").arg(i), Value(double(i)));
    EXPECT_EQ(f.vm->toNumber(o->get(QString(QChar(0x00E9)) + "T")), 1);
    EXPECT_TRUE(o->get(QString(QChar(0x2C65))).isUndefined());
    EXPECT_EQ(f.vm->toNumber(o->get("P7")), 7);
}
