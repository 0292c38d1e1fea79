// flash.geom.Rectangle: x, y, width and height as plain properties with the
// edge and corner views computed from them.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/FlashPackage.h"
#include "movie/avm1/Interpreter.h"
#include <algorithm>

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

struct Box {
    double x, y, w, h;
    bool empty() const { return !(w > 0) || !(h > 0); }
};

double num(Interpreter& vm, const Value& o, const char* name)
{
    return vm.toNumber(vm.getMember(o, QLatin1String(name)));
}

Box boxOf(Interpreter& vm, const Value& o)
{
    return {num(vm, o, "x"), num(vm, o, "y"), num(vm, o, "width"), num(vm, o, "height")};
}

void put(Interpreter& vm, const Value& o, const char* name, const Value& v)
{
    vm.setMember(o, QLatin1String(name), v);
}

void store(Interpreter& vm, const Value& o, const Box& b)
{
    put(vm, o, "x", b.x);
    put(vm, o, "y", b.y);
    put(vm, o, "width", b.w);
    put(vm, o, "height", b.h);
}

Value newRect(Interpreter& vm, const Box& b)
{
    return newPackageInstance(vm, QStringLiteral("geom"), QStringLiteral("Rectangle"),
                              {Value(b.x), Value(b.y), Value(b.w), Value(b.h)});
}

bool containsPoint(const Box& b, double px, double py)
{
    return px >= b.x && px < b.x + b.w && py >= b.y && py < b.y + b.h;
}

} // namespace

