// Math: constants and functions.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include <QRandomGenerator>
#include <cmath>

namespace nimbrel::movie::avm1 {

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
    auto unary = [&](const char* name, double (*f)(double)) {
        vm.addMethod(math, QString::fromLatin1(name), [f](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
            if (args.empty())
                return Value(std::nan(""));
            return Value(f(vm.toNumber(args[0])));
        });
    };
    unary("abs", [](double x) { return std::fabs(x); });
    unary("acos", [](double x) { return std::acos(x); });
    unary("asin", [](double x) { return std::asin(x); });
    unary("atan", [](double x) { return std::atan(x); });
    unary("ceil", [](double x) { return std::ceil(x); });
    unary("cos", [](double x) { return std::cos(x); });
    unary("exp", [](double x) { return std::exp(x); });
    unary("floor", [](double x) { return std::floor(x); });
    unary("log", [](double x) { return std::log(x); });
    unary("round", [](double x) { return std::floor(x + 0.5); });
    unary("sin", [](double x) { return std::sin(x); });
    unary("sqrt", [](double x) { return std::sqrt(x); });
    unary("tan", [](double x) { return std::tan(x); });
    vm.addMethod(math, QStringLiteral("atan2"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        if (args.size() < 2)
            return Value(std::nan(""));
        return Value(std::atan2(vm.toNumber(args[0]), vm.toNumber(args[1])));
    });
    vm.addMethod(math, QStringLiteral("pow"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        if (args.size() < 2)
            return Value(std::nan(""));
        return Value(std::pow(vm.toNumber(args[0]), vm.toNumber(args[1])));
    });
    vm.addMethod(math, QStringLiteral("max"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        if (args.empty())
            return Value(-INFINITY);
        if (args.size() < 2)
            return Value(std::nan(""));
        double a = vm.toNumber(args[0]), b = vm.toNumber(args[1]);
        if (std::isnan(a) || std::isnan(b))
            return Value(std::nan(""));
        return Value(a > b ? a : b);
    });
    vm.addMethod(math, QStringLiteral("min"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        if (args.empty())
            return Value(INFINITY);
        if (args.size() < 2)
            return Value(std::nan(""));
        double a = vm.toNumber(args[0]), b = vm.toNumber(args[1]);
        if (std::isnan(a) || std::isnan(b))
            return Value(std::nan(""));
        return Value(a < b ? a : b);
    });
    vm.addMethod(math, QStringLiteral("random"), [](Interpreter&, const Value&, const std::vector<Value>&) -> Value {
        return Value(QRandomGenerator::global()->generateDouble());
    });
}

} // namespace nimbrel::movie::avm1
