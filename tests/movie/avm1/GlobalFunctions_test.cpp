// Global functions and plain global objects: conversions, AsBroadcaster, System, devices.
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>
#include <cmath>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

namespace {

Value callGlobal(Interpreter& vm, const char* name, const std::vector<Value>& args)
{
    return vm.call(vm.global->get(QLatin1String(name)), Value(), args);
}

} // namespace

TEST(Avm1GlobalFunctions, EmptyTextAndMissingArgumentsAreNoNumber)
{
    ScriptFixture f(5);
    Interpreter& vm = *f.vm;
    EXPECT_TRUE(std::isnan(callGlobal(vm, "Number", {Value("")}).n));
    EXPECT_EQ(callGlobal(vm, "Number", {}).n, 0);
    EXPECT_TRUE(callGlobal(vm, "isNaN", {}).b);
    EXPECT_TRUE(callGlobal(vm, "isNaN", {Value("")}).b);
    EXPECT_FALSE(callGlobal(vm, "isNaN", {Value()}).b); // undefined is 0 before SWF 7
    EXPECT_FALSE(callGlobal(vm, "isFinite", {}).b);
    EXPECT_TRUE(callGlobal(vm, "isFinite", {Value("12")}).b);
}

TEST(Avm1GlobalFunctions, EscapeWritesOnePercentPerByte)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    EXPECT_EQ(vm.toString(callGlobal(vm, "escape", {Value("a&b c")})), "a%26b%20c");
    EXPECT_EQ(vm.toString(callGlobal(vm, "escape", {Value(QString::fromUtf8("\xc3\xa9"))})), "%C3%A9");
}

TEST(Avm1GlobalFunctions, ObjectCalledWithoutAValueGivesABareObject)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    const Value bare = callGlobal(vm, "Object", {});
    ASSERT_TRUE(bare.isObject());
    EXPECT_EQ(bare.o->proto(), nullptr);
    EXPECT_EQ(vm.toString(bare), "[type Object]");
    EXPECT_EQ(vm.toString(callGlobal(vm, "Object", {Value("Test")})), "Test");
}

TEST(Avm1GlobalFunctions, AsBroadcasterIsAFunctionThatStillInitializesListeners)
{
    ScriptFixture f(6);
    Interpreter& vm = *f.vm;
    const Value bc = vm.global->get("AsBroadcaster");
    EXPECT_EQ(vm.typeOf(bc), "function");
    EXPECT_TRUE(vm.getMember(bc, "prototype").isObject());
    Object* source = vm.newObject();
    vm.callMethod(bc, "initialize", {Value(source)});
    Object* listener = vm.newObject();
    int heard = 0;
    listener->define("onPing", Value(static_cast<Object*>(vm.newFunction([&heard](Interpreter&, const Value&, const std::vector<Value>&) {
        ++heard;
        return Value();
    }))));
    vm.callMethod(Value(source), "addListener", {Value(listener)});
    vm.callMethod(Value(source), "broadcastMessage", {Value("onPing")});
    EXPECT_EQ(heard, 1);

    ScriptFixture old(5);
    EXPECT_TRUE(old.vm->getMember(old.vm->global->get("AsBroadcaster"), "prototype").isUndefined());
    EXPECT_TRUE(old.vm->global->get("Function").isUndefined());
}

TEST(Avm1GlobalFunctions, SystemReportsNoProductNoImeAndAllowsNamedDomains)
{
    ScriptFixture f(6);
    Interpreter& vm = *f.vm;
    const Value system = vm.global->get("System");
    EXPECT_EQ(vm.typeOf(vm.getMember(system, "exactSettings")), "boolean");
    const Value product = vm.construct(vm.getMember(system, "Product"), {Value("name")});
    EXPECT_FALSE(vm.toBoolean(vm.callMethod(product, "launch", {})));
    const Value ime = vm.getMember(system, "IME");
    EXPECT_FALSE(vm.toBoolean(vm.callMethod(ime, "getEnabled", {})));
    EXPECT_FALSE(vm.toBoolean(vm.callMethod(ime, "setEnabled", {Value(true)})));
    const Value security = vm.getMember(system, "security");
    EXPECT_TRUE(vm.callMethod(security, "allowDomain", {Value("example.org")}).b);
    EXPECT_FALSE(vm.callMethod(security, "allowDomain", {}).b);

    ScriptFixture old(5);
    EXPECT_TRUE(old.vm->getMember(old.vm->global->get("System"), "exactSettings").isUndefined());
}

TEST(Avm1GlobalFunctions, DevicesAreMissingAndPeersDoNotAnswer)
{
    ScriptFixture f(6);
    Interpreter& vm = *f.vm;
    EXPECT_TRUE(vm.callMethod(vm.global->get("Camera"), "get", {}).isNull());
    EXPECT_TRUE(vm.callMethod(vm.global->get("Microphone"), "get", {}).isNull());
    EXPECT_EQ(vm.toNumber(vm.getMember(vm.getMember(vm.global->get("Camera"), "names"), "length")), 0);
    const Value lc = vm.construct(vm.global->get("LocalConnection"), {});
    EXPECT_FALSE(vm.toBoolean(vm.callMethod(lc, "connect", {Value("channel")})));
    const Value socket = vm.construct(vm.global->get("XMLSocket"), {});
    EXPECT_FALSE(vm.toBoolean(vm.callMethod(socket, "connect", {Value("localhost"), Value(1024)})));
}

TEST(Avm1GlobalFunctions, ExternalInterfaceMembersWaitForSwf8)
{
    ScriptFixture f(7);
    Interpreter& vm = *f.vm;
    // Movies before SWF 8 unhide the package first.
    callGlobal(vm, "ASSetPropFlags", {Value(vm.global), Value("flash"), Value(0), Value(5248)});
    const Value flash = vm.global->get("flash");
    const Value ei = vm.getMember(vm.getMember(flash, "external"), "ExternalInterface");
    ASSERT_TRUE(ei.isObject());
    EXPECT_TRUE(ei.o->hasOwn("_toXML"));
    EXPECT_TRUE(vm.getMember(ei, "_toXML").isUndefined());
    EXPECT_TRUE(vm.getMember(ei, "available").isUndefined());
    EXPECT_EQ(vm.typeOf(vm.getMember(ei, "call")), "function"); // Function.prototype.call
}

TEST(Avm1GlobalFunctions, ThePlayerVersionIsAGlobalOnlyForSwf5)
{
    ScriptFixture old(5);
    EXPECT_EQ(old.vm->toString(old.vm->global->get(QStringLiteral("$version"))), QStringLiteral("LNX 9,0,0,0"));
    ScriptFixture later(6);
    EXPECT_TRUE(later.vm->global->get(QStringLiteral("$version")).isUndefined());
}
