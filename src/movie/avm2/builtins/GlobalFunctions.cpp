#include "movie/avm2/builtins/GlobalFunctions.h"
#include "movie/avm1/NumberFormat.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include <cmath>

namespace nimbrel::movie::avm2 {

namespace {
Value trace(Runtime& rt, const Value&, Args a) {
    QStringList parts;
    for (int i = 0; i < a.count; ++i) parts.append(rt.toString(a[i]));
    rt.host.trace(parts.join(QLatin1Char(' ')));
    return Value();
}
Value isNaN(Runtime& rt, const Value&, Args a) { return Value::boolean(std::isnan(native::numberArg(rt, a, 0, std::nan("")))); }
Value isFinite(Runtime& rt, const Value&, Args a) { return Value::boolean(std::isfinite(native::numberArg(rt, a, 0, std::nan("")))); }
Value parseInt(Runtime& rt, const Value&, Args a) {
    const bool radixGiven = a.count > 1 && !a[1].isUndefined();
    return Value::number(avm1::parseIntText(native::stringArg(rt, a, 0, QStringLiteral("undefined")),
                                            radixGiven ? rt.toInt32(a[1]) : 0, radixGiven && rt.toInt32(a[1]) != 0));
}
Value parseFloat(Runtime& rt, const Value&, Args a) {
    return Value::number(avm1::parseFloatText(native::stringArg(rt, a, 0, QStringLiteral("undefined"))));
}
Value qualifiedClassName(Runtime& rt, const Value&, Args a) {
    if (a[0].isNull()) return Value::string(QStringLiteral("null"));
    if (a[0].isUndefined()) return Value::string(QStringLiteral("void"));
    if (a[0].isObject() && a[0].obj()->type == ScriptObject::Type::Class)
        return Value::string(static_cast<ClassObject*>(a[0].obj())->qualifiedName());
    if (a[0].kind == Value::Kind::Int) return Value::string(QStringLiteral("int"));
    return Value::string(rt.classOf(a[0])->qualifiedName());
}
Value getTimer(Runtime& rt, const Value&, Args) { return Value::integer(int32_t(rt.host.movieTimeMs())); }
} // namespace

void GlobalFunctions::install(Runtime& rt) {
    rt.defineNativeFunction(QStringLiteral("trace"), trace, 1);
    rt.defineNativeFunction(QStringLiteral("print"), trace, 1);
    rt.defineNativeFunction(QStringLiteral("isNaN"), isNaN, 1);
    rt.defineNativeFunction(QStringLiteral("isFinite"), isFinite, 1);
    rt.defineNativeFunction(QStringLiteral("parseInt"), parseInt, 2);
    rt.defineNativeFunction(QStringLiteral("parseFloat"), parseFloat, 1);
    rt.defineGlobalValue(QString(), QStringLiteral("NaN"), Value::number(std::nan("")));
    rt.defineGlobalValue(QString(), QStringLiteral("Infinity"), Value::number(INFINITY));
    rt.defineGlobalValue(QString(), QStringLiteral("undefined"), Value());
    auto fn = rt.makeFunction(MethodRef{nullptr, 0, qualifiedClassName, nullptr, 1}, nullptr);
    // The virtual machine's own test suite imports it from the avmplus package.
    for (const char* package : {"flash.utils", "avmplus"})
        rt.defineGlobalValue(QString::fromLatin1(package), QStringLiteral("getQualifiedClassName"), Value::object(fn));
    auto timer = rt.makeFunction(MethodRef{nullptr, 0, getTimer}, nullptr);
    rt.defineGlobalValue(QStringLiteral("flash.utils"), QStringLiteral("getTimer"), Value::object(timer));
}

} // namespace nimbrel::movie::avm2
