// flash.geom classes called as scripts call them: Point, Rectangle, Matrix,
// ColorTransform and Transform.
#include "movie/avm1/ColorTransformObject.h"
#include "movie/display/DisplayObject.h"
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>
#include <cmath>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

namespace {

Value geom(Interpreter& vm, const char* cls, std::vector<Value> args = {})
{
    Value flash = vm.global->get(QStringLiteral("flash"));
    Value ctor = vm.getMember(vm.getMember(flash, QStringLiteral("geom")), QLatin1String(cls));
    return vm.construct(ctor, args);
}

QString text(Interpreter& vm, const Value& v)
{
    return vm.toString(v);
}

} // namespace

TEST(Avm1Geom, PackagesExistFromSwf8Only)
{
    ScriptFixture old(7);
    EXPECT_TRUE(old.vm->global->get(QStringLiteral("flash")).isUndefined());
    ScriptFixture f(8);
    Value flash = f.vm->global->get(QStringLiteral("flash"));
    ASSERT_TRUE(flash.isObject());
    for (const char* name : {"Point", "Rectangle", "Matrix", "ColorTransform", "Transform"})
        EXPECT_TRUE(f.vm->getMember(f.vm->getMember(flash, "geom"), QLatin1String(name)).isObject()) << name;
    EXPECT_TRUE(f.vm->getMember(f.vm->getMember(flash, "display"), "BitmapData").isObject());
}

TEST(Avm1Geom, PointArithmeticFollowsScriptOperators)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    EXPECT_EQ(text(vm, geom(vm, "Point")), "(x=0, y=0)");
    EXPECT_EQ(text(vm, geom(vm, "Point", {Value(1.0)})), "(x=1, y=undefined)");
    // Text coordinates join as text, subtraction converts to numbers.
    Value p = geom(vm, "Point", {Value("x"), Value("y")});
    EXPECT_EQ(text(vm, vm.callMethod(p, "add", {geom(vm, "Point", {Value("1"), Value(2.0)})})), "(x=x1, y=y2)");
    EXPECT_EQ(text(vm, vm.callMethod(p, "subtract", {geom(vm, "Point", {Value(1.0), Value(2.0)})})), "(x=NaN, y=NaN)");

    Value a = geom(vm, "Point", {Value(3.0), Value(4.0)});
    EXPECT_EQ(vm.toNumber(vm.getMember(a, "length")), 5);
    vm.callMethod(a, "normalize", {Value(10.0)});
    EXPECT_EQ(text(vm, a), "(x=6, y=8)");
    Value cls = vm.getMember(vm.getMember(vm.global->get("flash"), "geom"), "Point");
    EXPECT_EQ(vm.toNumber(vm.callMethod(cls, "distance", {a, geom(vm, "Point")})), 10);
    // Without a first point that can subtract there is no distance.
    EXPECT_TRUE(vm.callMethod(cls, "distance", {Value(), a}).isUndefined());
    EXPECT_EQ(text(vm, vm.callMethod(cls, "interpolate", {a, geom(vm, "Point"), Value(0.5)})), "(x=3, y=4)");
    Value polar = vm.callMethod(cls, "polar", {Value(2.0), Value(M_PI / 2)});
    EXPECT_NEAR(vm.toNumber(vm.getMember(polar, "x")), 0, 1e-12);
    EXPECT_EQ(vm.toNumber(vm.getMember(polar, "y")), 2);
    EXPECT_TRUE(vm.toBoolean(vm.callMethod(a, "equals", {geom(vm, "Point", {Value(6.0), Value(8.0)})})));
    EXPECT_FALSE(vm.toBoolean(vm.callMethod(a, "equals", {Value("(x=6, y=8)")})));
}

