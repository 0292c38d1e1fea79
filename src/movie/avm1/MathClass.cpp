// Math: constants and the numbered functions of table 200.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/NativeTables.h"
#include <QRandomGenerator>
#include <cmath>
#include <limits>

namespace nimbrel::movie::avm1 {

namespace {

const char* const kMathNames[] = {"abs",  "min",   "max",   "sin",  "cos",  "atan2", "tan",
                                  "exp",  "log",   "sqrt",  "round", "random", "floor", "ceil",
                                  "atan", "asin",  "acos",  "pow"};

} // namespace

Value callMathNative(Interpreter& vm, int index, const std::vector<Value>& args)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // The player converts the first two arguments, left to right, whatever the function uses.
    const double x = args.size() > 0 ? vm.toNumber(args[0]) : nan;
    const double y = args.size() > 1 ? vm.toNumber(args[1]) : nan;
    const bool none = args.empty();
    switch (index) {
    case 0: return Value(std::fabs(x));
    case 1:
    case 2:
        if (none)
            return Value(index == 1 ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity());
        if (std::isnan(x) || std::isnan(y))
            return Value(nan);
        return Value(index == 1 ? (x < y ? x : y) : (x > y ? x : y));
    case 3: return Value(std::sin(x));
    case 4: return Value(std::cos(x));
    case 5: return Value(std::atan2(x, y));
    case 6: return Value(std::tan(x));
    case 7: return Value(std::exp(x));
    case 8: return Value(std::log(x));
    case 9: return Value(std::sqrt(x));
    case 10: return Value(std::floor(x + 0.5));
    case 11: return Value(QRandomGenerator::global()->generateDouble());
    case 12: return Value(std::floor(x));
    case 13: return Value(std::ceil(x));
    case 14: return Value(std::atan(x));
    case 15: return Value(std::asin(x));
    case 16: return Value(std::acos(x));
    case 17: return Value(std::pow(x, y));
    case 18: return Value(std::isnan(x));
    case 19: return Value(std::isfinite(x));
    default: return Value(nan);
    }
}

void installMathClass(Interpreter& vm)
{
    Object* math = vm.newObject();
    vm.global->define(QStringLiteral("Math"), Value(math), DontEnum);
    const unsigned char fixed = DontEnum | DontDelete | ReadOnly;
    math->define(QStringLiteral("E"), Value(M_E), fixed);
    math->define(QStringLiteral("LN10"), Value(M_LN10), fixed);
    math->define(QStringLiteral("LN2"), Value(M_LN2), fixed);
    math->define(QStringLiteral("LOG10E"), Value(M_LOG10E), fixed);
    math->define(QStringLiteral("LOG2E"), Value(M_LOG2E), fixed);
    math->define(QStringLiteral("PI"), Value(M_PI), fixed);
    math->define(QStringLiteral("SQRT1_2"), Value(M_SQRT1_2), fixed);
    math->define(QStringLiteral("SQRT2"), Value(M_SQRT2), fixed);
    for (int i = 0; i < int(std::size(kMathNames)); ++i)
        vm.addMethod(math, QString::fromLatin1(kMathNames[i]), [i](Interpreter& vm, const Value&, const std::vector<Value>& args) {
            return callMathNative(vm, i, args);
        });
}

} // namespace nimbrel::movie::avm1
