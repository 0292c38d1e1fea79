// flash.geom.Point: an x/y pair whose arithmetic follows the script operators,
// so text coordinates join as text the way the player's own class does.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/FlashPackage.h"
#include "movie/avm1/Interpreter.h"
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

Value get(Interpreter& vm, const Value& o, const char* name)
{
    return vm.getMember(o, QLatin1String(name));
}

double lengthOf(Interpreter& vm, const Value& p)
{
    const double x = vm.toNumber(get(vm, p, "x")), y = vm.toNumber(get(vm, p, "y"));
    return std::sqrt(x * x + y * y);
}

} // namespace

void installPointClass(Interpreter& vm)
{
    if (!hasFlashPackages(vm))
        return;
    Object* proto = vm.newObject();
    NativeFunction* ctor = vm.newClass(QString(), nullptr, [](Interpreter&, Object* obj, Args a) -> Value {
        obj->define(QStringLiteral("x"), a.empty() ? Value(0.0) : a[0]);
        obj->define(QStringLiteral("y"), a.empty() ? Value(0.0) : arg(a, 1));
        return Value(obj);
    }, proto);
    flashPackage(vm, QStringLiteral("geom"))->define(QStringLiteral("Point"), Value(static_cast<Object*>(ctor)));

    vm.addGetterSetter(proto, QStringLiteral("length"),
                       [](Interpreter& vm, const Value& self, Args) { return Value(lengthOf(vm, self)); }, nullptr);
    vm.addMethod(proto, QStringLiteral("add"), [](Interpreter& vm, const Value& self, Args a) {
        const Value p = arg(a, 0);
        return newGeomPoint(vm, scriptAdd(vm, get(vm, self, "x"), get(vm, p, "x")),
                        scriptAdd(vm, get(vm, self, "y"), get(vm, p, "y")));
    });
    vm.addMethod(proto, QStringLiteral("subtract"), [](Interpreter& vm, const Value& self, Args a) {
        const Value p = arg(a, 0);
        return newGeomPoint(vm, Value(vm.toNumber(get(vm, self, "x")) - vm.toNumber(get(vm, p, "x"))),
                        Value(vm.toNumber(get(vm, self, "y")) - vm.toNumber(get(vm, p, "y"))));
    });
    vm.addMethod(proto, QStringLiteral("clone"), [](Interpreter& vm, const Value& self, Args) {
        return newGeomPoint(vm, get(vm, self, "x"), get(vm, self, "y"));
    });
    vm.addMethod(proto, QStringLiteral("equals"), [ctor](Interpreter& vm, const Value& self, Args a) {
        const Value p = arg(a, 0);
        if (!vm.instanceOf(p, ctor))
            return Value(false);
        return Value(vm.looseEquals(get(vm, self, "x"), get(vm, p, "x")) &&
                     vm.looseEquals(get(vm, self, "y"), get(vm, p, "y")));
    });
    vm.addMethod(proto, QStringLiteral("normalize"), [](Interpreter& vm, const Value& self, Args a) {
        const double len = lengthOf(vm, self);
        if (len > 0) {
            const double k = vm.toNumber(arg(a, 0)) / len;
            vm.setMember(self, QStringLiteral("x"), Value(vm.toNumber(get(vm, self, "x")) * k));
            vm.setMember(self, QStringLiteral("y"), Value(vm.toNumber(get(vm, self, "y")) * k));
        }
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("offset"), [](Interpreter& vm, const Value& self, Args a) {
        vm.setMember(self, QStringLiteral("x"), scriptAdd(vm, get(vm, self, "x"), arg(a, 0)));
        vm.setMember(self, QStringLiteral("y"), scriptAdd(vm, get(vm, self, "y"), arg(a, 1)));
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("toString"), [](Interpreter& vm, const Value& self, Args) {
        return Value(QStringLiteral("(x=") + vm.toString(get(vm, self, "x")) + QStringLiteral(", y=") +
                     vm.toString(get(vm, self, "y")) + QStringLiteral(")"));
    });

    vm.addMethod(ctor, QStringLiteral("distance"), [](Interpreter& vm, const Value&, Args a) -> Value {
        // The difference of the two points, measured: undefined unless the first can subtract.
        const Value first = arg(a, 0);
        if (!vm.getMember(first, QStringLiteral("subtract")).isObject())
            return Value();
        return vm.getMember(vm.callMethod(first, QStringLiteral("subtract"), {arg(a, 1)}), QStringLiteral("length"));
    });
    vm.addMethod(ctor, QStringLiteral("interpolate"), [](Interpreter& vm, const Value&, Args a) {
        const Value p1 = arg(a, 0), p2 = arg(a, 1);
        const double f = vm.toNumber(arg(a, 2));
        auto mix = [&](const char* k) {
            const Value b = get(vm, p2, k);
            return scriptAdd(vm, b, Value((vm.toNumber(get(vm, p1, k)) - vm.toNumber(b)) * f));
        };
        return newGeomPoint(vm, mix("x"), mix("y"));
    });
    vm.addMethod(ctor, QStringLiteral("polar"), [](Interpreter& vm, const Value&, Args a) {
        const double len = vm.toNumber(arg(a, 0)), angle = vm.toNumber(arg(a, 1));
        return newGeomPoint(vm, Value(len * std::cos(angle)), Value(len * std::sin(angle)));
    });
}

} // namespace nimbrel::movie::avm1
