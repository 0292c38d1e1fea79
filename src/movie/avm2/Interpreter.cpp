#include "movie/avm2/Interpreter.h"
#include "movie/avm2/AbcUnit.h"
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/ClassBuilder.h"
#include "movie/avm2/DomainMemory.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/Runtime.h"
#include "movie/avm2/XmlSupport.h"
#include "movie/avm2/XmlPrinter.h"
#include "movie/avm2/builtins/ProxyClass.h"
#include "movie/avm2/builtins/VectorClass.h"
#include <cmath>

namespace nimbrel::movie::avm2 {

namespace {

using Kind = Value::Kind;

Value numberOp(Runtime& rt, Op op, const Value& a, const Value& b) {
    if (a.kind == Kind::Int && b.kind == Kind::Int) {
        const int64_t x = a.i, y = b.i;
        switch (op) {
        case Op::Subtract: return Value::number(double(x - y));
        case Op::Multiply: return Value::number(double(x * y));
        case Op::Modulo:
            if (y != 0 && !(x < 0 && x % y == 0)) return Value::integer(int32_t(x % y));
            break;
        default: break;
        }
    }
    const double x = rt.toNumber(a), y = rt.toNumber(b);
    switch (op) {
    case Op::Subtract: return Value::number(x - y);
    case Op::Multiply: return Value::number(x * y);
    case Op::Divide: return Value::number(x / y);
    case Op::Modulo: return Value::number(std::fmod(x, y));
    default: return Value();
    }
}

Value bitOp(Runtime& rt, Op op, const Value& a, const Value& b) {
    const int32_t x = rt.toInt32(a), y = rt.toInt32(b);
    switch (op) {
    case Op::LShift: return Value::integer(int32_t(uint32_t(x) << (y & 31)));
    case Op::RShift: return Value::integer(x >> (y & 31));
    case Op::URShift: return Value::unsignedInt(uint32_t(x) >> (y & 31));
    case Op::BitAnd: return Value::integer(x & y);
    case Op::BitOr: return Value::integer(x | y);
    case Op::BitXor: return Value::integer(x ^ y);
    case Op::AddI: return Value::integer(int32_t(uint32_t(x) + uint32_t(y)));
    case Op::SubtractI: return Value::integer(int32_t(uint32_t(x) - uint32_t(y)));
    case Op::MultiplyI: return Value::integer(int32_t(uint32_t(x) * uint32_t(y)));
    default: return Value();
    }
}

// Branch conditions; the "not" forms are true when the comparison is false or undefined.
bool condition(Runtime& rt, Op op, const Value& a, const Value& b) {
    switch (op) {
    case Op::IfEq: return rt.looseEquals(a, b);
    case Op::IfNe: return !rt.looseEquals(a, b);
    case Op::IfStrictEq: return strictEquals(a, b);
    case Op::IfStrictNe: return !strictEquals(a, b);
    case Op::IfLt: return rt.lessThan(a, b) == 1;
    case Op::IfNlt: return rt.lessThan(a, b) != 1;
    case Op::IfLe: return rt.lessThan(b, a) == 0;
    case Op::IfNle: return rt.lessThan(b, a) != 0;
    case Op::IfGt: return rt.lessThan(b, a) == 1;
    case Op::IfNgt: return rt.lessThan(b, a) != 1;
    case Op::IfGe: return rt.lessThan(a, b) == 0;
    case Op::IfNge: return rt.lessThan(a, b) != 0;
    default: return false;
    }
}

ClassObject* typeFor(Runtime& rt, AbcUnit& unit, uint32_t multiname) { return ClassBuilder::resolveClass(rt, unit, multiname); }

ClassObject* typeFromValue(Runtime& rt, const Value& v) {
    if (!v.isObject() || v.obj()->type != ScriptObject::Type::Class) rt.raise(QStringLiteral("TypeError"), 1041);
    return static_cast<ClassObject*>(v.obj());
}

bool instanceOf(Runtime& rt, const Value& v, const Value& type) {
    if (!type.isObject()) rt.raise(QStringLiteral("TypeError"), 1040);
    ScriptObject* proto = nullptr;
    if (type.obj()->type == ScriptObject::Type::Class) proto = static_cast<ClassObject*>(type.obj())->prototype.get();
    else if (type.obj()->type == ScriptObject::Type::Function) {
        Value* p = type.obj()->findOwn(QStringLiteral("prototype"));
        proto = p && p->isObject() ? p->obj() : nullptr;
    } else rt.raise(QStringLiteral("TypeError"), 1040);
    if (v.isNullish() || !proto) return false;
    ScriptObject* start = v.isObject() ? v.obj()->proto.get() : rt.classOf(v)->prototype.get();
    for (ScriptObject* p = start; p; p = p->proto.get())
        if (p == proto) return true;
    return false;
}

} // namespace

Value Interpreter::run(Runtime& rt, const MethodRef& mref, const Value& self, Args args, const ScopePtr& outer) {
    AbcUnit& unit = *mref.unit;
    std::optional<Avm2Error> verifyError;
    const DecodedMethod* dm = unit.prepared(mref.index, verifyError);
    if (!dm) throw ScriptThrow{rt.makeError(QStringLiteral("VerifyError"), verifyError->id, verifyError->text)};
    const MethodInfo& info = unit.abc.methods[mref.index];
    const MethodBody& body = unit.abc.bodies[dm->bodyIndex];

    const char probe = 0;
    if (!rt.enterCall(&probe)) rt.raise(QStringLiteral("Error"), 1023);
    struct DepthGuard {
        Runtime& rt;
        ~DepthGuard() { --rt.callDepth; }
    } guard{rt};
    // `default xml namespace` set in a method lasts until it returns.
    struct XmlNamespaceGuard {
        Runtime& rt;
        QString saved;
        ~XmlNamespaceGuard() { rt.defaultXmlNamespace = saved; }
    };
    std::optional<XmlNamespaceGuard> xmlNamespaceGuard;
    if (info.flags & methodflags::SetDxns) xmlNamespaceGuard.emplace(XmlNamespaceGuard{rt, rt.defaultXmlNamespace});
    rt.checkBudget();

    // Registers: this, the parameters (optional ones defaulted), then rest or arguments.
    const int paramCount = int(info.paramTypes.size());
    const int required = paramCount - int(info.optionals.size());
    const bool takesRest = info.flags & (methodflags::NeedRest | methodflags::NeedArguments | methodflags::IgnoreRest);
    // Class methods check their argument count; plain functions take what they are given.
    if (mref.home && (args.count < required || (args.count > paramCount && !takesRest)))
        rt.raise(QStringLiteral("ArgumentError"), 1063,
                 {unit.abc.methodName(mref.index), QString::number(required), QString::number(args.count)});
    std::vector<Value> locals(std::max<size_t>(body.localCount, size_t(paramCount) + 2));
    locals[0] = self;
    for (int i = 0; i < paramCount; ++i) {
        Value v;
        if (i < args.count) v = args[i];
        else if (i >= required) {
            const ConstantValue& c = info.optionals[size_t(i - required)];
            switch (ConstantKind(c.kind)) {
            case ConstantKind::Int: v = Value::integer(unit.abc.pool.ints[c.index]); break;
            case ConstantKind::UInt: v = Value::unsignedInt(unit.abc.pool.uints[c.index]); break;
            case ConstantKind::Double: v = Value::number(unit.abc.pool.doubles[c.index]); break;
            case ConstantKind::Utf8: v = Value::string(unit.abc.stringAt(c.index)); break;
            case ConstantKind::True: v = Value::boolean(true); break;
            case ConstantKind::False: v = Value::boolean(false); break;
            case ConstantKind::Null: v = Value::null(); break;
            default: break;
            }
        }
        const SlotType t = ClassBuilder::slotTypeOf(unit, info.paramTypes[size_t(i)]);
        switch (t) {
        case SlotType::Int: v = Value::integer(rt.toInt32(v)); break;
        case SlotType::UInt: v = Value::unsignedInt(rt.toUint32(v)); break;
        case SlotType::Number: v = Value::number(rt.toNumber(v)); break;
        case SlotType::String: v = v.isNullish() ? Value::null() : Value::string(rt.toString(v)); break;
        case SlotType::Boolean: v = Value::boolean(v.toBoolean()); break;
        default: break;
        }
        locals[size_t(i) + 1] = std::move(v);
    }
    if (info.flags & (methodflags::NeedRest | methodflags::NeedArguments)) {
        std::vector<Value> rest;
        const int from = (info.flags & methodflags::NeedRest) ? paramCount : 0;
        for (int i = from; i < args.count; ++i) rest.push_back(args[i]);
        auto arr = rt.newArray(std::move(rest));
        if (info.flags & methodflags::NeedArguments) arr->setOwn(QStringLiteral("callee"), Value(), false);
        locals[size_t(paramCount) + 1] = Value::object(arr);
    }

    std::vector<Value> stack;
    stack.reserve(body.maxStack + 1);
    std::vector<ScopeEntry> scopes;
    scopes.reserve(body.maxScopeDepth + 1);
    const ScopeChain& outerChain = *outer;
    const auto& code = dm->code;
    size_t pc = 0;

    auto pop = [&]() { Value v = std::move(stack.back()); stack.pop_back(); return v; };
    auto snapshot = [&]() {
        auto chain = std::make_shared<ScopeChain>(outerChain);
        chain->insert(chain->end(), scopes.begin(), scopes.end());
        return ScopePtr(std::move(chain));
    };
    // The object a runtime name came from, kept alive while the instruction
    // that named it runs: the name only points at it.
    Value nameKey;
    // A multiname with its runtime parts taken from the stack.
    auto nameOf = [&](uint32_t index) {
        Name n = unit.name(index);
        const MultinameInfo& m = unit.abc.pool.multinames[index];
        if (m.kind == MultinameKind::MultinameL || m.kind == MultinameKind::MultinameLA ||
            m.kind == MultinameKind::RTQNameL || m.kind == MultinameKind::RTQNameLA) {
            Value key = pop();
            if (key.kind == Kind::Int && key.i >= 0) n.index = key.i;
            else if (key.kind == Kind::Number && key.d >= 0 && key.d < 4294967295.0 && std::floor(key.d) == key.d)
                n.index = int64_t(key.d);
            if (key.isObject() && key.obj()->type != ScriptObject::Type::Namespace) {
                n.objectKey = key.obj();
                nameKey = key;
            }
            if (key.isObject() && key.obj()->type == ScriptObject::Type::Namespace) n.local = rt.toString(key);
            else n.local = key.kind == Kind::String ? key.s : rt.toString(key);
            if (n.index < 0) n.index = PropertyAccess::indexOf(n.local);
            n.anyName = false;
        } else if (n.anyNamespace == false && !n.local.isEmpty()) {
            n.index = -1;
        }
        if (m.kind == MultinameKind::RTQName || m.kind == MultinameKind::RTQNameA || m.kind == MultinameKind::RTQNameL ||
            m.kind == MultinameKind::RTQNameLA) {
            Value ns = pop();
            n.set = nullptr;
            n.anyNamespace = false;
            n.single = Namespace::publicNs(ns.isObject() ? ns.obj()->primitive.primitiveToString() : rt.toString(ns));
        }
        return n;
    };
    auto findProperty = [&](const Name& n, bool strict) -> Value {
        for (auto it = scopes.rbegin(); it != scopes.rend(); ++it)
            if (it->value.isObject() && PropertyAccess::scopeHas(rt, it->value.obj(), n)) return it->value;
        for (auto it = outerChain.rbegin(); it != outerChain.rend(); ++it)
            if (it->value.isObject() && PropertyAccess::scopeHas(rt, it->value.obj(), n)) return it->value;
        if (ScriptObject* g = rt.findGlobal(n)) return Value::object(g->shared_from_this());
        if (strict) rt.raise(QStringLiteral("ReferenceError"), 1065, {n.local});
        return !outerChain.empty() ? outerChain.front().value : scopes.empty() ? Value() : scopes.front().value;
    };
    auto popArgs = [&](uint32_t count) {
        std::vector<Value> a(std::make_move_iterator(stack.end() - count), std::make_move_iterator(stack.end()));
        stack.resize(stack.size() - count);
        return a;
    };

    for (;;) {
        try {
            for (;;) {
                const Instruction& ins = code[pc];
                ++pc;
                switch (ins.op) {
                case Op::Nop: case Op::Label: case Op::Debug: case Op::DebugLine: case Op::DebugFile:
                case Op::Bkpt: case Op::BkptLine: case Op::Timestamp:
                    break;
                case Op::Throw: throw ScriptThrow{pop()};
                case Op::Kill: locals[ins.operands[0]] = Value(); break;
                case Op::Jump:
                    if (size_t(ins.target) < pc) rt.checkBudget();
                    pc = size_t(ins.target);
                    break;
                case Op::IfTrue:
                case Op::IfFalse: {
                    const bool t = pop().toBoolean();
                    if (t == (ins.op == Op::IfTrue)) {
                        if (size_t(ins.target) < pc) rt.checkBudget();
                        pc = size_t(ins.target);
                    }
                    break;
                }
                case Op::IfEq: case Op::IfNe: case Op::IfLt: case Op::IfLe: case Op::IfGt: case Op::IfGe:
                case Op::IfStrictEq: case Op::IfStrictNe: case Op::IfNlt: case Op::IfNle: case Op::IfNgt: case Op::IfNge: {
                    Value b = pop(), a = pop();
                    bool taken;
                    if (a.kind == Kind::Int && b.kind == Kind::Int) {
                        switch (ins.op) {
                        case Op::IfLt: case Op::IfNge: taken = a.i < b.i; break;
                        case Op::IfLe: case Op::IfNgt: taken = a.i <= b.i; break;
                        case Op::IfGt: case Op::IfNle: taken = a.i > b.i; break;
                        case Op::IfGe: case Op::IfNlt: taken = a.i >= b.i; break;
                        case Op::IfEq: case Op::IfStrictEq: taken = a.i == b.i; break;
                        default: taken = a.i != b.i; break;
                        }
                    } else {
                        taken = condition(rt, ins.op, a, b);
                    }
                    if (taken) {
                        if (size_t(ins.target) < pc) rt.checkBudget();
                        pc = size_t(ins.target);
                    }
                    break;
                }
                case Op::LookupSwitch: {
                    const int32_t index = rt.toInt32(pop());
                    const uint32_t cases = ins.operands[1] + 1;
                    const size_t first = size_t(ins.target);
                    pc = size_t(index >= 0 && uint32_t(index) < cases ? dm->switchTargets[first + 1 + size_t(index)]
                                                                      : dm->switchTargets[first]);
                    rt.checkBudget();
                    break;
                }
                case Op::PushWith: scopes.push_back({pop(), true}); break;
                case Op::PushScope: {
                    Value v = pop();
                    if (v.isNullish()) rt.raise(QStringLiteral("TypeError"), v.isNull() ? 1009 : 1010);
                    scopes.push_back({std::move(v), false});
                    break;
                }
                case Op::PopScope: scopes.pop_back(); break;
                case Op::NextName:
                case Op::NextValue: {
                    const int32_t index = rt.toInt32(pop());
                    Value obj = pop();
                    if (!obj.isObject()) stack.push_back(Value());
                    else if (obj.obj()->proxied)
                        stack.push_back(ins.op == Op::NextName ? ProxyClass::nextName(rt, obj, index) : ProxyClass::nextValue(rt, obj, index));
                    else stack.push_back(ins.op == Op::NextName ? obj.obj()->enumName(index) : obj.obj()->enumValue(index));
                    break;
                }
                case Op::HasNext: {
                    const int32_t index = rt.toInt32(pop());
                    Value obj = pop();
                    if (obj.isObject() && obj.obj()->proxied) stack.push_back(Value::integer(ProxyClass::nextIndex(rt, obj, index)));
                    else stack.push_back(Value::integer(obj.isObject() ? obj.obj()->nextEnumPosition(index) : 0));
                    break;
                }
                case Op::HasNext2: {
                    Value& obj = locals[ins.operands[0]];
                    Value& idx = locals[ins.operands[1]];
                    int next = 0;
                    if (obj.isObject() && obj.obj()->proxied) next = ProxyClass::nextIndex(rt, obj, rt.toInt32(idx));
                    else if (obj.isObject()) next = obj.obj()->nextEnumPosition(rt.toInt32(idx));
                    idx = Value::integer(next);
                    if (next == 0) obj = Value::null();
                    stack.push_back(Value::boolean(next != 0));
                    break;
                }
                case Op::PushNull: stack.push_back(Value::null()); break;
                case Op::PushUndefined: stack.push_back(Value()); break;
                case Op::PushByte: stack.push_back(Value::integer(int8_t(ins.operands[0]))); break;
                case Op::PushShort: stack.push_back(Value::integer(int32_t(ins.operands[0] << 2) >> 2)); break;
                case Op::PushTrue: stack.push_back(Value::boolean(true)); break;
                case Op::PushFalse: stack.push_back(Value::boolean(false)); break;
                case Op::PushNaN: stack.push_back(Value::number(std::nan(""))); break;
                case Op::Pop: stack.pop_back(); break;
                case Op::Dup: stack.push_back(stack.back()); break;
                case Op::Swap: std::swap(stack[stack.size() - 1], stack[stack.size() - 2]); break;
                case Op::PushString: stack.push_back(Value::string(unit.abc.stringAt(ins.operands[0]))); break;
                case Op::PushInt: stack.push_back(Value::integer(unit.abc.pool.ints[ins.operands[0]])); break;
                case Op::PushUInt: stack.push_back(Value::unsignedInt(unit.abc.pool.uints[ins.operands[0]])); break;
                case Op::PushDouble: stack.push_back(Value::number(unit.abc.pool.doubles[ins.operands[0]])); break;
                case Op::PushNamespace: {
                    Value uri = Value::string(unit.ns(ins.operands[0]).uri);
                    stack.push_back(rt.constructClass(*rt.builtin(QStringLiteral("Namespace")), Args{&uri, 1}));
                    break;
                }
                case Op::NewFunction:
                    stack.push_back(Value::object(rt.makeFunction(MethodRef{&unit, ins.operands[0]}, snapshot())));
                    break;
                case Op::Call: {
                    auto a = popArgs(ins.operands[0]);
                    Value receiver = pop(), fn = pop();
                    stack.push_back(rt.call(fn, receiver, Args{a.data(), int(a.size())}));
                    break;
                }
                case Op::Construct: {
                    auto a = popArgs(ins.operands[0]);
                    Value ctor = pop();
                    stack.push_back(rt.construct(ctor, Args{a.data(), int(a.size())}));
                    break;
                }
                case Op::CallMethod:
                case Op::CallStatic: {
                    auto a = popArgs(ins.operands[1]);
                    Value receiver = pop();
                    if (ins.op == Op::CallStatic) {
                        stack.push_back(rt.callMethod(MethodRef{&unit, ins.operands[0]}, receiver, Args{a.data(), int(a.size())}, outer));
                    } else {
                        // callmethod: the receiver's method with that dispatch id.
                        if (receiver.isNullish()) rt.raise(QStringLiteral("TypeError"), receiver.isNull() ? 1009 : 1010);
                        const TraitTable* traits = receiver.isObject() ? receiver.obj()->traits.get() : nullptr;
                        const uint32_t id = ins.operands[0];
                        if (!traits || id >= traits->dispatch.size() || !traits->dispatch[id].method.valid())
                            rt.raise(QStringLiteral("VerifyError"), 1001, {QStringLiteral("callmethod")});
                        const auto& d = traits->dispatch[id];
                        stack.push_back(rt.callMethod(d.method, receiver, Args{a.data(), int(a.size())}, d.scope));
                    }
                    break;
                }
                case Op::CallProperty: case Op::CallPropLex: case Op::CallPropVoid: {
                    auto a = popArgs(ins.operands[1]);
                    Name n = nameOf(ins.operands[0]);
                    Value receiver = pop();
                    Value result;
                    if (ins.op == Op::CallPropLex) {
                        Value fn = PropertyAccess::get(rt, receiver, n);
                        result = rt.call(fn, Value::null(), Args{a.data(), int(a.size())});
                    } else {
                        result = PropertyAccess::call(rt, receiver, n, Args{a.data(), int(a.size())});
                    }
                    if (ins.op != Op::CallPropVoid) stack.push_back(std::move(result));
                    break;
                }
                case Op::ConstructProp: {
                    auto a = popArgs(ins.operands[1]);
                    Name n = nameOf(ins.operands[0]);
                    Value receiver = pop();
                    Value ctor = PropertyAccess::get(rt, receiver, n);
                    // A property holding null is "not a constructor" in the general form; a missing one is named.
                    if (ctor.isNull()) rt.raise(QStringLiteral("TypeError"), 1007);
                    if (!ctor.isObject()) rt.raise(QStringLiteral("TypeError"), 1115, {n.local});
                    stack.push_back(rt.construct(ctor, Args{a.data(), int(a.size())}));
                    break;
                }
                case Op::CallSuper: case Op::CallSuperVoid: {
                    auto a = popArgs(ins.operands[1]);
                    Name n = nameOf(ins.operands[0]);
                    Value receiver = pop();
                    ClassObject* base = mref.home ? mref.home->base.get() : nullptr;
                    const Binding* b = base ? base->instanceTraits->find(n) : nullptr;
                    Value result;
                    if (b && b->kind == Binding::Kind::Method) result = rt.callMethod(b->method, receiver, Args{a.data(), int(a.size())}, b->scope);
                    else if (!b && base && base->prototype) {
                        Value fn = PropertyAccess::get(rt, Value::object(base->prototype), n);
                        result = rt.call(fn, receiver, Args{a.data(), int(a.size())});
                    } else rt.raise(QStringLiteral("ReferenceError"), 1070, {n.local, base ? base->qualifiedName() : QString()});
                    if (ins.op == Op::CallSuper) stack.push_back(std::move(result));
                    break;
                }
                case Op::GetSuper: case Op::SetSuper: {
                    Value v;
                    if (ins.op == Op::SetSuper) v = pop();
                    Name n = nameOf(ins.operands[0]);
                    Value receiver = pop();
                    ClassObject* base = mref.home ? mref.home->base.get() : nullptr;
                    const Binding* b = base ? base->instanceTraits->find(n) : nullptr;
                    if (ins.op == Op::GetSuper) {
                        if (b && b->kind == Binding::Kind::Accessor && b->getter.valid()) stack.push_back(rt.callMethod(b->getter, receiver, {}, b->scope));
                        else if (b && b->kind == Binding::Kind::Method) stack.push_back(Value::object(rt.bindMethod(b->method, receiver, b->scope)));
                        else stack.push_back(PropertyAccess::get(rt, receiver, n));
                    } else {
                        if (b && b->kind == Binding::Kind::Accessor && b->setter.valid()) rt.callMethod(b->setter, receiver, Args{&v, 1}, b->scope);
                        else PropertyAccess::set(rt, receiver, n, v);
                    }
                    break;
                }
                case Op::ReturnVoid: return Value();
                case Op::ReturnValue: {
                    Value v = pop();
                    const SlotType t = ClassBuilder::slotTypeOf(unit, info.returnType);
                    switch (t) {
                    case SlotType::Int: return Value::integer(rt.toInt32(v));
                    case SlotType::UInt: return Value::unsignedInt(rt.toUint32(v));
                    case SlotType::Number: return Value::number(rt.toNumber(v));
                    case SlotType::String: return v.isNullish() ? Value::null() : Value::string(rt.toString(v));
                    case SlotType::Boolean: return Value::boolean(v.toBoolean());
                    default: return v;
                    }
                }
                case Op::ConstructSuper: {
                    auto a = popArgs(ins.operands[0]);
                    Value receiver = pop();
                    if (mref.home && mref.home->base) rt.runConstructor(*mref.home->base, receiver, Args{a.data(), int(a.size())});
                    break;
                }
                case Op::Li8: case Op::Li16: case Op::Li32: case Op::Lf32: case Op::Lf64: {
                    const int32_t address = rt.toInt32(stack.back());
                    stack.back() = DomainMemory::load(rt, ins.op, address);
                    break;
                }
                case Op::Si8: case Op::Si16: case Op::Si32: case Op::Sf32: case Op::Sf64: {
                    const int32_t address = rt.toInt32(pop());
                    DomainMemory::store(rt, ins.op, address, pop());
                    break;
                }
                case Op::Sxi1: stack.back() = Value::integer(-(rt.toInt32(stack.back()) & 1)); break;
                case Op::Sxi8: stack.back() = Value::integer(int8_t(rt.toInt32(stack.back()))); break;
                case Op::Sxi16: stack.back() = Value::integer(int16_t(rt.toInt32(stack.back()))); break;
                case Op::NewObject: {
                    auto a = popArgs(ins.operands[0] * 2);
                    ObjectPtr obj = rt.newObject();
                    for (size_t i = 0; i + 1 < a.size(); i += 2) {
                        Name n = Name::publicName(rt.toString(a[i]));
                        n.index = PropertyAccess::indexOf(n.local);
                        PropertyAccess::set(rt, Value::object(obj), n, a[i + 1]);
                    }
                    stack.push_back(Value::object(obj));
                    break;
                }
                case Op::NewArray: stack.push_back(Value::object(rt.newArray(popArgs(ins.operands[0])))); break;
                case Op::NewActivation: stack.push_back(Value::object(ClassBuilder::newActivation(rt, unit, dm->bodyIndex, snapshot()))); break;
                case Op::NewClass: {
                    Value base = pop();
                    stack.push_back(Value::object(ClassBuilder::newClass(rt, unit, ins.operands[0], base, snapshot())));
                    break;
                }
                case Op::NewCatch:
                    stack.push_back(Value::object(ClassBuilder::newCatchScope(rt, unit, body.exceptions[ins.operands[0]].varName)));
                    break;
                case Op::FindPropStrict: case Op::FindProperty: {
                    Name n = nameOf(ins.operands[0]);
                    stack.push_back(findProperty(n, ins.op == Op::FindPropStrict));
                    break;
                }
                case Op::FindDef: {
                    Name n = unit.name(ins.operands[0]);
                    ScriptObject* g = rt.findGlobal(n);
                    if (!g) rt.raise(QStringLiteral("ReferenceError"), 1065, {n.local});
                    stack.push_back(Value::object(g->shared_from_this()));
                    break;
                }
                case Op::GetLex: {
                    Name n = unit.name(ins.operands[0]);
                    Value holder = findProperty(n, true);
                    stack.push_back(PropertyAccess::get(rt, holder, n));
                    break;
                }
                case Op::SetProperty: case Op::InitProperty: {
                    Value v = pop();
                    Name n = nameOf(ins.operands[0]);
                    Value target = pop();
                    PropertyAccess::set(rt, target, n, v, ins.op == Op::InitProperty);
                    break;
                }
                case Op::GetProperty: {
                    Name n = nameOf(ins.operands[0]);
                    Value target = pop();
                    stack.push_back(PropertyAccess::get(rt, target, n));
                    break;
                }
                case Op::DeleteProperty: {
                    Name n = nameOf(ins.operands[0]);
                    Value target = pop();
                    if (n.objectKey && n.objectKey->type == ScriptObject::Type::XmlList)
                        rt.raise(QStringLiteral("TypeError"), 1119, {QStringLiteral("XMLList")});
                    stack.push_back(Value::boolean(PropertyAccess::remove(rt, target, n)));
                    break;
                }
                case Op::GetLocal: stack.push_back(locals[ins.operands[0]]); break;
                case Op::SetLocal: locals[ins.operands[0]] = pop(); break;
                case Op::GetLocal0: case Op::GetLocal1: case Op::GetLocal2: case Op::GetLocal3:
                    stack.push_back(locals[size_t(uint8_t(ins.op) - uint8_t(Op::GetLocal0))]);
                    break;
                case Op::SetLocal0: case Op::SetLocal1: case Op::SetLocal2: case Op::SetLocal3:
                    locals[size_t(uint8_t(ins.op) - uint8_t(Op::SetLocal0))] = pop();
                    break;
                case Op::GetGlobalScope:
                    stack.push_back(!outerChain.empty() ? outerChain.front().value : scopes.empty() ? Value() : scopes.front().value);
                    break;
                case Op::GetScopeObject: stack.push_back(scopes[ins.operands[0]].value); break;
                case Op::GetOuterScope: stack.push_back(ins.operands[0] < outerChain.size() ? outerChain[ins.operands[0]].value : Value()); break;
                case Op::GetSlot: case Op::SetSlot: {
                    Value v;
                    if (ins.op == Op::SetSlot) v = pop();
                    Value target = pop();
                    if (!target.isObject()) rt.raise(QStringLiteral("TypeError"), target.isNull() ? 1009 : 1010);
                    auto& slotValues = target.obj()->slotValues;
                    const size_t slot = ins.operands[0] - 1;
                    if (ins.operands[0] == 0 || slot >= slotValues.size()) rt.raise(QStringLiteral("VerifyError"), 1026, {QString::number(ins.operands[0])});
                    if (ins.op == Op::GetSlot) stack.push_back(slotValues[slot]);
                    else slotValues[slot] = PropertyAccess::forSlot(rt, target.obj()->traits.get(), slot, v);
                    break;
                }
                case Op::GetGlobalSlot: case Op::SetGlobalSlot: {
                    Value g = !outerChain.empty() ? outerChain.front().value : scopes.empty() ? Value() : scopes.front().value;
                    if (!g.isObject() || ins.operands[0] == 0 || ins.operands[0] > g.obj()->slotValues.size())
                        rt.raise(QStringLiteral("VerifyError"), 1026, {QString::number(ins.operands[0])});
                    if (ins.op == Op::GetGlobalSlot) stack.push_back(g.obj()->slotValues[ins.operands[0] - 1]);
                    else g.obj()->slotValues[ins.operands[0] - 1] = PropertyAccess::forSlot(rt, g.obj()->traits.get(), ins.operands[0] - 1, pop());
                    break;
                }
                case Op::ConvertS: stack.back() = Value::string(rt.toString(stack.back())); break;
                case Op::EscXElem:
                    stack.back() = Value::string(XmlSupport::isXmlOrList(stack.back())
                                                     ? XmlPrinter::toXmlString(XmlSupport::nodesOf(stack.back()), rt.xmlSettings)
                                                     : XmlPrinter::escapeText(rt.toString(stack.back())));
                    break;
                case Op::EscXAttr: stack.back() = Value::string(XmlPrinter::escapeAttribute(rt.toString(stack.back()))); break;
                case Op::Dxns: rt.defaultXmlNamespace = unit.abc.stringAt(ins.operands[0]); break;
                case Op::DxnsLate: rt.defaultXmlNamespace = rt.toString(pop()); break;
                case Op::GetDescendants: {
                    Name n = nameOf(ins.operands[0]);
                    Value target = pop();
                    stack.push_back(XmlSupport::descendants(rt, target, n));
                    break;
                }
                case Op::ConvertI: case Op::CoerceI: stack.back() = Value::integer(rt.toInt32(stack.back())); break;
                case Op::ConvertU: case Op::CoerceU: stack.back() = Value::unsignedInt(rt.toUint32(stack.back())); break;
                case Op::ConvertD: case Op::CoerceD:
                    if (stack.back().kind != Kind::Int) stack.back() = Value::number(rt.toNumber(stack.back()));
                    break;
                case Op::ConvertB: case Op::CoerceB: stack.back() = Value::boolean(stack.back().toBoolean()); break;
                case Op::ConvertO:
                    if (stack.back().isNullish()) rt.raise(QStringLiteral("TypeError"), stack.back().isNull() ? 1009 : 1010);
                    break;
                case Op::CoerceO: if (stack.back().isUndefined()) stack.back() = Value::null(); break;
                case Op::CheckFilter:
                    if (!XmlSupport::isXmlOrList(stack.back())) rt.raise(QStringLiteral("TypeError"), 1123, {rt.describe(stack.back())});
                    break;
                case Op::CoerceA: break;
                case Op::CoerceS:
                    if (stack.back().isNullish()) stack.back() = Value::null();
                    else if (!stack.back().isString()) stack.back() = Value::string(rt.toString(stack.back()));
                    break;
                case Op::Coerce: {
                    ClassObject* t = typeFor(rt, unit, ins.operands[0]);
                    if (t) stack.back() = rt.coerce(stack.back(), t);
                    break;
                }
                case Op::AsType: {
                    ClassObject* t = typeFor(rt, unit, ins.operands[0]);
                    if (t && !rt.isType(stack.back(), t)) stack.back() = Value::null();
                    break;
                }
                case Op::AsTypeLate: {
                    ClassObject* t = typeFromValue(rt, pop());
                    if (!rt.isType(stack.back(), t)) stack.back() = Value::null();
                    break;
                }
                case Op::IsType: {
                    ClassObject* t = typeFor(rt, unit, ins.operands[0]);
                    stack.back() = Value::boolean(!t || rt.isType(stack.back(), t));
                    break;
                }
                case Op::IsTypeLate: {
                    ClassObject* t = typeFromValue(rt, pop());
                    stack.back() = Value::boolean(rt.isType(stack.back(), t));
                    break;
                }
                case Op::InstanceOf: {
                    Value type = pop();
                    stack.back() = Value::boolean(instanceOf(rt, stack.back(), type));
                    break;
                }
                case Op::In: {
                    Value obj = pop();
                    Value key = pop();
                    Name n = Name::publicName(rt.toString(key));
                    n.index = PropertyAccess::indexOf(n.local);
                    if (key.isObject()) n.objectKey = key.obj();
                    if (obj.isNullish()) rt.raise(QStringLiteral("TypeError"), obj.isNull() ? 1009 : 1010);
                    stack.push_back(Value::boolean(PropertyAccess::has(rt, obj, n)));
                    break;
                }
                case Op::Negate: stack.back() = Value::number(-rt.toNumber(stack.back())); break;
                case Op::NegateI: stack.back() = Value::integer(int32_t(0u - uint32_t(rt.toInt32(stack.back())))); break;
                case Op::Increment: case Op::Decrement: {
                    Value& v = stack.back();
                    const int d = ins.op == Op::Increment ? 1 : -1;
                    v = v.kind == Kind::Int ? Value::number(double(v.i) + d) : Value::number(rt.toNumber(v) + d);
                    break;
                }
                case Op::IncrementI: case Op::DecrementI:
                    stack.back() = Value::integer(int32_t(uint32_t(rt.toInt32(stack.back())) + (ins.op == Op::IncrementI ? 1u : ~0u)));
                    break;
                case Op::IncLocal: case Op::DecLocal: {
                    Value& v = locals[ins.operands[0]];
                    v = Value::number(rt.toNumber(v) + (ins.op == Op::IncLocal ? 1 : -1));
                    break;
                }
                case Op::IncLocalI: case Op::DecLocalI: {
                    Value& v = locals[ins.operands[0]];
                    v = Value::integer(int32_t(uint32_t(rt.toInt32(v)) + (ins.op == Op::IncLocalI ? 1u : ~0u)));
                    break;
                }
                case Op::TypeOf: stack.back() = Value::string(rt.typeOf(stack.back())); break;
                case Op::Not: stack.back() = Value::boolean(!stack.back().toBoolean()); break;
                case Op::BitNot: stack.back() = Value::integer(~rt.toInt32(stack.back())); break;
                case Op::Add: {
                    Value b = pop();
                    Value& a = stack.back();
                    if (a.kind == Kind::Int && b.kind == Kind::Int) a = Value::number(double(int64_t(a.i) + b.i));
                    else a = rt.add(a, b);
                    break;
                }
                case Op::Subtract: case Op::Multiply: case Op::Divide: case Op::Modulo: {
                    Value b = pop();
                    stack.back() = numberOp(rt, ins.op, stack.back(), b);
                    break;
                }
                case Op::LShift: case Op::RShift: case Op::URShift: case Op::BitAnd: case Op::BitOr: case Op::BitXor:
                case Op::AddI: case Op::SubtractI: case Op::MultiplyI: {
                    Value b = pop();
                    stack.back() = bitOp(rt, ins.op, stack.back(), b);
                    break;
                }
                case Op::Equals: { Value b = pop(); stack.back() = Value::boolean(rt.looseEquals(stack.back(), b)); break; }
                case Op::StrictEquals: { Value b = pop(); stack.back() = Value::boolean(strictEquals(stack.back(), b)); break; }
                case Op::LessThan: { Value b = pop(); stack.back() = Value::boolean(rt.lessThan(stack.back(), b) == 1); break; }
                case Op::LessEquals: { Value b = pop(); stack.back() = Value::boolean(rt.lessThan(b, stack.back()) == 0); break; }
                case Op::GreaterThan: { Value b = pop(); stack.back() = Value::boolean(rt.lessThan(b, stack.back()) == 1); break; }
                case Op::GreaterEquals: { Value b = pop(); stack.back() = Value::boolean(rt.lessThan(stack.back(), b) == 0); break; }
                case Op::ApplyType: {
                    auto a = popArgs(ins.operands[0]);
                    Value& generic = stack.back();
                    if (!generic.isObject() || !VectorClass::isGeneric(rt, generic.obj()) || a.size() != 1)
                        rt.raise(QStringLiteral("TypeError"), 1127);
                    ClassObject* element = a[0].isNullish() ? nullptr : typeFromValue(rt, a[0]);
                    generic = Value::object(VectorClass::specialise(rt, element)->shared_from_this());
                    break;
                }
                default:
                    rt.raise(QStringLiteral("VerifyError"), err::IllegalOpcode,
                             {unit.abc.methodName(mref.index), QString::number(int(ins.op)), QString::number(ins.offset)});
                }
            }
        } catch (ScriptThrow& thrown) {
            const uint32_t at = uint32_t(pc - 1);
            const DecodedHandler* handler = nullptr;
            for (const DecodedHandler& h : dm->handlers) {
                if (at < h.from || at >= h.to) continue;
                const uint32_t type = body.exceptions[h.exception].type;
                if (type != 0) {
                    ClassObject* t = nullptr;
                    try { t = typeFor(rt, unit, type); } catch (ScriptThrow&) { continue; }
                    if (t && !rt.isType(thrown.value, t)) continue;
                }
                handler = &h;
                break;
            }
            if (!handler) throw;
            stack.clear();
            scopes.clear();
            stack.push_back(std::move(thrown.value));
            pc = handler->target;
        }
    }
}

} // namespace nimbrel::movie::avm2
