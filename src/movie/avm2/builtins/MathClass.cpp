#include "movie/avm2/builtins/MathClass.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include <cmath>
#include <random>

namespace nimbrel::movie::avm2 {

namespace {
// The functions take their parameters as required ones: too few is an ArgumentError.
double arg(Runtime& rt, Args a, int i) {
    if (a.count <= i)
        rt.raise(QStringLiteral("ArgumentError"), 1063, {QStringLiteral("Math function"), QString::number(i + 1), QString::number(a.count)});
    return rt.toNumber(a[i]);
}

#define NIMBREL_MATH_1(fn, expr) \
    Value fn(Runtime& rt, const Value&, Args a) { const double x = arg(rt, a, 0); return Value::number(expr); }
NIMBREL_MATH_1(mathAbs, std::fabs(x))
NIMBREL_MATH_1(mathAcos, std::acos(x))
NIMBREL_MATH_1(mathAsin, std::asin(x))
NIMBREL_MATH_1(mathAtan, std::atan(x))
NIMBREL_MATH_1(mathCeil, std::ceil(x))
NIMBREL_MATH_1(mathCos, std::cos(x))
NIMBREL_MATH_1(mathExp, std::exp(x))
NIMBREL_MATH_1(mathFloor, std::floor(x))
NIMBREL_MATH_1(mathLog, std::log(x))
NIMBREL_MATH_1(mathSin, std::sin(x))
NIMBREL_MATH_1(mathSqrt, std::sqrt(x))
NIMBREL_MATH_1(mathTan, std::tan(x))
// Halves round up, toward +Infinity, and -0.5 gives -0.
NIMBREL_MATH_1(mathRound, (std::isnan(x) || std::isinf(x)) ? x : (x < 0 && x >= -0.5) ? -0.0 : std::floor(x + 0.5))
#undef NIMBREL_MATH_1

Value mathAtan2(Runtime& rt, const Value&, Args a) { return Value::number(std::atan2(arg(rt, a, 0), arg(rt, a, 1))); }
Value mathPow(Runtime& rt, const Value&, Args a) {
    const double x = arg(rt, a, 0), y = arg(rt, a, 1);
    if (std::isnan(y) || ((x == 1 || x == -1) && std::isinf(y))) return Value::number(std::nan(""));
    return Value::number(std::pow(x, y));
}
Value extreme(Runtime& rt, Args a, bool max) {
    double best = max ? -INFINITY : INFINITY;
    for (int i = 0; i < a.count; ++i) {
        const double x = rt.toNumber(a[i]);
        if (std::isnan(x)) return Value::number(x);
        if (max ? (x > best || (x == 0 && best == 0 && !std::signbit(x))) : (x < best || (x == 0 && best == 0 && std::signbit(x))))
            best = x;
    }
    return Value::number(best);
}
Value mathMax(Runtime& rt, const Value&, Args a) { return extreme(rt, a, true); }
Value mathMin(Runtime& rt, const Value&, Args a) { return extreme(rt, a, false); }
Value mathRandom(Runtime&, const Value&, Args) {
    static std::mt19937_64 engine{std::random_device{}()};
    return Value::number(std::uniform_real_distribution<double>(0, 1)(engine));
}
} // namespace

void MathClass::install(Runtime& rt) {
    auto math = rt.defineNativeClass(QString(), QStringLiteral("Math"), rt.builtin(QStringLiteral("Object")), {},
                                     {{"abs", mathAbs, 1}, {"acos", mathAcos, 1}, {"asin", mathAsin, 1},
                                      {"atan", mathAtan, 1}, {"atan2", mathAtan2, 2}, {"ceil", mathCeil, 1},
                                      {"cos", mathCos, 1}, {"exp", mathExp, 1}, {"floor", mathFloor, 1},
                                      {"log", mathLog, 1}, {"max", mathMax, 2}, {"min", mathMin, 2},
                                      {"pow", mathPow, 2}, {"random", mathRandom}, {"round", mathRound, 1},
                                      {"sin", mathSin, 1}, {"sqrt", mathSqrt, 1}, {"tan", mathTan, 1}});
    const std::pair<const char*, double> constants[] = {
        {"E", M_E}, {"LN10", M_LN10}, {"LN2", M_LN2}, {"LOG10E", M_LOG10E}, {"LOG2E", M_LOG2E},
        {"PI", M_PI}, {"SQRT1_2", M_SQRT1_2}, {"SQRT2", M_SQRT2}};
    for (const auto& [name, v] : constants) rt.defineStaticConstant(*math, QString::fromLatin1(name), Value::number(v));
    // Number carries the same functions as statics of its own, and the
    // constants as plain properties scripts may overwrite.
    ClassObject& number = *rt.builtin(QStringLiteral("Number"));
    auto merged = std::make_shared<TraitTable>(*number.traits);
    for (const auto& [name, bindings] : math->traits->all().asKeyValueRange())
        for (const Binding& b : bindings)
            if (b.kind == Binding::Kind::Method) merged->put(b);
    std::vector<Value> values = number.slotValues;
    number.layOut(merged);
    number.slotValues = values;
    for (const auto& [name, v] : constants) number.setOwn(QString::fromLatin1(name), Value::number(v), false);
    math->isFinal = true;
    math->constructor = MethodRef{nullptr, 0, [](Runtime& rt, const Value&, Args) -> Value { rt.raise(QStringLiteral("TypeError"), 1076); },
                                  math.get(), 0};
}

} // namespace nimbrel::movie::avm2
