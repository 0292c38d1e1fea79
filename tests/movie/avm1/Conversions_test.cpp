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
