#include "movie/avm2/builtins/ObjectClass.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/builtins/NativeSupport.h"

namespace nimbrel::movie::avm2 {

namespace {

Name keyName(Runtime& rt, const Value& key) {
    Name n = Name::publicName(rt.toString(key));
    n.index = PropertyAccess::indexOf(n.local);
    return n;
}

Value hasOwnProperty(Runtime& rt, const Value& self, Args a) {
    Name n = keyName(rt, a[0]);
    if (!self.isObject()) {
        const ClassObject* cls = rt.classOf(self);
        return Value::boolean(cls->instanceTraits->find(n) != nullptr);
    }
    ScriptObject* o = self.obj();
    Value out;
    if (n.index >= 0 && o->getIndex(uint32_t(n.index), out)) return Value::boolean(true);
    if (o->traits && o->traits->find(n)) return Value::boolean(true);
    return Value::boolean(o->findOwn(n.local) != nullptr);
}

Value propertyIsEnumerable(Runtime& rt, const Value& self, Args a) {
    if (!self.isObject()) return Value::boolean(false);
    Name n = keyName(rt, a[0]);
    Value out;
    if (n.index >= 0 && self.obj()->getIndex(uint32_t(n.index), out)) return Value::boolean(true);
    return Value::boolean(self.obj()->isEnumerable(n.local));
}

Value setPropertyIsEnumerable(Runtime& rt, const Value& self, Args a) {
    if (!self.isObject()) return Value();
    const QString name = rt.toString(a[0]);
    if (Value* v = self.obj()->findOwn(name)) {
        Value keep = *v;
        self.obj()->deleteOwn(name);
        self.obj()->setOwn(name, keep, a[1].toBoolean());
    }
    return Value();
}

Value isPrototypeOf(Runtime&, const Value& self, Args a) {
    if (!self.isObject() || !a[0].isObject()) return Value::boolean(false);
    for (ScriptObject* p = a[0].obj()->proto.get(); p; p = p->proto.get())
        if (p == self.obj()) return Value::boolean(true);
    return Value::boolean(false);
}

Value objectToString(Runtime& rt, const Value& self, Args) {
    if (self.isObject() && self.obj()->type == ScriptObject::Type::Class)
        return Value::string(QStringLiteral("[class %1]").arg(static_cast<ClassObject*>(self.obj())->name));
    if (self.isObject() && self.obj()->type == ScriptObject::Type::Function)
        return Value::string(QStringLiteral("function Function() {}"));
    if (self.isObject() && self.obj()->type == ScriptObject::Type::Global) return Value::string(QStringLiteral("[object global]"));
    const ClassObject* cls = rt.classOf(self);
    return Value::string(QStringLiteral("[object %1]").arg(cls ? cls->name : QStringLiteral("Object")));
}

Value valueOf(Runtime&, const Value& self, Args) { return self; }

Value objectCall(Runtime& rt, const Value&, Args a) {
    if (a.count == 0 || a[0].isNullish()) return Value::object(rt.newObject());
    return a[0];
}

Value objectConstruct(Runtime& rt, const Value& self, Args a) {
    if (a.count > 0 && !a[0].isNullish()) return a[0];
    (void)rt;
    return self;
}

} // namespace

void ObjectClass::install(Runtime& rt) {
    auto object = rt.defineNativeClass(QString(), QStringLiteral("Object"), nullptr,
                                       {{"hasOwnProperty", hasOwnProperty, 1},
                                        {"propertyIsEnumerable", propertyIsEnumerable, 1},
                                        {"setPropertyIsEnumerable", setPropertyIsEnumerable, 2},
                                        {"isPrototypeOf", isPrototypeOf, 1},
                                        {"toString", objectToString},
                                        {"toLocaleString", objectToString},
                                        {"valueOf", valueOf}});
    object->callAsFunction = objectCall;
    object->constructor = MethodRef{nullptr, 0, objectConstruct, object.get(), 1};
    auto classClass = rt.defineNativeClass(QString(), QStringLiteral("Class"), object.get(), {});
    // Both existed before Class did: they are classes too.
    for (ClassObject* c : {object.get(), classClass.get()}) {
        c->cls = classClass.get();
        c->proto = classClass->prototype;
    }
}

} // namespace nimbrel::movie::avm2
