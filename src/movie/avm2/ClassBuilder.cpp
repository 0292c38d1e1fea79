#include "movie/avm2/ClassBuilder.h"
#include "movie/avm2/AbcUnit.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/builtins/VectorClass.h"
#include <cmath>
#include "movie/avm2/Runtime.h"

namespace nimbrel::movie::avm2 {

namespace {
Value constantValue(Runtime& rt, const AbcUnit& unit, const ConstantValue& c) {
    const ConstantPool& pool = unit.abc.pool;
    switch (ConstantKind(c.kind)) {
    case ConstantKind::Int: return Value::integer(pool.ints[c.index]);
    case ConstantKind::UInt: return Value::unsignedInt(pool.uints[c.index]);
    case ConstantKind::Double: return Value::number(pool.doubles[c.index]);
    case ConstantKind::Utf8: return Value::string(unit.abc.stringAt(c.index));
    case ConstantKind::True: return Value::boolean(true);
    case ConstantKind::False: return Value::boolean(false);
    case ConstantKind::Null: return Value::null();
    default: break;
    }
    // `namespace my_ns = "..."`: the constant is a Namespace of that URI.
    switch (NamespaceKind(c.kind)) {
    case NamespaceKind::Namespace:
    case NamespaceKind::Package:
    case NamespaceKind::PackageInternal:
    case NamespaceKind::Protected:
    case NamespaceKind::Explicit:
    case NamespaceKind::StaticProtected:
    case NamespaceKind::Private:
        if (ClassObject* cls = rt.builtin(QStringLiteral("Namespace")); cls && c.index < pool.namespaces.size()) {
            Value uri = Value::string(unit.ns(c.index).uri);
            return rt.constructClass(*cls, Args{&uri, 1});
        }
        break;
    }
    return Value();
}

// What an unset slot of a type holds: 0 for numbers, false, null for objects, undefined for *.
Value defaultFor(AbcUnit& unit, uint32_t typeName) {
    switch (ClassBuilder::slotTypeOf(unit, typeName)) {
    case SlotType::Int:
    case SlotType::UInt: return Value::integer(0);
    case SlotType::Number: return Value::number(std::nan(""));
    case SlotType::Boolean: return Value::boolean(false);
    case SlotType::String: return Value::null();
    case SlotType::Any: return typeName == 0 ? Value() : Value::null();
    }
    return Value();
}
} // namespace

SlotType ClassBuilder::slotTypeOf(AbcUnit& unit, uint32_t multiname) {
    if (multiname == 0 || multiname >= unit.abc.pool.multinames.size()) return SlotType::Any;
    const MultinameInfo& m = unit.abc.pool.multinames[multiname];
    if (m.kind != MultinameKind::QName || !unit.ns(m.ns).isPublicEmpty()) return SlotType::Any;
    const QString& n = unit.abc.pool.strings[m.name];
    if (n == QLatin1String("int")) return SlotType::Int;
    if (n == QLatin1String("uint")) return SlotType::UInt;
    if (n == QLatin1String("Number")) return SlotType::Number;
    if (n == QLatin1String("String")) return SlotType::String;
    if (n == QLatin1String("Boolean")) return SlotType::Boolean;
    return SlotType::Any;
}

void ClassBuilder::addTraits(Runtime& rt, AbcUnit& unit, TraitTable& table, const std::vector<TraitInfo>& traits,
                             const ScopePtr& scope, ClassObject* home, int scriptIndex, bool relativeSlots) {
    for (const TraitInfo& t : traits) {
        Binding b;
        const MultinameInfo& m = unit.abc.pool.multinames[t.name];
        b.ns = unit.ns(m.ns);
        b.name = unit.abc.stringAt(m.name);
        b.scope = scope;
        b.scriptIndex = scriptIndex;
        switch (t.kind) {
        case TraitKind::Slot:
        case TraitKind::Const:
        case TraitKind::Class:
        case TraitKind::Function: {
            b.kind = t.kind == TraitKind::Const ? Binding::Kind::Const : Binding::Kind::Slot;
            Value initial;
            if (t.kind == TraitKind::Slot || t.kind == TraitKind::Const) {
                b.slotType = slotTypeOf(unit, t.typeName);
                initial = t.value.kind == 0 && t.value.index == 0 ? defaultFor(unit, t.typeName) : constantValue(rt, unit, t.value);
                if (initial.isUndefined() && b.slotType != SlotType::Any) initial = defaultFor(unit, t.typeName);
            } else if (t.kind == TraitKind::Function) {
                initial = Value::object(rt.makeFunction(MethodRef{&unit, t.index}, scope));
            } else {
                initial = Value::null();
            }
            b.slot = table.addSlot(initial, relativeSlots ? 0 : int(t.id));
            if ((t.kind == TraitKind::Slot || t.kind == TraitKind::Const) && t.typeName != 0)
                table.declareSlotType(b.slot, b.slotType, &unit, t.typeName);
            break;
        }
        case TraitKind::Method:
            b.kind = Binding::Kind::Method;
            b.method = MethodRef{&unit, t.index, nullptr, home};
            if (t.id > 0) table.setDispatch(t.id, b.method, scope);
            break;
        case TraitKind::Getter:
            b.kind = Binding::Kind::Accessor;
            b.getter = MethodRef{&unit, t.index, nullptr, home};
            break;
        case TraitKind::Setter:
            b.kind = Binding::Kind::Accessor;
            b.setter = MethodRef{&unit, t.index, nullptr, home};
            break;
        }
        table.put(std::move(b));
    }
}

std::shared_ptr<ClassObject> ClassBuilder::newClass(Runtime& rt, AbcUnit& unit, uint32_t classIndex, const Value& baseValue,
                                                    const ScopePtr& scope) {
    const InstanceInfo& inst = unit.abc.instances[classIndex];
    const ClassInfo& info = unit.abc.classes[classIndex];
    auto cls = std::make_shared<ClassObject>();
    const MultinameInfo& m = unit.abc.pool.multinames[inst.name];
    cls->name = unit.abc.stringAt(m.name);
    cls->package = unit.ns(m.ns).uri;
    cls->isInterface = inst.flags & instanceflags::Interface;
    cls->isFinal = inst.flags & instanceflags::Final;
    ClassObject* classClass = rt.builtin(QStringLiteral("Class"));
    cls->cls = classClass;
    cls->proto = classClass ? classClass->prototype : nullptr;
    if (baseValue.isObject() && baseValue.obj()->type == ScriptObject::Type::Class)
        cls->base = std::static_pointer_cast<ClassObject>(baseValue.o);
    else if (!baseValue.isNullish() && !cls->isInterface)
        rt.raise(QStringLiteral("VerifyError"), 1014, {unit.abc.multinameText(inst.superName)});
    for (uint32_t iface : inst.interfaces) {
        Name n = unit.name(iface);
        ScriptObject* g = rt.findGlobal(n);
        if (!g) continue;
        Value v = PropertyAccess::get(rt, Value::object(g->shared_from_this()), n);
        if (!v.isObject() || v.obj()->type != ScriptObject::Type::Class) continue;
        auto* i = static_cast<ClassObject*>(v.obj());
        cls->interfaces.push_back(i);
        // An interface's own bases count as implemented too.
        cls->interfaces.insert(cls->interfaces.end(), i->interfaces.begin(), i->interfaces.end());
    }
    // The class's own scope: the defining scopes plus the class itself, for its methods.
    auto classScope = std::make_shared<ScopeChain>(*scope);
    classScope->push_back({Value::object(cls), false});
    ScopePtr methodsScope = classScope;

    cls->instanceTraits = cls->base ? std::make_shared<TraitTable>(*cls->base->instanceTraits) : std::make_shared<TraitTable>();
    addTraits(rt, unit, *cls->instanceTraits, inst.traits, methodsScope, cls.get(), -1, cls->base && !cls->base->instanceTraits->slotDefaults.empty());
    cls->constructor = MethodRef{&unit, inst.initializer, nullptr, cls.get()};
    cls->constructorScope = methodsScope;
    cls->prototype = rt.newObject();
    if (cls->base && cls->base->prototype) cls->prototype->proto = cls->base->prototype;
    cls->prototype->setOwn(QStringLiteral("constructor"), Value::object(cls), false);
    cls->setOwn(QStringLiteral("prototype"), Value::object(cls->prototype), false);
    cls->dynamicInstances = !(inst.flags & instanceflags::Sealed);

    auto statics = std::make_shared<TraitTable>();
    addTraits(rt, unit, *statics, info.traits, methodsScope, cls.get());
    cls->layOut(statics);
    unit.classes[classIndex] = cls;
    rt.keep(cls);
    rt.callMethod(MethodRef{&unit, info.initializer, nullptr, cls.get()}, Value::object(cls), {}, methodsScope);
    return cls;
}

ObjectPtr ClassBuilder::newActivation(Runtime& rt, AbcUnit& unit, uint32_t bodyIndex, const ScopePtr& scope) {
    auto table = std::make_shared<TraitTable>();
    addTraits(rt, unit, *table, unit.abc.bodies[bodyIndex].traits, scope, nullptr);
    auto obj = std::make_shared<ScriptObject>(ScriptObject::Type::Activation);
    obj->layOut(table);
    return obj;
}

ObjectPtr ClassBuilder::newCatchScope(Runtime& rt, AbcUnit& unit, uint32_t nameIndex) {
    (void)rt;
    auto table = std::make_shared<TraitTable>();
    if (nameIndex != 0 && nameIndex < unit.abc.pool.multinames.size()) {
        const MultinameInfo& m = unit.abc.pool.multinames[nameIndex];
        Binding b;
        b.ns = unit.ns(m.ns);
        b.name = unit.abc.stringAt(m.name);
        b.slot = table->addSlot(Value(), 1);
        table->put(std::move(b));
    } else {
        table->addSlot(Value(), 1);
    }
    auto obj = std::make_shared<ScriptObject>(ScriptObject::Type::Activation);
    obj->layOut(table);
    return obj;
}

ClassObject* ClassBuilder::resolveClass(Runtime& rt, AbcUnit& unit, uint32_t multiname) {
    if (multiname == 0) return nullptr;
    if (multiname < unit.abc.pool.multinames.size()) {
        const MultinameInfo& m = unit.abc.pool.multinames[multiname];
        // Vector.<T> written as a type: the specialised class.
        if (m.kind == MultinameKind::TypeName && m.typeParams.size() == 1 && m.typeParams[0] != multiname && m.base != multiname) {
            ClassObject* base = resolveClass(rt, unit, m.base);
            if (VectorClass::isGeneric(rt, base)) return VectorClass::specialise(rt, resolveClass(rt, unit, m.typeParams[0]));
            return base;
        }
    }
    Name n = unit.name(multiname);
    ScriptObject* global = rt.findGlobal(n);
    if (!global) rt.raise(QStringLiteral("ReferenceError"), 1065, {n.local});
    Value v = PropertyAccess::get(rt, Value::object(global->shared_from_this()), n);
    if (!v.isObject() || v.obj()->type != ScriptObject::Type::Class) rt.raise(QStringLiteral("TypeError"), 1041);
    return static_cast<ClassObject*>(v.obj());
}

} // namespace nimbrel::movie::avm2
