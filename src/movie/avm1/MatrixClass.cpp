// flash.geom.Matrix: an affine transform stored as six plain properties
// (a, b, c, d, tx, ty), so scripts may read and replace them freely.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/FlashPackage.h"
#include "movie/avm1/Interpreter.h"
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;
const char* const kNames[] = {"a", "b", "c", "d", "tx", "ty"};

struct Affine {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
};

Affine read(Interpreter& vm, const Value& o)
{
    auto n = [&](const char* k) { return vm.toNumber(vm.getMember(o, QLatin1String(k))); };
    return {n("a"), n("b"), n("c"), n("d"), n("tx"), n("ty")};
}

void write(Interpreter& vm, const Value& o, const Affine& m)
{
    const double v[] = {m.a, m.b, m.c, m.d, m.tx, m.ty};
    for (int i = 0; i < 6; ++i)
        vm.setMember(o, QLatin1String(kNames[i]), Value(v[i]));
}

// `m` applied after `t`.
Affine then(const Affine& t, const Affine& m)
{
    return {t.a * m.a + t.b * m.c,         t.a * m.b + t.b * m.d,         t.c * m.a + t.d * m.c,
            t.c * m.b + t.d * m.d,         t.tx * m.a + t.ty * m.c + m.tx, t.tx * m.b + t.ty * m.d + m.ty};
}

double optional(Interpreter& vm, Args a, size_t i)
{
    return i < a.size() ? vm.toNumber(a[i]) : 0.0;
}

} // namespace

void installMatrixClass(Interpreter& vm)
{
    if (!hasFlashPackages(vm))
        return;
    Object* proto = vm.newObject();
    NativeFunction* ctor = vm.newClass(QString(), nullptr, [](Interpreter&, Object* obj, Args a) -> Value {
        const double identity[] = {1, 0, 0, 1, 0, 0};
        for (size_t i = 0; i < 6; ++i)
            obj->define(QLatin1String(kNames[i]), a.empty() ? Value(identity[i]) : arg(a, i));
        return Value(obj);
    }, proto);
    flashPackage(vm, QStringLiteral("geom"))->define(QStringLiteral("Matrix"), Value(static_cast<Object*>(ctor)));

    vm.addMethod(proto, QStringLiteral("clone"), [](Interpreter& vm, const Value& self, Args) {
        std::vector<Value> v;
        for (const char* k : kNames)
            v.push_back(vm.getMember(self, QLatin1String(k)));
        return newPackageInstance(vm, QStringLiteral("geom"), QStringLiteral("Matrix"), v);
    });
    vm.addMethod(proto, QStringLiteral("identity"), [](Interpreter& vm, const Value& self, Args) {
        write(vm, self, Affine{});
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("concat"), [](Interpreter& vm, const Value& self, Args a) {
        write(vm, self, then(read(vm, self), read(vm, arg(a, 0))));
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("invert"), [](Interpreter& vm, const Value& self, Args) {
        const Affine m = read(vm, self);
        const double det = m.a * m.d - m.b * m.c;
        if (det == 0) {
            write(vm, self, Affine{});
            return Value();
        }
        Affine r{m.d / det, -m.b / det, -m.c / det, m.a / det, 0, 0};
        r.tx = -(r.a * m.tx + r.c * m.ty);
        r.ty = -(r.b * m.tx + r.d * m.ty);
        write(vm, self, r);
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("rotate"), [](Interpreter& vm, const Value& self, Args a) {
        const double q = vm.toNumber(arg(a, 0));
        const double cs = std::cos(q), sn = std::sin(q);
        write(vm, self, then(read(vm, self), Affine{cs, sn, -sn, cs, 0, 0}));
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("scale"), [](Interpreter& vm, const Value& self, Args a) {
        const double sx = vm.toNumber(arg(a, 0)), sy = vm.toNumber(arg(a, 1));
        Affine m = read(vm, self);
        write(vm, self, Affine{m.a * sx, m.b * sy, m.c * sx, m.d * sy, m.tx * sx, m.ty * sy});
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("translate"), [](Interpreter& vm, const Value& self, Args a) {
        Affine m = read(vm, self);
        m.tx += vm.toNumber(arg(a, 0));
        m.ty += vm.toNumber(arg(a, 1));
        write(vm, self, m);
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("createBox"), [](Interpreter& vm, const Value& self, Args a) {
        const double sx = vm.toNumber(arg(a, 0)), sy = vm.toNumber(arg(a, 1)), q = vm.toNumber(arg(a, 2));
        const double cs = std::cos(q), sn = std::sin(q);
        write(vm, self, Affine{sx * cs, sy * sn, -sx * sn, sy * cs, optional(vm, a, 3), optional(vm, a, 4)});
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("createGradientBox"), [](Interpreter& vm, const Value& self, Args a) {
        // Gradients are defined on a 1638.4-pixel square centred on the origin.
        const double w = vm.toNumber(arg(a, 0)), h = vm.toNumber(arg(a, 1));
        const double q = a.size() > 2 ? vm.toNumber(a[2]) : 0.0;
        const double sx = w / 1638.4, sy = h / 1638.4, cs = std::cos(q), sn = std::sin(q);
        write(vm, self, Affine{sx * cs, sy * sn, -sx * sn, sy * cs, w / 2 + optional(vm, a, 3), h / 2 + optional(vm, a, 4)});
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("transformPoint"), [](Interpreter& vm, const Value& self, Args a) {
        const Affine m = read(vm, self);
        const double x = vm.toNumber(vm.getMember(arg(a, 0), QStringLiteral("x")));
        const double y = vm.toNumber(vm.getMember(arg(a, 0), QStringLiteral("y")));
        return newGeomPoint(vm, Value(m.a * x + m.c * y + m.tx), Value(m.b * x + m.d * y + m.ty));
    });
    vm.addMethod(proto, QStringLiteral("deltaTransformPoint"), [](Interpreter& vm, const Value& self, Args a) {
        const Affine m = read(vm, self);
        const double x = vm.toNumber(vm.getMember(arg(a, 0), QStringLiteral("x")));
        const double y = vm.toNumber(vm.getMember(arg(a, 0), QStringLiteral("y")));
        return newGeomPoint(vm, Value(m.a * x + m.c * y), Value(m.b * x + m.d * y));
    });
    vm.addMethod(proto, QStringLiteral("toString"), [](Interpreter& vm, const Value& self, Args) {
        QString out = QStringLiteral("(");
        for (int i = 0; i < 6; ++i) {
            if (i)
                out += QStringLiteral(", ");
            out += QLatin1String(kNames[i]) + QLatin1Char('=') + vm.toString(vm.getMember(self, QLatin1String(kNames[i])));
        }
        return Value(out + QLatin1Char(')'));
    });
}

} // namespace nimbrel::movie::avm1
