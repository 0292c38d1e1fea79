#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/ClassBuilder.h"
#include "movie/avm2/ClassObject.h"
#include "movie/avm2/DictionaryObject.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/Runtime.h"
#include "movie/avm2/ScriptObject.h"
#include "movie/avm2/VectorObject.h"
#include "movie/avm2/XmlSupport.h"
#include "movie/avm2/builtins/ProxyClass.h"
#include "movie/avm2/builtins/VectorClass.h"

namespace nimbrel::movie::avm2 {

namespace {
// The object whose traits and prototypes answer for a value (primitives: their class's).
struct Holder {
    ScriptObject* obj = nullptr;
    const TraitTable* traits = nullptr;
    ScriptObject* proto = nullptr;
};

Holder holderOf(Runtime& rt, const Value& v, const Name& name) {
    if (v.kind == Value::Kind::Undefined) rt.raise(QStringLiteral("TypeError"), 1010);
    if (v.kind == Value::Kind::Null) rt.raise(QStringLiteral("TypeError"), 1009);
    (void)name;
    Holder h;
    if (v.isObject()) {
        h.obj = v.obj();
        h.traits = h.obj->traits.get();
        h.proto = h.obj->proto.get();
        // Functions share Function's traits (length) without each carrying them.
        if (!h.traits && h.obj->type == ScriptObject::Type::Function)
            if (ClassObject* fn = rt.builtin(QStringLiteral("Function"))) h.traits = fn->instanceTraits.get();
        return h;
    }
    ClassObject* cls = rt.classOf(v);
    h.traits = cls->instanceTraits.get();
    h.proto = cls->prototype.get();
    return h;
}

Value readSlot(const ScriptObject* obj, const Binding& b) {
    return obj && b.slot >= 0 && size_t(b.slot) < obj->slotValues.size() ? obj->slotValues[size_t(b.slot)] : Value();
}

Value coerceSlot(Runtime& rt, SlotType t, const Value& v) {
    switch (t) {
    case SlotType::Any: return v;
    case SlotType::Int: return Value::integer(rt.toInt32(v));
    case SlotType::UInt: return Value::unsignedInt(rt.toUint32(v));
    case SlotType::Number: return Value::number(rt.toNumber(v));
    case SlotType::String: return v.isNullish() ? Value::null() : Value::string(rt.toString(v));
    case SlotType::Boolean: return Value::boolean(v.toBoolean());
    }
    return v;
}

// A dictionary looked up by an object key answers from its identity table.
DictionaryObject* keyedDictionary(ScriptObject* obj, const Name& name) {
    return obj && name.objectKey && obj->type == ScriptObject::Type::Dictionary ? static_cast<DictionaryObject*>(obj) : nullptr;
}

QString nameText(const Name& n) { return n.anyName ? QStringLiteral("*") : n.local; }
} // namespace

Value PropertyAccess::forSlot(Runtime& rt, const TraitTable* traits, size_t slot, const Value& v) {
    if (!traits || slot >= traits->slotTypes.size()) return v;
    if (traits->slotTypes[slot] != SlotType::Any) return coerceSlot(rt, traits->slotTypes[slot], v);
    const SlotClassType& c = traits->slotClasses[slot];
    if (!c.unit) return v;
    // null needs no class to check against, and looking one up could run its script too early.
    if (v.isNullish()) return Value::null();
    if (!c.looked) {
        // A type not yet defined (its script still running or not loaded) leaves this store unchecked.
        try {
            c.resolved = ClassBuilder::resolveClass(rt, *c.unit, c.typeName);
            c.looked = true;
        } catch (const ScriptThrow&) {
            return v;
        }
    }
    return c.resolved ? rt.coerce(v, c.resolved) : v;
}

int64_t PropertyAccess::indexOf(const QString& text) {
    const int n = int(text.size());
    if (n == 0 || n > 10 || (n > 1 && text[0] == QLatin1Char('0'))) return -1;
    int64_t v = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return -1;
        v = v * 10 + (c.unicode() - '0');
    }
    return v < 0xffffffffLL ? v : -1;
}

