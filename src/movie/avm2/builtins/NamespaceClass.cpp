#include "movie/avm2/builtins/NamespaceClass.h"
#include "movie/avm2/builtins/NativeSupport.h"

namespace nimbrel::movie::avm2 {

namespace {
// The URI is the object's primitive; the prefix a hidden property.
const QString kPrefix = QStringLiteral(" prefix");

ScriptObject& thisNamespace(Runtime& rt, const Value& self) {
    if (!self.isObject() || self.obj()->type != ScriptObject::Type::Namespace)
        rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("Namespace")});
    return *self.obj();
}
ObjectPtr allocate(const ClassObject&) {
    auto ns = std::make_shared<ScriptObject>(ScriptObject::Type::Namespace);
    ns->primitive = Value::string(QString());
    return ns;
}
QString uriOf(Runtime& rt, const Value& v) {
    if (v.isObject() && v.obj()->type == ScriptObject::Type::Namespace) return v.obj()->primitive.s;
    return v.isNullish() && !v.isNull() ? QString() : rt.toString(v);
}
Value construct(Runtime& rt, const Value& self, Args a) {
    ScriptObject& ns = thisNamespace(rt, self);
    // The unnamed namespace: no URI and the empty prefix.
    if (a.count == 0) ns.setOwn(kPrefix, Value::string(QString()), false);
    if (a.count == 1) {
        ns.primitive = Value::string(uriOf(rt, a[0]));
        if (a[0].isObject() && a[0].obj()->type == ScriptObject::Type::Namespace)
            if (Value* p = a[0].obj()->findOwn(kPrefix)) ns.setOwn(kPrefix, *p, false);
        if (ns.primitive.s.isEmpty()) ns.setOwn(kPrefix, Value::string(QString()), false);
    } else if (a.count >= 2) {
        ns.primitive = Value::string(uriOf(rt, a[1]));
        // Only the unnamed namespace may go without a URI.
        if (ns.primitive.s.isEmpty() && !a[0].isUndefined() && !rt.toString(a[0]).isEmpty())
            rt.raise(QStringLiteral("TypeError"), 1098, {rt.toString(a[0])});
        ns.setOwn(kPrefix, a[0].isUndefined() ? Value() : Value::string(rt.toString(a[0])), false);
    }
    return Value();
}
Value uri(Runtime& rt, const Value& self, Args) { return thisNamespace(rt, self).primitive; }
Value prefix(Runtime& rt, const Value& self, Args) {
    Value* p = thisNamespace(rt, self).findOwn(kPrefix);
    return p ? *p : Value();
}
Value toString(Runtime& rt, const Value& self, Args) { return thisNamespace(rt, self).primitive; }
Value callAsFunction(Runtime& rt, const Value&, Args a) {
    if (a.count == 1 && a[0].isObject() && a[0].obj()->type == ScriptObject::Type::Namespace) return a[0];
    return rt.constructClass(*rt.builtin(QStringLiteral("Namespace")), a);
}
} // namespace

void NamespaceClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QString(), QStringLiteral("Namespace"), rt.builtin(QStringLiteral("Object")),
                                    {{"get uri", uri}, {"get prefix", prefix}, {"toString", toString}, {"valueOf", toString}});
    cls->nativeAllocate = allocate;
    cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 2};
    cls->callAsFunction = callAsFunction;
    cls->isFinal = true;
}

} // namespace nimbrel::movie::avm2
