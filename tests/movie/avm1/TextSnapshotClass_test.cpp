// TextSnapshot: made through _global.TextSnapshot by clips, answering only with a clip's text.
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

TEST(Avm1TextSnapshot, SnapshotOfAClipAnswersAndOneOfNothingDoesNot)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    const Value snap = vm.callMethod(Value(static_cast<Object*>(vm.root)), "getTextSnapshot", {});
    ASSERT_TRUE(snap.isObject());
    EXPECT_EQ(vm.toNumber(vm.callMethod(snap, "getCount", {})), 0);
    EXPECT_EQ(vm.toString(vm.callMethod(snap, "getText", {Value(0), Value(5)})), "");
    EXPECT_TRUE(vm.callMethod(snap, "getText", {Value(0)}).isUndefined());
    // findText wants exactly a start, a text and a case flag; a negative start finds nothing.
    EXPECT_TRUE(vm.callMethod(snap, "findText", {Value(0), Value("A")}).isUndefined());
    EXPECT_EQ(vm.toNumber(vm.callMethod(snap, "findText", {Value(0), Value("A"), Value(true)})), -1);
    EXPECT_EQ(vm.toNumber(vm.callMethod(snap, "findText", {Value(-1), Value("A"), Value(true)})), -1);

    const Value loose = vm.construct(vm.global->get("TextSnapshot"), {});
    EXPECT_TRUE(vm.callMethod(loose, "getCount", {}).isUndefined());
}

TEST(Avm1TextSnapshot, ClipsUseWhateverTextSnapshotIsNow)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Object* seen = nullptr;
    NativeFunction* replacement = vm.newFunction(nullptr, [&seen](Interpreter&, Object* obj, const std::vector<Value>& args) {
        seen = args.empty() ? nullptr : args[0].object();
        return Value(obj);
    });
    vm.global->set("TextSnapshot", Value(static_cast<Object*>(replacement)));
    vm.callMethod(Value(static_cast<Object*>(vm.root)), "getTextSnapshot", {});
    EXPECT_EQ(seen, vm.root);
}

TEST(Avm1TextSnapshot, OlderMoviesListTheNamesWithoutMethods)
{
    ScriptFixture old(5);
    const Value proto = old.vm->getMember(old.vm->global->get("TextSnapshot"), "prototype");
    EXPECT_TRUE(proto.o->hasOwn("getCount"));
    EXPECT_TRUE(old.vm->getMember(proto, "getCount").isUndefined());
    EXPECT_TRUE(proto.o->ownKeys().contains("findText"));
}