TEST(Avm1Geom, RectangleEdgesAndSetOperations)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    EXPECT_EQ(text(vm, geom(vm, "Rectangle")), "(x=0, y=0, w=0, h=0)");
    Value r = geom(vm, "Rectangle", {Value(10.0), Value(20.0), Value(30.0), Value(40.0)});
    EXPECT_EQ(vm.toNumber(vm.getMember(r, "right")), 40);
    EXPECT_EQ(vm.toNumber(vm.getMember(r, "bottom")), 60);
    vm.setMember(r, "left", Value(0.0)); // moves the edge, keeps the right side
    EXPECT_EQ(text(vm, r), "(x=0, y=20, w=40, h=40)");
    EXPECT_TRUE(vm.toBoolean(vm.callMethod(r, "contains", {Value(0.0), Value(20.0)})));
    EXPECT_FALSE(vm.toBoolean(vm.callMethod(r, "contains", {Value(40.0), Value(20.0)}))); // right edge is outside
    Value other = geom(vm, "Rectangle", {Value(30.0), Value(50.0), Value(100.0), Value(100.0)});
    EXPECT_EQ(text(vm, vm.callMethod(r, "intersection", {other})), "(x=30, y=50, w=10, h=10)");
    EXPECT_EQ(text(vm, vm.callMethod(r, "union", {other})), "(x=0, y=20, w=130, h=130)");
    Value apart = geom(vm, "Rectangle", {Value(500.0), Value(500.0), Value(1.0), Value(1.0)});
    EXPECT_FALSE(vm.toBoolean(vm.callMethod(r, "intersects", {apart})));
    EXPECT_EQ(text(vm, vm.callMethod(r, "intersection", {apart})), "(x=0, y=0, w=0, h=0)");
    vm.callMethod(r, "inflate", {Value(5.0), Value(1.0)});
    EXPECT_EQ(text(vm, r), "(x=-5, y=19, w=50, h=42)");
    EXPECT_EQ(text(vm, vm.getMember(r, "bottomRight")), "(x=45, y=61)");
}

TEST(Avm1Geom, MatrixOperations)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    auto matrix = [&](double a, double b, double c, double d, double tx, double ty) {
        return geom(vm, "Matrix", {Value(a), Value(b), Value(c), Value(d), Value(tx), Value(ty)});
    };
    EXPECT_EQ(text(vm, geom(vm, "Matrix")), "(a=1, b=0, c=0, d=1, tx=0, ty=0)");
    EXPECT_EQ(text(vm, geom(vm, "Matrix", {Value(1.0)})),
              "(a=1, b=undefined, c=undefined, d=undefined, tx=undefined, ty=undefined)");
    Value m = matrix(2, 3, 5, 7, 9, 11);
    vm.callMethod(m, "invert", {});
    EXPECT_EQ(text(vm, m), "(a=-7, b=3, c=5, d=-2, tx=8, ty=-5)");
    m = matrix(1, 2, 3, 4, 5, 6);
    vm.callMethod(m, "concat", {matrix(11, 13, 17, 19, 23, 29)});
    EXPECT_EQ(text(vm, m).toStdString(), "(a=45, b=51, c=101, d=115, tx=180, ty=208)");
    m = matrix(1, 2, 3, 4, 5, 6);
    vm.callMethod(m, "scale", {Value(13.0), Value(17.0)});
    EXPECT_EQ(text(vm, m), "(a=13, b=34, c=39, d=68, tx=65, ty=102)");
    m = geom(vm, "Matrix");
    vm.callMethod(m, "createGradientBox", {Value(200.0), Value(300.0)});
    EXPECT_EQ(text(vm, m), "(a=0.1220703125, b=0, c=0, d=0.18310546875, tx=100, ty=150)");
    vm.callMethod(m, "createBox", {Value(2.0), Value(3.0)}); // no rotation: NaN, as the player gives
    EXPECT_EQ(text(vm, m), "(a=NaN, b=NaN, c=NaN, d=NaN, tx=0, ty=0)");
    m = matrix(2, 3, 5, 7, 11, 13);
    Value one = geom(vm, "Point", {Value(1.0), Value(1.0)});
    EXPECT_EQ(text(vm, vm.callMethod(m, "transformPoint", {one})), "(x=18, y=23)");
    EXPECT_EQ(text(vm, vm.callMethod(m, "deltaTransformPoint", {one})), "(x=7, y=10)");
    Value copy = vm.callMethod(m, "clone", {});
    EXPECT_NE(copy.object(), m.object());
    EXPECT_EQ(text(vm, copy), text(vm, m));
}

