#include "movie/avm2/builtins/NumberClass.h"
#include "movie/avm2/NumberText.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include <cfloat>
#include <cmath>

namespace nimbrel::movie::avm2 {

namespace {
double thisNumber(Runtime& rt, const Value& self) {
    if (self.isNumeric()) return self.numberValue();
    // Number.prototype itself reads as 0; anything else is the wrong receiver.
    for (const char* name : {"Number", "int", "uint"})
        if (self.isObject() && self.obj() == rt.builtin(QString::fromLatin1(name))->prototype.get()) return 0;
    rt.raise(QStringLiteral("TypeError"), 1004, {QStringLiteral("Number.prototype.toString")});
}

int digitsArg(Runtime& rt, Args a, int low, int high, int fallback) {
    const double d = native::numberArg(rt, a, 0, fallback);
    if (std::isnan(d) || d < low || d > high) rt.raise(QStringLiteral("RangeError"), 1002);
    return int(d);
}

Value toString(Runtime& rt, const Value& self, Args a) {
    const double radix = native::numberArg(rt, a, 0, 10);
    if (radix < 2 || radix > 36 || std::isnan(radix)) rt.raise(QStringLiteral("RangeError"), 1003, {NumberText::format(radix)});
    return Value::string(NumberText::toRadix(thisNumber(rt, self), int(radix)));
}
Value valueOf(Runtime& rt, const Value& self, Args) { return Value::number(thisNumber(rt, self)); }
Value toFixed(Runtime& rt, const Value& self, Args a) {
    return Value::string(NumberText::toFixed(thisNumber(rt, self), digitsArg(rt, a, 0, 20, 0)));
}
Value toExponential(Runtime& rt, const Value& self, Args a) {
    const int digits = a.count > 0 && !a[0].isUndefined() ? digitsArg(rt, a, 0, 20, 0) : -1;
    return Value::string(NumberText::toExponential(thisNumber(rt, self), digits));
}
Value toPrecision(Runtime& rt, const Value& self, Args a) {
    if (a.count == 0 || a[0].isUndefined()) return Value::string(NumberText::format(thisNumber(rt, self)));
    return Value::string(NumberText::toPrecision(thisNumber(rt, self), digitsArg(rt, a, 1, 21, 1)));
}

Value makeNumber(Runtime& rt, const Value&, Args a) { return Value::number(a.count ? rt.toNumber(a[0]) : 0); }
Value makeInt(Runtime& rt, const Value&, Args a) { return Value::integer(a.count ? rt.toInt32(a[0]) : 0); }
Value makeUint(Runtime& rt, const Value&, Args a) { return Value::unsignedInt(a.count ? rt.toUint32(a[0]) : 0); }

void constant(Runtime& rt, ClassObject& cls, const char* name, double v) {
    rt.defineStaticConstant(cls, QString::fromLatin1(name), Value::number(v));
}
} // namespace

void NumberClass::install(Runtime& rt) {
    ClassObject* object = rt.builtin(QStringLiteral("Object"));
    struct Kind {
        const char* name;
        NativeFn make;
    };
    for (Kind k : {Kind{"Number", makeNumber}, Kind{"int", makeInt}, Kind{"uint", makeUint}}) {
        auto cls = rt.defineNativeClass(QString(), QString::fromLatin1(k.name), object,
                                        {{"toString", toString, 1}, {"toLocaleString", toString}, {"valueOf", valueOf},
                                         {"toFixed", toFixed, 1}, {"toExponential", toExponential, 1},
                                         {"toPrecision", toPrecision, 1}});
        cls->callAsFunction = k.make;
        cls->constructor = MethodRef{nullptr, 0, k.make, cls.get(), 1};
        cls->isFinal = true;
    }
    ClassObject& number = *rt.builtin(QStringLiteral("Number"));
    constant(rt, number, "MAX_VALUE", DBL_MAX);
    constant(rt, number, "MIN_VALUE", 4.9406564584124654e-324);
    constant(rt, number, "NaN", std::nan(""));
    constant(rt, number, "POSITIVE_INFINITY", INFINITY);
    constant(rt, number, "NEGATIVE_INFINITY", -INFINITY);
    constant(rt, *rt.builtin(QStringLiteral("int")), "MAX_VALUE", 2147483647.0);
    constant(rt, *rt.builtin(QStringLiteral("int")), "MIN_VALUE", -2147483648.0);
    constant(rt, *rt.builtin(QStringLiteral("uint")), "MAX_VALUE", 4294967295.0);
    constant(rt, *rt.builtin(QStringLiteral("uint")), "MIN_VALUE", 0);
}

} // namespace nimbrel::movie::avm2
