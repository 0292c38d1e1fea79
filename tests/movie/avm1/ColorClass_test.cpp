// Color works on its clip's own colour transform: what it sets is what the
// clip is drawn with, in the player's fixed-point units.
#include "support/ScriptFixture.h"
#include "movie/display/DisplayObject.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

TEST(Avm1Color, SetRgbAndSetTransformChangeTheClipsColourTransform)
{
    ScriptFixture f(6);
    Interpreter& vm = *f.vm;
    const Value color = vm.construct(vm.global->get("Color"), {Value(static_cast<Object*>(vm.root))});
    ASSERT_TRUE(color.isObject());
    const display::DisplayObject* clip = vm.root->display();
    ASSERT_NE(clip, nullptr);

    vm.callMethod(color, "setRGB", {Value(double(0x336699))});
    EXPECT_EQ(clip->cxform.rMult, 0);
    EXPECT_EQ(clip->cxform.rAdd, 0x33);
    EXPECT_EQ(clip->cxform.bAdd, 0x99);
    EXPECT_EQ(clip->cxform.aMult, 256) << "setRGB leaves alpha alone";
    EXPECT_EQ(vm.toNumber(vm.callMethod(color, "getRGB", {})), 0x336699);

    // Percentages become 8.8 fixed point cut toward zero; offsets whole numbers; both wrap at 16 bits.
    Object* t = vm.newObject();
    t->set("ra", Value(99.9));
    t->set("rb", Value(99.9));
    t->set("aa", Value(12800.0));
    vm.callMethod(color, "setTransform", {Value(t)});
    EXPECT_EQ(clip->cxform.rMult, 255);
    EXPECT_EQ(clip->cxform.rAdd, 99);
    EXPECT_EQ(clip->cxform.aMult, -32768);
    EXPECT_EQ(clip->cxform.gAdd, 0x66) << "channels not named keep their values";
    const Value back = vm.callMethod(color, "getTransform", {});
    EXPECT_DOUBLE_EQ(vm.toNumber(vm.getMember(back, "ra")), 99.609375);
    EXPECT_EQ(vm.toNumber(vm.getMember(back, "aa")), -12800);
    EXPECT_TRUE(clip->transformedByScript);

    // _alpha is stored the same way: 60% is 153/256.
    vm.setMember(Value(static_cast<Object*>(vm.root)), "_alpha", Value(60.0));
    EXPECT_EQ(clip->cxform.aMult, 153);
}

TEST(Avm1Color, ATargetThatNamesNoClipDoesNothing)
{
    ScriptFixture f(6);
    Interpreter& vm = *f.vm;
    const Value color = vm.construct(vm.global->get("Color"), {Value("nowhere")});
    vm.callMethod(color, "setRGB", {Value(double(0xff0000))});
    EXPECT_TRUE(vm.callMethod(color, "getRGB", {}).isUndefined());
    EXPECT_EQ(vm.root->display()->cxform, swf::ColorTransform{});
}
