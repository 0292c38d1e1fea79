#include "movie/avm2/builtins/QNameClass.h"
#include "movie/avm2/QNameObject.h"
#include "movie/avm2/builtins/NativeSupport.h"

namespace nimbrel::movie::avm2 {

namespace {
QNameObject& thisQName(Runtime& rt, const Value& self) {
    if (!self.isObject() || self.obj()->type != ScriptObject::Type::QName)
        rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("QName")});
    return *static_cast<QNameObject*>(self.obj());
}
QNameObject* asQName(const Value& v) {
    return v.isObject() && v.obj()->type == ScriptObject::Type::QName ? static_cast<QNameObject*>(v.obj()) : nullptr;
}
ObjectPtr allocate(const ClassObject&) { return std::make_shared<QNameObject>(); }

Value construct(Runtime& rt, const Value& self, Args a) {
    QNameObject& q = thisQName(rt, self);
    const Value nameArg = a.count >= 2 ? a[1] : a[0];
    if (QNameObject* from = asQName(nameArg)) {
        q.local = from->local;
        q.anyLocal = from->anyLocal;
        if (a.count < 2) {
            q.uri = from->uri;
            q.anyUri = from->anyUri;
            q.prefix = from->prefix;
            return Value();
        }
    } else {
        q.local = nameArg.isUndefined() ? QString() : rt.toString(nameArg);
        q.anyLocal = q.local == QLatin1String("*");
    }
    if (a.count < 2) {
        q.anyUri = q.anyLocal;
        q.uri = q.anyUri ? QString() : rt.defaultXmlNamespace;
        if (q.uri.isEmpty() && !q.anyUri) q.prefix = QString("");
        return Value();
    }
    const Value& ns = a[0];
    if (ns.isNull()) {
        q.anyUri = true;
    } else if (ns.isObject() && ns.obj()->type == ScriptObject::Type::Namespace) {
        q.uri = ns.obj()->primitive.s;
        if (Value* p = ns.obj()->findOwn(QStringLiteral(" prefix")); p && p->isString()) q.prefix = p->s;
    } else if (QNameObject* from = asQName(ns)) {
        q.uri = from->uri;
        q.anyUri = from->anyUri;
    } else {
        q.uri = ns.isUndefined() ? QString() : rt.toString(ns);
        if (q.uri.isEmpty()) q.prefix = QString("");
    }
    return Value();
}
Value localName(Runtime& rt, const Value& self, Args) { return Value::string(thisQName(rt, self).local); }
Value uri(Runtime& rt, const Value& self, Args) {
    QNameObject& q = thisQName(rt, self);
    return q.anyUri ? Value::null() : Value::string(q.uri);
}
Value toString(Runtime& rt, const Value& self, Args) {
    if (self.isObject() && self.obj() == rt.builtin(QStringLiteral("QName"))->prototype.get()) return Value::string(QString());
    QNameObject& q = thisQName(rt, self);
    if (q.anyUri) return Value::string(QStringLiteral("*::") + q.local);
    return Value::string(q.uri.isEmpty() ? q.local : q.uri + QStringLiteral("::") + q.local);
}
Value valueOf(Runtime&, const Value& self, Args) { return self; }
Value callAsFunction(Runtime& rt, const Value&, Args a) {
    if (a.count == 1 && asQName(a[0])) return a[0];
    return rt.constructClass(*rt.builtin(QStringLiteral("QName")), a);
}
} // namespace

Value QNameClass::make(Runtime& rt, const QString& uriText, const QString& local, const QString& prefix) {
    auto q = std::make_shared<QNameObject>();
    ClassObject* cls = rt.builtin(QStringLiteral("QName"));
    q->cls = cls;
    q->proto = cls->prototype;
    q->layOut(cls->instanceTraits);
    q->uri = uriText;
    q->local = local;
    q->prefix = prefix;
    return Value::object(q);
}

void QNameClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QString(), QStringLiteral("QName"), rt.builtin(QStringLiteral("Object")),
                                    {{"get localName", localName}, {"get uri", uri}, {"toString", toString}, {"valueOf", valueOf}});
    cls->nativeAllocate = allocate;
    cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 2};
    cls->callAsFunction = callAsFunction;
    cls->isFinal = true;
    rt.defineStaticConstant(*cls, QStringLiteral("length"), Value::integer(2));
}

} // namespace nimbrel::movie::avm2