void installRectangleClass(Interpreter& vm)
{
    if (!hasFlashPackages(vm))
        return;
    Object* proto = vm.newObject();
    NativeFunction* ctor = vm.newClass(QString(), nullptr, [](Interpreter&, Object* obj, Args a) -> Value {
        const char* names[] = {"x", "y", "width", "height"};
        for (size_t i = 0; i < 4; ++i)
            obj->define(QLatin1String(names[i]), a.empty() ? Value(0.0) : arg(a, i));
        return Value(obj);
    }, proto);
    flashPackage(vm, QStringLiteral("geom"))->define(QStringLiteral("Rectangle"), Value(static_cast<Object*>(ctor)));

    auto getter = [&vm, proto](const char* name, NativeFunction::Fn get, NativeFunction::Fn set) {
        vm.addGetterSetter(proto, QLatin1String(name), std::move(get), std::move(set));
    };
    getter("left", [](Interpreter& vm, const Value& self, Args) { return vm.getMember(self, QStringLiteral("x")); },
           [](Interpreter& vm, const Value& self, Args a) {
               const double v = vm.toNumber(arg(a, 0));
               put(vm, self, "width", num(vm, self, "width") + num(vm, self, "x") - v);
               put(vm, self, "x", v);
               return Value();
           });
    getter("top", [](Interpreter& vm, const Value& self, Args) { return vm.getMember(self, QStringLiteral("y")); },
           [](Interpreter& vm, const Value& self, Args a) {
               const double v = vm.toNumber(arg(a, 0));
               put(vm, self, "height", num(vm, self, "height") + num(vm, self, "y") - v);
               put(vm, self, "y", v);
               return Value();
           });
    getter("right",
           [](Interpreter& vm, const Value& self, Args) {
               return scriptAdd(vm, vm.getMember(self, QStringLiteral("x")), vm.getMember(self, QStringLiteral("width")));
           },
           [](Interpreter& vm, const Value& self, Args a) {
               put(vm, self, "width", vm.toNumber(arg(a, 0)) - num(vm, self, "x"));
               return Value();
           });
    getter("bottom",
           [](Interpreter& vm, const Value& self, Args) {
               return scriptAdd(vm, vm.getMember(self, QStringLiteral("y")), vm.getMember(self, QStringLiteral("height")));
           },
           [](Interpreter& vm, const Value& self, Args a) {
               put(vm, self, "height", vm.toNumber(arg(a, 0)) - num(vm, self, "y"));
               return Value();
           });
    getter("topLeft",
           [](Interpreter& vm, const Value& self, Args) {
               return newGeomPoint(vm, vm.getMember(self, QStringLiteral("x")), vm.getMember(self, QStringLiteral("y")));
           },
           [](Interpreter& vm, const Value& self, Args a) {
               const double px = num(vm, arg(a, 0), "x"), py = num(vm, arg(a, 0), "y");
               put(vm, self, "width", num(vm, self, "width") + num(vm, self, "x") - px);
               put(vm, self, "height", num(vm, self, "height") + num(vm, self, "y") - py);
               put(vm, self, "x", px);
               put(vm, self, "y", py);
               return Value();
           });
    getter("bottomRight",
           [](Interpreter& vm, const Value& self, Args) {
               return newGeomPoint(vm, vm.getMember(self, QStringLiteral("right")), vm.getMember(self, QStringLiteral("bottom")));
           },
           [](Interpreter& vm, const Value& self, Args a) {
               put(vm, self, "width", num(vm, arg(a, 0), "x") - num(vm, self, "x"));
               put(vm, self, "height", num(vm, arg(a, 0), "y") - num(vm, self, "y"));
               return Value();
           });
    getter("size",
           [](Interpreter& vm, const Value& self, Args) {
               return newGeomPoint(vm, vm.getMember(self, QStringLiteral("width")), vm.getMember(self, QStringLiteral("height")));
           },
           [](Interpreter& vm, const Value& self, Args a) {
               put(vm, self, "width", vm.getMember(arg(a, 0), QStringLiteral("x")));
               put(vm, self, "height", vm.getMember(arg(a, 0), QStringLiteral("y")));
               return Value();
           });

    vm.addMethod(proto, QStringLiteral("clone"), [](Interpreter& vm, const Value& self, Args) {
        return newPackageInstance(vm, QStringLiteral("geom"), QStringLiteral("Rectangle"),
                                  {vm.getMember(self, QStringLiteral("x")), vm.getMember(self, QStringLiteral("y")),
                                   vm.getMember(self, QStringLiteral("width")),
                                   vm.getMember(self, QStringLiteral("height"))});
    });
    vm.addMethod(proto, QStringLiteral("isEmpty"), [](Interpreter& vm, const Value& self, Args) {
        return Value(boxOf(vm, self).empty());
    });
    vm.addMethod(proto, QStringLiteral("setEmpty"), [](Interpreter& vm, const Value& self, Args) {
        store(vm, self, Box{0, 0, 0, 0});
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("contains"), [](Interpreter& vm, const Value& self, Args a) {
        return Value(containsPoint(boxOf(vm, self), vm.toNumber(arg(a, 0)), vm.toNumber(arg(a, 1))));
    });
    vm.addMethod(proto, QStringLiteral("containsPoint"), [](Interpreter& vm, const Value& self, Args a) {
        return Value(containsPoint(boxOf(vm, self), num(vm, arg(a, 0), "x"), num(vm, arg(a, 0), "y")));
    });
    vm.addMethod(proto, QStringLiteral("containsRectangle"), [](Interpreter& vm, const Value& self, Args a) {
        const Box b = boxOf(vm, self), r = boxOf(vm, arg(a, 0));
        return Value(r.x >= b.x && r.y >= b.y && r.x + r.w <= b.x + b.w && r.y + r.h <= b.y + b.h);
    });
    vm.addMethod(proto, QStringLiteral("equals"), [ctor](Interpreter& vm, const Value& self, Args a) {
        if (!vm.instanceOf(arg(a, 0), ctor))
            return Value(false);
        const Box b = boxOf(vm, self), r = boxOf(vm, arg(a, 0));
        return Value(b.x == r.x && b.y == r.y && b.w == r.w && b.h == r.h);
    });
    vm.addMethod(proto, QStringLiteral("inflate"), [](Interpreter& vm, const Value& self, Args a) {
        Box b = boxOf(vm, self);
        const double dx = vm.toNumber(arg(a, 0)), dy = vm.toNumber(arg(a, 1));
        store(vm, self, Box{b.x - dx, b.y - dy, b.w + 2 * dx, b.h + 2 * dy});
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("inflatePoint"), [](Interpreter& vm, const Value& self, Args a) {
        Box b = boxOf(vm, self);
        const double dx = num(vm, arg(a, 0), "x"), dy = num(vm, arg(a, 0), "y");
        store(vm, self, Box{b.x - dx, b.y - dy, b.w + 2 * dx, b.h + 2 * dy});
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("offset"), [](Interpreter& vm, const Value& self, Args a) {
        put(vm, self, "x", scriptAdd(vm, vm.getMember(self, QStringLiteral("x")), arg(a, 0)));
        put(vm, self, "y", scriptAdd(vm, vm.getMember(self, QStringLiteral("y")), arg(a, 1)));
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("offsetPoint"), [](Interpreter& vm, const Value& self, Args a) {
        put(vm, self, "x", scriptAdd(vm, vm.getMember(self, QStringLiteral("x")), vm.getMember(arg(a, 0), "x")));
        put(vm, self, "y", scriptAdd(vm, vm.getMember(self, QStringLiteral("y")), vm.getMember(arg(a, 0), "y")));
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("intersects"), [](Interpreter& vm, const Value& self, Args a) {
        const Box b = boxOf(vm, self), r = boxOf(vm, arg(a, 0));
        return Value(std::max(b.x, r.x) < std::min(b.x + b.w, r.x + r.w) &&
                     std::max(b.y, r.y) < std::min(b.y + b.h, r.y + r.h));
    });
    vm.addMethod(proto, QStringLiteral("intersection"), [](Interpreter& vm, const Value& self, Args a) {
        const Box b = boxOf(vm, self), r = boxOf(vm, arg(a, 0));
        const double l = std::max(b.x, r.x), t = std::max(b.y, r.y);
        const double rt = std::min(b.x + b.w, r.x + r.w), bt = std::min(b.y + b.h, r.y + r.h);
        if (!(l < rt) || !(t < bt))
            return newRect(vm, Box{0, 0, 0, 0});
        return newRect(vm, Box{l, t, rt - l, bt - t});
    });
    vm.addMethod(proto, QStringLiteral("union"), [](Interpreter& vm, const Value& self, Args a) {
        const Box b = boxOf(vm, self), r = boxOf(vm, arg(a, 0));
        if (b.empty())
            return newRect(vm, r);
        if (r.empty())
            return newRect(vm, b);
        const double l = std::min(b.x, r.x), t = std::min(b.y, r.y);
        return newRect(vm, Box{l, t, std::max(b.x + b.w, r.x + r.w) - l, std::max(b.y + b.h, r.y + r.h) - t});
    });
    vm.addMethod(proto, QStringLiteral("toString"), [](Interpreter& vm, const Value& self, Args) {
        auto s = [&](const char* k) { return vm.toString(vm.getMember(self, QLatin1String(k))); };
        return Value(QStringLiteral("(x=%1, y=%2, w=%3, h=%4)").arg(s("x"), s("y"), s("width"), s("height")));
    });
}

} // namespace nimbrel::movie::avm1