Value PropertyAccess::get(Runtime& rt, const Value& target, const Name& name) {
    if (XmlSupport::isXmlOrList(target)) return XmlSupport::get(rt, target, name);
    Holder h = holderOf(rt, target, name);
    if (DictionaryObject* d = keyedDictionary(h.obj, name)) {
        const Value* found = d->find(name.objectKey);
        return found ? *found : Value();
    }
    if (h.obj && h.obj->type == ScriptObject::Type::Vector && !name.attribute) {
        Value out;
        if (VectorClass::read(rt, *static_cast<VectorObject*>(h.obj), name, out)) return out;
    }
    if (h.obj && name.index >= 0) {
        Value out;
        if (h.obj->getIndex(uint32_t(name.index), out)) return out;
        if (h.obj->type == ScriptObject::Type::ByteArray) return Value();
    }
    if (h.traits) {
        if (const Binding* b = h.traits->find(name)) {
            switch (b->kind) {
            case Binding::Kind::Slot:
            case Binding::Kind::Const: return readSlot(h.obj, *b);
            case Binding::Kind::Method: return Value::object(rt.bindMethod(b->method, target, b->scope));
            case Binding::Kind::Accessor:
                if (!b->getter.valid()) rt.raise(QStringLiteral("ReferenceError"), 1077, {name.local, rt.describe(target)});
                return rt.callMethod(b->getter, target, {}, b->scope);
            }
        }
    }
    if (h.obj && h.obj->proxied) return ProxyClass::get(rt, target, name);
    if (name.reachesPublic()) {
        if (h.obj)
            if (Value* own = h.obj->findOwn(name.local)) return *own;
        for (ScriptObject* p = h.proto; p; p = p->proto.get()) {
            if (Value* v = p->findOwn(name.local)) return *v;
        }
    }
    if (h.obj && h.obj->sealed && !name.attribute)
        rt.raise(QStringLiteral("ReferenceError"), 1069, {nameText(name), rt.describe(target)});
    return Value();
}

void PropertyAccess::set(Runtime& rt, const Value& target, const Name& name, const Value& v, bool initialising) {
    if (XmlSupport::isXmlOrList(target)) return XmlSupport::set(rt, target, name, v);
    Holder h = holderOf(rt, target, name);
    if (DictionaryObject* d = keyedDictionary(h.obj, name)) {
        d->put(Value::object(name.objectKey->shared_from_this()), v);
        return;
    }
    if (h.obj && h.obj->type == ScriptObject::Type::Vector && !name.attribute &&
        VectorClass::write(rt, *static_cast<VectorObject*>(h.obj), name, v))
        return;
    if (h.obj && name.index >= 0 && h.obj->setIndex(uint32_t(name.index), v)) return;
    if (h.traits) {
        if (const Binding* b = h.traits->find(name)) {
            switch (b->kind) {
            case Binding::Kind::Const:
                if (!initialising) rt.raise(QStringLiteral("ReferenceError"), 1074, {name.local, rt.describe(target)});
                [[fallthrough]];
            case Binding::Kind::Slot:
                if (h.obj && b->slot >= 0 && size_t(b->slot) < h.obj->slotValues.size())
                    h.obj->slotValues[size_t(b->slot)] = forSlot(rt, h.obj->traits.get(), size_t(b->slot), coerceSlot(rt, b->slotType, v));
                return;
            case Binding::Kind::Method: rt.raise(QStringLiteral("ReferenceError"), 1037, {name.local, rt.describe(target)});
            case Binding::Kind::Accessor: {
                if (!b->setter.valid()) rt.raise(QStringLiteral("ReferenceError"), 1074, {name.local, rt.describe(target)});
                Value arg = v;
                rt.callMethod(b->setter, target, Args{&arg, 1}, b->scope);
                return;
            }
            }
        }
    }
    if (h.obj && h.obj->proxied) return ProxyClass::set(rt, target, name, v);
    if (!h.obj || h.obj->sealed || !name.reachesPublic())
        rt.raise(QStringLiteral("ReferenceError"), 1056, {nameText(name), rt.describe(target)});
    h.obj->setOwn(name.local, v);
}