TEST(Avm1Geom, ColorTransformAccessorsRgbAndConcat)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value ct = geom(vm, "ColorTransform", {Value(0.5), Value(0.5), Value(0.5), Value(0.5), Value(10.0),
                                           Value(20.0), Value(30.0), Value(40.0)});
    Value other = geom(vm, "ColorTransform", {Value(0.5), Value(0.5), Value(0.5), Value(0.5), Value(50.0),
                                              Value(60.0), Value(70.0), Value(80.0)});
    vm.callMethod(ct, "concat", {other});
    EXPECT_EQ(text(vm, ct), "(redMultiplier=0.25, greenMultiplier=0.25, blueMultiplier=0.25, alphaMultiplier=0.25, "
                            "redOffset=35, greenOffset=50, blueOffset=65, alphaOffset=80)");
    vm.callMethod(ct, "concat", {Value("not a transform")}); // ignored
    EXPECT_EQ(vm.toNumber(vm.getMember(ct, "redOffset")), 35);
    vm.setMember(ct, "rgb", Value(double(0x203040)));
    EXPECT_EQ(vm.toNumber(vm.getMember(ct, "redMultiplier")), 0);
    EXPECT_EQ(vm.toNumber(vm.getMember(ct, "greenOffset")), 0x30);
    EXPECT_EQ(vm.toNumber(vm.getMember(ct, "rgb")), 0x203040);
    // Fewer than all eight values leave the identity.
    EXPECT_EQ(text(vm, geom(vm, "ColorTransform", {Value(0.0), Value(2.0), Value(3.0)})),
              "(redMultiplier=1, greenMultiplier=1, blueMultiplier=1, alphaMultiplier=1, "
              "redOffset=0, greenOffset=0, blueOffset=0, alphaOffset=0)");
    vm.setMember(ct, "redMultiplier", Value("text"));
    EXPECT_TRUE(std::isnan(vm.toNumber(vm.getMember(ct, "redMultiplier"))));
    // The accessors live on the prototype and enumerate newest first.
    Value proto = vm.getMember(vm.getMember(vm.getMember(vm.global->get("flash"), "geom"), "ColorTransform"), "prototype");
    QStringList keys = proto.object()->ownKeys();
    ASSERT_GE(keys.size(), 3);
    EXPECT_EQ(keys.mid(0, 3), (QStringList{"toString", "concat", "rgb"}));
    EXPECT_TRUE(vm.getMember(proto, "redOffset").isUndefined()); // no instance behind the prototype
}

TEST(Avm1Geom, TransformReadsAndWritesTheClip)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value root(static_cast<Object*>(vm.root));
    Value t = vm.getMember(root, "transform");
    ASSERT_TRUE(t.isObject());
    vm.setMember(t, "matrix", geom(vm, "Matrix", {Value(2.0), Value(0.0), Value(0.0), Value(3.0), Value(10.0), Value(-4.0)}));
    const auto& m = vm.root->display()->matrix;
    EXPECT_EQ(m.a, 2);
    EXPECT_EQ(m.d, 3);
    EXPECT_EQ(m.tx, 200); // twips
    EXPECT_EQ(m.ty, -80);
    EXPECT_EQ(text(vm, vm.getMember(t, "matrix")), "(a=2, b=0, c=0, d=3, tx=10, ty=-4)");
    vm.setMember(t, "colorTransform", geom(vm, "ColorTransform", {Value(0.5), Value(1.0), Value(1.0), Value(1.0),
                                                                   Value(16.0), Value(0.0), Value(0.0), Value(0.0)}));
    EXPECT_EQ(vm.root->display()->cxform.rMult, 128);
    EXPECT_EQ(vm.root->display()->cxform.rAdd, 16);
    EXPECT_EQ(vm.toNumber(vm.getMember(vm.getMember(t, "colorTransform"), "redMultiplier")), 0.5);
    // Values the fixed-point fields cannot hold saturate instead of wrapping.
    auto* huge = dynamic_cast<ColorTransformObject*>(geom(vm, "ColorTransform").object());
    ASSERT_TRUE(huge);
    huge->mult[0] = 1e12;
    huge->add[1] = -1e12;
    EXPECT_EQ(huge->toSwf().rMult, 32767);
    EXPECT_EQ(huge->toSwf().gAdd, -32768);
    // A transform of nothing reads nothing.
    EXPECT_TRUE(vm.getMember(geom(vm, "Transform", {Value(3.0)}), "matrix").isUndefined());
}
