#include "movie/avm2/builtins/ApplicationDomainClass.h"
#include "movie/avm2/ByteArrayObject.h"
#include "movie/avm2/Runtime.h"

namespace nimbrel::movie::avm2 {

namespace {
Value currentDomain(Runtime& rt, const Value&, Args) {
    if (!rt.currentDomain) {
        rt.currentDomain = rt.builtin(QStringLiteral("flash.system.ApplicationDomain"))->allocate();
        rt.keep(rt.currentDomain);
    }
    return Value::object(rt.currentDomain);
}
Value getDomainMemory(Runtime& rt, const Value&, Args) { return rt.domainMemory ? Value::object(rt.domainMemory) : Value::null(); }
Value setDomainMemory(Runtime& rt, const Value&, Args a) {
    if (a[0].isNullish()) {
        rt.domainMemory = nullptr;
        return Value();
    }
    if (!a[0].isObject() || a[0].obj()->type != ScriptObject::Type::ByteArray)
        rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(a[0]), QStringLiteral("flash.utils.ByteArray")});
    // Memory smaller than the documented minimum is refused.
    if (static_cast<ByteArrayObject*>(a[0].obj())->bytes.size() < ApplicationDomainClass::MinDomainMemoryLength)
        rt.raise(QStringLiteral("RangeError"), 1506);
    rt.domainMemory = a[0].o;
    return Value();
}
Value getDefinition(Runtime& rt, const Value&, Args a) {
    const QString name = rt.toString(a[0]).replace(QStringLiteral("::"), QStringLiteral("."));
    auto cls = rt.findClass(name);
    if (!cls) rt.raise(QStringLiteral("ReferenceError"), 1065, {name});
    return Value::object(cls);
}
Value hasDefinition(Runtime& rt, const Value&, Args a) {
    return Value::boolean(rt.findClass(rt.toString(a[0]).replace(QStringLiteral("::"), QStringLiteral("."))) != nullptr);
}
Value parentDomain(Runtime&, const Value&, Args) { return Value::null(); }
Value construct(Runtime&, const Value&, Args) { return Value(); }
} // namespace

void ApplicationDomainClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.system"), QStringLiteral("ApplicationDomain"), rt.builtin(QStringLiteral("Object")),
                                    {{"get domainMemory", getDomainMemory}, {"set domainMemory", setDomainMemory},
                                     {"get parentDomain", parentDomain}, {"getDefinition", getDefinition, 1},
                                     {"hasDefinition", hasDefinition, 1}},
                                    {{"get currentDomain", currentDomain}});
    cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 1};
    cls->dynamicInstances = false;
    cls->isFinal = true;
    rt.defineStaticConstant(*cls, QStringLiteral("MIN_DOMAIN_MEMORY_LENGTH"), Value::integer(MinDomainMemoryLength));
}

} // namespace nimbrel::movie::avm2
