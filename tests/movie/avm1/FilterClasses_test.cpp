// flash.filters: property clamping as the player does it, clone, and the
// mapping of MovieClip.filters onto the display object's filter list.
#include "movie/avm1/ArrayObject.h"
#include "movie/display/DisplayObject.h"
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

namespace {

Value filter(Interpreter& vm, const char* cls, std::vector<Value> args = {})
{
    Value filters = vm.getMember(vm.global->get(QStringLiteral("flash")), "filters");
    return vm.construct(vm.getMember(filters, QLatin1String(cls)), args);
}

double num(Interpreter& vm, const Value& o, const char* name)
{
    return vm.toNumber(vm.getMember(o, QLatin1String(name)));
}

} // namespace

TEST(Avm1Filters, PropertiesAreClampedWhenSet)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value bevel = filter(vm, "BevelFilter");
    EXPECT_EQ(num(vm, bevel, "distance"), 4);
    EXPECT_EQ(vm.toString(vm.getMember(bevel, "type")), "inner");
    vm.setMember(bevel, "angle", Value(366.0));
    EXPECT_EQ(num(vm, bevel, "angle"), 6);
    vm.setMember(bevel, "highlightAlpha", Value(0.5));
    EXPECT_DOUBLE_EQ(num(vm, bevel, "highlightAlpha"), 127 / 255.0); // kept as a byte
    vm.setMember(bevel, "highlightColor", Value(-305419896.0));
    EXPECT_EQ(num(vm, bevel, "highlightColor"), 13347208);
    vm.setMember(bevel, "quality", Value(100.0));
    EXPECT_EQ(num(vm, bevel, "quality"), 15);
    vm.setMember(bevel, "strength", Value(-1.0));
    EXPECT_EQ(num(vm, bevel, "strength"), 0);
    vm.setMember(bevel, "blurX", Value(256.0));
    EXPECT_EQ(num(vm, bevel, "blurX"), 255);
    vm.setMember(bevel, "type", Value("INNER"));
    EXPECT_EQ(vm.toString(vm.getMember(bevel, "type")), "full");

    Value matrix = filter(vm, "ColorMatrixFilter", {Value::null()});
    EXPECT_EQ(vm.toString(vm.getMember(matrix, "matrix")), "1,0,0,0,0,0,1,0,0,0,0,0,1,0,0,0,0,0,1,0");
    std::vector<Value> twentyOne;
    for (int i = 0; i <= 20; ++i)
        twentyOne.push_back(Value(i));
    vm.setMember(matrix, "matrix", Value(static_cast<Object*>(vm.newArray(twentyOne))));
    EXPECT_EQ(vm.toString(vm.getMember(matrix, "matrix")), "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19");
    vm.setMember(matrix, "matrix", Value(static_cast<Object*>(vm.newArray({Value(1.5)}))));
    EXPECT_EQ(vm.toString(vm.getMember(matrix, "matrix")).section(',', 0, 1), "1.5,NaN");
}

TEST(Avm1Filters, CloneCopiesAndBaseClassCannot)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value blur = filter(vm, "BlurFilter", {Value(9.0), Value(3.0), Value(2.0)});
    Value copy = vm.callMethod(blur, "clone", {});
    ASSERT_TRUE(copy.isObject());
    EXPECT_NE(copy.object(), blur.object());
    vm.setMember(copy, "blurX", Value(1.0));
    EXPECT_EQ(num(vm, blur, "blurX"), 9);
    EXPECT_EQ(num(vm, copy, "quality"), 2);
    EXPECT_TRUE(vm.callMethod(filter(vm, "BitmapFilter"), "clone", {}).isUndefined());
}

TEST(Avm1Filters, ClipFiltersBecomeTheDisplayList)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value root(static_cast<Object*>(vm.root));
    Value shadow = filter(vm, "DropShadowFilter", {Value(5.0), Value(90.0), Value(double(0x00FF00)), Value(0.5)});
    Value list(static_cast<Object*>(vm.newArray({filter(vm, "BlurFilter"), Value("not a filter"), shadow})));
    vm.setMember(root, "filters", list);
    const auto& filters = vm.root->display()->filters;
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].type, swf::FilterType::Blur);
    EXPECT_EQ(filters[1].type, swf::FilterType::DropShadow);
    EXPECT_EQ(filters[1].distance, 5);
    EXPECT_NEAR(filters[1].angle, M_PI / 2, 1e-9);
    EXPECT_EQ(filters[1].color.g, 255);
    EXPECT_EQ(filters[1].color.a, 127);
    // Reading gives new objects with the same settings.
    Value back = vm.getMember(root, "filters");
    auto* array = dynamic_cast<ArrayObject*>(back.object());
    ASSERT_TRUE(array);
    ASSERT_EQ(array->elements.size(), 2u);
    EXPECT_NE(array->elements[1].object(), shadow.object());
    EXPECT_EQ(num(vm, array->elements[1], "distance"), 5);
    EXPECT_EQ(num(vm, array->elements[1], "color"), 0x00FF00);
    // A displacement map has no drawing of its own here: it is left out.
    vm.setMember(root, "filters", Value(static_cast<Object*>(vm.newArray({filter(vm, "DisplacementMapFilter")}))));
    EXPECT_TRUE(vm.root->display()->filters.empty());
}
