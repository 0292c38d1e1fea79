// Sound settings follow the clip a Sound names, as long as that clip is there.
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

TEST(Avm1SoundClass, SettingsNeedTheTargetClipAndStartOverWithANewOne)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    const Value ctor = vm.global->get("Sound");
    const Value missing = vm.construct(ctor, {Value("nowhere")});
    EXPECT_TRUE(vm.callMethod(missing, "getVolume", {}).isUndefined());
    EXPECT_TRUE(vm.callMethod(missing, "getTransform", {}).isUndefined());

    const Value global = vm.construct(ctor, {});
    // Nothing attached yet: neither a length nor a place in it.
    EXPECT_TRUE(vm.getMember(global, "position").isUndefined());
    EXPECT_TRUE(vm.getMember(global, "duration").isUndefined());
    EXPECT_EQ(vm.toNumber(vm.callMethod(global, "getVolume", {})), 100);
    vm.callMethod(global, "setVolume", {Value(40)});
    vm.callMethod(global, "setPan", {Value(-20)});
    EXPECT_EQ(vm.toNumber(vm.callMethod(global, "getVolume", {})), 40);
    EXPECT_EQ(vm.toNumber(vm.callMethod(global, "getPan", {})), -20);

    vm.callMethod(global, "setTransform", {Value(vm.newObject())});
    Value mix = vm.callMethod(global, "getTransform", {});
    EXPECT_EQ(vm.toNumber(vm.getMember(mix, "ll")), 100);
    EXPECT_EQ(vm.toNumber(vm.getMember(mix, "lr")), 0);
    Object* crossed = vm.newObject();
    crossed->set("lr", Value(30));
    vm.callMethod(global, "setTransform", {Value(crossed)});
    mix = vm.callMethod(global, "getTransform", {});
    EXPECT_EQ(vm.toNumber(vm.getMember(mix, "lr")), 30);
    // The answer is a copy.
    mix.o->set("lr", Value(99));
    EXPECT_EQ(vm.toNumber(vm.getMember(vm.callMethod(global, "getTransform", {}), "lr")), 30);
}

TEST(Avm1SoundClass, LoadingMethodsArriveWithSwf6)
{
    ScriptFixture old(5);
    const Value proto = old.vm->getMember(old.vm->global->get("Sound"), "prototype");
    EXPECT_TRUE(old.vm->getMember(proto, "loadSound").isUndefined());
    // The length, place and tags too: older movies may use the names for their own values.
    for (int version : {5, 6}) {
        ScriptFixture f(version);
        const Value sound = f.vm->construct(f.vm->global->get("Sound"), {});
        for (const char* name : {"duration", "position", "id3"}) {
            f.vm->setMember(sound, name, Value("test"));
            EXPECT_EQ(f.vm->getMember(sound, name).isUndefined(), version >= 6) << name << " in SWF " << version;
        }
    }
    EXPECT_TRUE(old.vm->getMember(proto, "getTransform").isObject());
    ScriptFixture now(6);
    EXPECT_TRUE(now.vm->getMember(now.vm->getMember(now.vm->global->get("Sound"), "prototype"), "loadSound").isObject());
}
