// Number: the boxed number, toString with a radix, and the constants.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/NumberFormat.h"
#include <cmath>
#include <limits>

namespace nimbrel::movie::avm1 {

double numberArgument(Interpreter& vm, const Value& v)
{
    if (v.isString() && v.s.isEmpty())
        return std::numeric_limits<double>::quiet_NaN();
    return vm.toNumber(v);
}

void installNumberClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    proto->hasPrimitive = true;
    proto->primitive = Value(0.0);
    vm.numberProto = proto;
    auto* ctor = vm.newClass(
        QStringLiteral("Number"),
        [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
            return Value(args.empty() ? 0.0 : numberArgument(vm, args[0]));
        },
        [](Interpreter& vm, Object* obj, const std::vector<Value>& args) -> Value {
            obj->hasPrimitive = true;
            obj->primitive = Value(args.empty() ? 0.0 : numberArgument(vm, args[0]));
            return Value(obj);
        },
        proto);
    const unsigned char fixed = DontEnum | DontDelete | ReadOnly;
    ctor->define(QStringLiteral("MAX_VALUE"), Value(std::numeric_limits<double>::max()), fixed);
    ctor->define(QStringLiteral("MIN_VALUE"), Value(std::numeric_limits<double>::denorm_min()), fixed);
    ctor->define(QStringLiteral("NaN"), Value(std::numeric_limits<double>::quiet_NaN()), fixed);
    ctor->define(QStringLiteral("NEGATIVE_INFINITY"), Value(-std::numeric_limits<double>::infinity()), fixed);
    ctor->define(QStringLiteral("POSITIVE_INFINITY"), Value(std::numeric_limits<double>::infinity()), fixed);

    auto selfNumber = [](Interpreter& vm, const Value& self) -> double {
        if (self.isNumber())
            return self.n;
        if (Object* o = self.object(); o && o->hasPrimitive)
            return vm.toNumber(o->primitive);
        return std::numeric_limits<double>::quiet_NaN();
    };
    vm.addMethod(proto, QStringLiteral("toString"), [selfNumber](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        double v = selfNumber(vm, self);
        int radix = args.empty() || args[0].isUndefined() ? 10 : vm.toInt32(args[0]);
        if (radix == 10 || radix < 2 || radix > 36)
            return Value(numberToString(v));
        return Value(numberToRadixString(v, radix));
    });
    vm.addMethod(proto, QStringLiteral("valueOf"), [selfNumber](Interpreter& vm, const Value& self, const std::vector<Value>&) -> Value {
        return Value(selfNumber(vm, self));
    });
}

} // namespace nimbrel::movie::avm1
