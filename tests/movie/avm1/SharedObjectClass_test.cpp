// SharedObject kept in memory: one object per name and path, data kept.
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

TEST(Avm1SharedObject, SameNameGivesTheSameDataBadNamesGiveNull)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value cls = vm.global->get("SharedObject");
    Value a = vm.callMethod(cls, "getLocal", {Value("prefs")});
    ASSERT_TRUE(a.isObject());
    vm.setMember(vm.getMember(a, "data"), "score", Value(42.0));
    EXPECT_TRUE(vm.toBoolean(vm.callMethod(a, "flush", {})));
    EXPECT_GT(vm.toNumber(vm.callMethod(a, "getSize", {})), 0);
    vm.collectGarbage();
    Value again = vm.callMethod(cls, "getLocal", {Value("prefs")});
    EXPECT_TRUE(vm.strictEquals(a, again));
    EXPECT_EQ(vm.toNumber(vm.getMember(vm.getMember(again, "data"), "score")), 42);
    EXPECT_FALSE(vm.strictEquals(a, vm.callMethod(cls, "getLocal", {Value("prefs"), Value("/other")})));
    for (const char* bad : {"", "a b", "x:y", "q?", "50%"})
        EXPECT_TRUE(vm.callMethod(cls, "getLocal", {Value(bad)}).isNull()) << bad;
    vm.callMethod(a, "clear", {});
    EXPECT_TRUE(vm.getMember(vm.getMember(a, "data"), "score").isUndefined());
}
