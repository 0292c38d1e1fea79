// Arrays as scripts see them: length kept by index keys, holes, key order and
// the Array methods on arrays and on other objects.
#include "movie/avm1/ArrayObject.h"
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

namespace {

ArrayObject* newArray(Interpreter& vm, std::vector<Value> v = {})
{
    return vm.newArray(std::move(v));
}

double length(ArrayObject* a)
{
    return a->get("length").n;
}

} // namespace

TEST(Avm1ArrayObject, IndexKeysKeepLengthWithThirtyTwoBitWrap)
{
    ScriptFixture f(7);
    ArrayObject* a = newArray(*f.vm);
    a->set("3", Value("x"));
    EXPECT_EQ(length(a), 4);
    a->set("-5", Value("x"));          // below the length: no change
    a->set("foo", Value("x"));
    a->set("1.0", Value("x"));         // not an index
    EXPECT_EQ(length(a), 4);
    a->set("1", Value("x"));
    a->set("2147483647", Value("x"));  // one past wraps negative: a cut like a shorter length
    EXPECT_EQ(length(a), -2147483648.0);
    EXPECT_FALSE(a->hasOwn("1"));
    EXPECT_FALSE(a->hasOwn("3"));
    EXPECT_TRUE(a->hasOwn("-5"));
    a->set("4294967296", Value("x"));  // wraps to index 0
    EXPECT_EQ(length(a), 1);
    EXPECT_EQ(ArrayObject::indexOf("-2147483649").value(), 2147483647);
    EXPECT_FALSE(ArrayObject::indexOf("").has_value());
    EXPECT_FALSE(ArrayObject::indexOf("-").has_value());
    EXPECT_FALSE(ArrayObject::indexOf("1e3").has_value());
}

TEST(Avm1ArrayObject, ShrinkingDeletesOnlyIndicesInTheCutRange)
{
    ScriptFixture f(7);
    ArrayObject* a = newArray(*f.vm, {Value(1.0), Value(2.0), Value(3.0)});
    a->set("-1", Value("neg"));
    a->set("name", Value("n"));
    a->set("length", Value(1.0));
    EXPECT_TRUE(a->hasOwn("0"));
    EXPECT_FALSE(a->hasOwn("1"));
    EXPECT_FALSE(a->hasOwn("2"));
    EXPECT_TRUE(a->hasOwn("-1"));
    EXPECT_TRUE(a->hasOwn("name"));
    a->set("length", Value(-1.0)); // a negative length is kept as it is
    EXPECT_EQ(length(a), -1);
    EXPECT_FALSE(a->hasOwn("0"));
    EXPECT_FALSE(a->remove("length"));
    EXPECT_TRUE(a->hasOwn("length"));
}

TEST(Avm1ArrayObject, HolesAreNotPropertiesAndKeysComeNewestFirst)
{
    ScriptFixture f(7);
    ArrayObject* a = newArray(*f.vm);
    a->set("length", Value(16.0));
    a->set("1", Value());
    a->set("0", Value("e0"));
    a->set("foo", Value("foo"));
    a->set("5", Value("e5"));
    EXPECT_FALSE(a->hasOwn("3"));
    EXPECT_TRUE(a->hasOwn("1")); // set to undefined, still there
    EXPECT_EQ(a->ownKeys(), QStringList({"5", "foo", "0", "1"}));
    EXPECT_EQ(length(a), 16);
}

TEST(Avm1ArrayObject, ReverseRewritesPairsLowIndexFirst)
{
    ScriptFixture f(7);
    ArrayObject* a = newArray(*f.vm);
    a->set("6", Value(4.0));
    f.vm->callMethod(Value(static_cast<Object*>(a)), "reverse", {});
    EXPECT_EQ(a->ownKeys(), QStringList({"4", "2", "5", "1", "6", "0"})); // 3, the middle, stays a hole
    EXPECT_EQ(a->get("0").n, 4);
    EXPECT_TRUE(a->get("6").isUndefined());
}

TEST(Avm1ArrayObject, MethodsWorkOnPlainObjectsWithALength)
{
    ScriptFixture f(7);
    Interpreter& vm = *f.vm;
    Object* o = vm.newObject();
    o->set("0", Value("a"));
    o->set("1", Value("b"));
    o->set("length", Value(2.0));
    Value self(o);
    Value join = vm.arrayProto->get("join");
    EXPECT_EQ(vm.toString(vm.call(join, self, {Value("-")})), "a-b");
    EXPECT_EQ(vm.toNumber(vm.call(vm.arrayProto->get("push"), self, {Value("c")})), 3);
    EXPECT_EQ(vm.toString(o->get("2")), "c");
    EXPECT_EQ(vm.toString(vm.call(vm.arrayProto->get("pop"), self, {})), "c");
    EXPECT_EQ(vm.toNumber(o->get("length")), 2);
    EXPECT_FALSE(o->hasOwn("2"));
    EXPECT_TRUE(vm.arrayProto->get("length").isUndefined()); // the prototype is no array
}

TEST(Avm1ArrayObject, NativeViewAndHugeLengthsStayBounded)
{
    ScriptFixture f(7);
    Interpreter& vm = *f.vm;
    ArrayObject* a = newArray(vm, {Value(1.0)});
    a->elements.push_back(Value(2.0));
    EXPECT_EQ(a->elements.size(), 2u);
    EXPECT_EQ(a->elements[1].n, 2);
    std::vector<Value> copy = a->elements;
    EXPECT_EQ(copy.size(), 2u);
    a->set("length", Value(2147483647.0)); // no storage is made for the length alone
    EXPECT_EQ(a->properties().size(), 2u);
    EXPECT_EQ(static_cast<std::vector<Value>>(a->elements).size(), size_t(ArrayObject::kMaxScan));
}