bool PropertyAccess::has(Runtime& rt, const Value& target, const Name& name) {
    if (target.isNullish()) return false;
    if (XmlSupport::isXmlOrList(target)) return XmlSupport::has(rt, target, name);
    Holder h = holderOf(rt, target, name);
    if (DictionaryObject* d = keyedDictionary(h.obj, name)) return d->find(name.objectKey) != nullptr;
    if (h.obj && name.index >= 0) {
        Value out;
        if (h.obj->getIndex(uint32_t(name.index), out)) return true;
    }
    if (h.traits && h.traits->find(name)) return true;
    if (h.obj && h.obj->proxied) return ProxyClass::has(rt, target, name);
    if (!name.reachesPublic()) return false;
    if (h.obj && h.obj->findOwn(name.local)) return true;
    for (ScriptObject* p = h.proto; p; p = p->proto.get())
        if (p->findOwn(name.local)) return true;
    return false;
}

bool PropertyAccess::scopeHas(Runtime& rt, ScriptObject* obj, const Name& name) {
    // A filter's `with` scope is an XML item: its children and attributes are names in scope.
    if (obj->type == ScriptObject::Type::Xml || obj->type == ScriptObject::Type::XmlList)
        return XmlSupport::has(rt, Value::object(obj->shared_from_this()), name);
    if (obj->traits && obj->traits->find(name)) return true;
    if (!name.reachesPublic() || obj->type == ScriptObject::Type::Activation || obj->type == ScriptObject::Type::Global)
        return name.reachesPublic() && obj->findOwn(name.local);
    (void)rt;
    for (ScriptObject* p = obj; p; p = p->proto.get())
        if (p->findOwn(name.local)) return true;
    return false;
}

bool PropertyAccess::remove(Runtime& rt, const Value& target, const Name& name) {
    if (XmlSupport::isXmlOrList(target)) return XmlSupport::remove(rt, target, name);
    Holder h = holderOf(rt, target, name);
    if (!h.obj) return false;
    if (DictionaryObject* d = keyedDictionary(h.obj, name)) return d->remove(name.objectKey);
    if (name.index >= 0 && h.obj->deleteIndex(uint32_t(name.index))) return true;
    if (h.traits && h.traits->find(name)) return false;
    if (h.obj->proxied) return ProxyClass::remove(rt, target, name);
    // A sealed object has nothing deletable: only dynamic properties go.
    return h.obj->deleteOwn(name.local) || !h.obj->sealed;
}

Value PropertyAccess::call(Runtime& rt, const Value& target, const Name& name, Args args) {
    if (XmlSupport::isXmlOrList(target)) return XmlSupport::call(rt, target, name, args);
    Holder h = holderOf(rt, target, name);
    if (h.traits && name.index < 0) {
        if (const Binding* b = h.traits->find(name); b && b->kind == Binding::Kind::Method)
            return rt.callMethod(b->method, target, args, b->scope);
    }
    if (h.obj && h.obj->proxied && !(h.traits && h.traits->find(name))) return ProxyClass::call(rt, target, name, args);
    Value fn = get(rt, target, name);
    if (!fn.isObject() || (fn.obj()->type != ScriptObject::Type::Function && fn.obj()->type != ScriptObject::Type::Class))
        rt.raise(QStringLiteral("TypeError"), 1006, {nameText(name)});
    return rt.call(fn, target, args);
}

} // namespace nimbrel::movie::avm2
