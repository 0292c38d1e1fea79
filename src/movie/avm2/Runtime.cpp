#include "movie/avm2/Runtime.h"
#include "movie/avm2/XmlSupport.h"
#include "movie/avm2/AbcParser.h"
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/ClassBuilder.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/Interpreter.h"
#include "movie/avm2/NumberText.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/builtins/BuiltinClasses.h"
#include <cmath>

namespace nimbrel::movie::avm2 {

Runtime::Runtime(Avm2Host& host) : host(host) {
    builtinTraits_ = std::make_shared<TraitTable>();
    builtinGlobal_ = std::make_shared<ScriptObject>(ScriptObject::Type::Global);
    objectPrototype_ = std::make_shared<ScriptObject>();
    functionPrototype = std::make_shared<ScriptObject>();
    functionPrototype->proto = objectPrototype_;
    BuiltinClasses::install(*this);
    builtinGlobal_->layOut(builtinTraits_);
}

Runtime::~Runtime() = default;

CycleCollector::Result Runtime::collectCycles() {
    const CycleCollector::Result result = CycleCollector::collect(objectRegistry_);
    objectsAfterCollection_ = objectRegistry_.size();
    return result;
}

void Runtime::maybeCollectCycles() {
    constexpr std::size_t kFloor = 20000;
    if (objectRegistry_.size() > 2 * objectsAfterCollection_ + kFloor)
        collectCycles();
}

void Runtime::startBudget() {
    budgetStart_ = host.nowMs();
    budgetTicks_ = 0;
    callDepth = 0;
}

void Runtime::checkBudget() {
    if ((++budgetTicks_ & 1023) != 0) return;
    if (host.nowMs() - budgetStart_ > host.scriptTimeoutMs())
        throw ScriptAbort{makeErrorText(1502)};
}

QString Runtime::makeErrorText(int id) { return QStringLiteral("Error #%1: %2").arg(id).arg(Avm2Error::make(id).text); }

void Runtime::loadAndRun(const QByteArray& abcBytes, bool lazy) {
    auto parsed = AbcParser::parse(abcBytes);
    if (!parsed) throw ScriptThrow{makeError(QStringLiteral("VerifyError"), parsed.error().id, parsed.error().text)};
    auto unit = std::make_unique<AbcUnit>(std::move(parsed.value()), nextPrivateId_);
    nextPrivateId_ += uint32_t(unit->abc.pool.namespaces.size()) + 1;
    AbcUnit& u = *unit;
    units_.push_back(std::move(unit));
    for (int s = 0; s < int(u.abc.scripts.size()); ++s) {
        auto global = std::make_shared<ScriptObject>(ScriptObject::Type::Global);
        global->proto = objectPrototype_;
        u.scriptGlobals[size_t(s)] = global;
        keep(global);
        defineGlobals(u, s, global);
    }
    if (!lazy && !u.abc.scripts.empty()) ensureScriptRun(u, int(u.abc.scripts.size()) - 1);
}

void Runtime::defineGlobals(AbcUnit& unit, int script, const ObjectPtr& global) {
    auto table = std::make_shared<TraitTable>();
    auto scope = std::make_shared<ScopeChain>();
    scope->push_back({Value::object(global), false});
    ClassBuilder::addTraits(*this, unit, *table, unit.abc.scripts[size_t(script)].traits, scope, nullptr, script);
    global->layOut(table);
    for (const auto& [name, bindings] : table->all().asKeyValueRange())
        for (const Binding& b : bindings) globals_[name].push_back(GlobalEntry{b.ns, global.get(), &unit, script});
}

void Runtime::ensureScriptRun(AbcUnit& unit, int script) {
    if (unit.scriptStates[size_t(script)] != AbcUnit::ScriptState::Pending) return;
    unit.scriptStates[size_t(script)] = AbcUnit::ScriptState::Running;
    auto scope = std::make_shared<ScopeChain>();
    const Value global = Value::object(unit.scriptGlobals[size_t(script)]);
    try {
        callMethod(MethodRef{&unit, unit.abc.scripts[size_t(script)].initializer}, global, {}, scope);
    } catch (...) {
        unit.scriptStates[size_t(script)] = AbcUnit::ScriptState::Done;
        throw;
    }
    unit.scriptStates[size_t(script)] = AbcUnit::ScriptState::Done;
}

ScriptObject* Runtime::findGlobal(const Name& name) {
    auto it = globals_.constFind(name.local);
    if (it == globals_.constEnd()) return nullptr;
    for (const GlobalEntry& e : *it) {
        if (!name.matches(e.ns) && !(e.unit == nullptr && name.reachesPublic() && e.ns.isPublicEmpty())) continue;
        if (e.unit) ensureScriptRun(*e.unit, e.script);
        return e.global;
    }
    return nullptr;
}

std::shared_ptr<ClassObject> Runtime::findClass(const QString& qualifiedName) {
    const int dot = qualifiedName.lastIndexOf(QLatin1Char('.'));
    Name n;
    n.local = qualifiedName.mid(dot + 1);
    n.single = Namespace::publicNs(dot < 0 ? QString() : qualifiedName.left(dot));
    ScriptObject* g = findGlobal(n);
    if (!g) return nullptr;
    Value v = PropertyAccess::get(*this, Value::object(g->shared_from_this()), n);
    if (!v.isObject() || v.obj()->type != ScriptObject::Type::Class) return nullptr;
    return std::static_pointer_cast<ClassObject>(v.o);
}

Value Runtime::call(const Value& callee, const Value& self, Args args) {
    if (callee.isObject()) {
        if (callee.obj()->type == ScriptObject::Type::Function) {
            auto* f = static_cast<FunctionObject*>(callee.obj());
            // A closure called on null or undefined runs on its script's global object.
            if (!f->bound && self.isNullish() && f->scope && !f->scope->empty() && !f->method.native)
                return callMethod(f->method, f->scope->front().value, args, f->scope);
            return callMethod(f->method, f->bound ? f->boundThis : self, args, f->scope);
        }
        if (callee.obj()->type == ScriptObject::Type::Class) {
            auto* cls = static_cast<ClassObject*>(callee.obj());
            for (ClassObject* c = cls; c; c = c->base.get())
                if (c->callAsFunction && c == cls) return c->callAsFunction(*this, callee, args);
            // Error("text") without new makes an error all the same.
            if (ClassObject* error = builtin(QStringLiteral("Error")); error && cls->isSubclassOf(error))
                return constructClass(*cls, args);
            if (args.count != 1) raise(QStringLiteral("ArgumentError"), 1112, {QString::number(args.count)});
            return coerce(args[0], cls);
        }
    }
    raise(QStringLiteral("TypeError"), 1006, {QStringLiteral("value")});
}

Value Runtime::callMethod(const MethodRef& m, const Value& self, Args args, const ScopePtr& scope) {
    if (m.native) {
        // Natives can recurse through script callbacks and conversions too.
        const char probe = 0;
        if (!enterCall(&probe)) raise(QStringLiteral("Error"), 1023);
        struct Guard {
            int& depth;
            ~Guard() { --depth; }
        } guard{callDepth};
        return m.native(*this, self, args);
    }
    static const ScopePtr empty = std::make_shared<ScopeChain>();
    return Interpreter::run(*this, m, self, args, scope ? scope : empty);
}

Value Runtime::construct(const Value& ctor, Args args) {
    if (ctor.isObject() && ctor.obj()->type == ScriptObject::Type::Class)
        return constructClass(*static_cast<ClassObject*>(ctor.obj()), args);
    if (ctor.isObject() && ctor.obj()->type == ScriptObject::Type::Function) {
        auto* f = static_cast<FunctionObject*>(ctor.obj());
        if (f->bound) raise(QStringLiteral("TypeError"), 1115, {f->name});
        ObjectPtr obj = newObject();
        Value* proto = f->findOwn(QStringLiteral("prototype"));
        if (proto && proto->isObject()) obj->proto = proto->o;
        Value result = callMethod(f->method, Value::object(obj), args, f->scope);
        return result.isObject() ? result : Value::object(obj);
    }
    raise(QStringLiteral("TypeError"), 1007);
}

Value Runtime::constructClass(ClassObject& cls, Args args) {
    if (cls.isInterface) raise(QStringLiteral("TypeError"), 1115, {cls.qualifiedName()});
    ObjectPtr obj = cls.allocate();
    Value self = Value::object(obj);
    // Natives that make primitives (new String("a") is a string) give them back from the constructor.
    for (ClassObject* c = &cls; c; c = c->base.get()) {
        if (c->constructor.native) {
            if (c != &cls) break;
            Value r = c->constructor.native(*this, self, args);
            return r.isUndefined() ? self : r;
        }
        if (c->constructor.unit) break;
    }
    runConstructor(cls, self, args);
    return self;
}

void Runtime::runConstructor(ClassObject& cls, const Value& self, Args args) {
    if (cls.constructor.valid()) {
        callMethod(cls.constructor, self, args, cls.constructorScope);
        return;
    }
    if (cls.base) runConstructor(*cls.base, self, args);
}

std::shared_ptr<FunctionObject> Runtime::makeFunction(const MethodRef& m, const ScopePtr& scope) {
    auto f = std::make_shared<FunctionObject>();
    f->method = m;
    f->scope = scope;
    f->proto = functionPrototype;
    f->cls = builtin(QStringLiteral("Function"));
    if (m.unit) {
        ObjectPtr proto = newObject();
        proto->setOwn(QStringLiteral("constructor"), Value::object(f), false);
        f->setOwn(QStringLiteral("prototype"), Value::object(proto), false);
    }
    return f;
}

std::shared_ptr<FunctionObject> Runtime::bindMethod(const MethodRef& m, const Value& self, const ScopePtr& scope) {
    auto f = std::make_shared<FunctionObject>();
    f->method = m;
    f->scope = scope;
    f->bound = true;
    f->boundThis = self;
    f->proto = functionPrototype;
    f->cls = builtin(QStringLiteral("Function"));
    return f;
}

Value Runtime::toPrimitive(const Value& v, bool preferString) {
    if (!v.isObject()) return v;
    ScriptObject* o = v.obj();
    if (o->type == ScriptObject::Type::Boxed) return o->primitive;
    // XML's own names are its children: its value is always its text.
    if (XmlSupport::isXmlOrList(v)) return Value::string(XmlSupport::textOf(*this, v));
    const QString first = preferString ? QStringLiteral("toString") : QStringLiteral("valueOf");
    const QString second = preferString ? QStringLiteral("valueOf") : QStringLiteral("toString");
    for (const QString& method : {first, second}) {
        Name n = Name::publicName(method);
        Value fn = PropertyAccess::get(*this, v, n);
        if (fn.isObject() && (fn.obj()->type == ScriptObject::Type::Function)) {
            Value r = call(fn, v, {});
            if (!r.isObject()) return r;
        }
    }
    raise(QStringLiteral("TypeError"), 1050, {describe(v)});
}

QString Runtime::toString(const Value& v) {
    if (v.kind == Value::Kind::String) return v.s;
    if (!v.isObject()) return v.primitiveToString();
    return toPrimitive(v, true).primitiveToString();
}

double Runtime::toNumber(const Value& v) {
    if (v.kind == Value::Kind::Int) return v.i;
    if (v.kind == Value::Kind::Number) return v.d;
    if (!v.isObject()) return v.primitiveToNumber();
    return toPrimitive(v, false).primitiveToNumber();
}

Value Runtime::toObject(const Value& v) {
    if (v.isNullish()) raise(QStringLiteral("TypeError"), v.isNull() ? 1009 : 1010);
    return v;
}

QString Runtime::typeOf(const Value& v) const {
    switch (v.kind) {
    case Value::Kind::Undefined: return QStringLiteral("undefined");
    case Value::Kind::Null: return QStringLiteral("object");
    case Value::Kind::Boolean: return QStringLiteral("boolean");
    case Value::Kind::Int:
    case Value::Kind::Number: return QStringLiteral("number");
    case Value::Kind::String: return QStringLiteral("string");
    case Value::Kind::Object:
        if (XmlSupport::isXmlOrList(v)) return QStringLiteral("xml");
        return v.obj()->type == ScriptObject::Type::Function ? QStringLiteral("function") : QStringLiteral("object");
    }
    return {};
}

bool Runtime::looseEquals(const Value& a, const Value& b) {
    if (a.isNumeric() && b.isNumeric()) return a.numberValue() == b.numberValue();
    if ((a.isObject() || b.isObject()) && (XmlSupport::isXmlOrList(a) || XmlSupport::isXmlOrList(b)))
        return XmlSupport::equals(*this, a, b);
    if (XmlSupport::areNames(a, b)) return XmlSupport::sameName(a, b);
    if (a.kind == b.kind) return strictEquals(a, b);
    if (a.isNullish() && b.isNullish()) return true;
    if (a.isNullish() || b.isNullish()) return false;
    if (a.isObject() && b.isObject()) return a.o == b.o;
    if (a.kind == Value::Kind::Boolean) return looseEquals(Value::number(a.b ? 1 : 0), b);
    if (b.kind == Value::Kind::Boolean) return looseEquals(a, Value::number(b.b ? 1 : 0));
    if (a.isObject()) return looseEquals(toPrimitive(a, false), b);
    if (b.isObject()) return looseEquals(a, toPrimitive(b, false));
    return toNumber(a) == toNumber(b); // number and string
}

int Runtime::lessThan(const Value& a, const Value& b) {
    if (a.kind == Value::Kind::Int && b.kind == Value::Kind::Int) return a.i < b.i ? 1 : 0;
    Value pa = toPrimitive(a, false), pb = toPrimitive(b, false);
    if (pa.isString() && pb.isString()) return pa.s < pb.s ? 1 : 0;
    const double x = toNumber(pa), y = toNumber(pb);
    if (std::isnan(x) || std::isnan(y)) return -1;
    return x < y ? 1 : 0;
}

Value Runtime::add(const Value& a, const Value& b) {
    if (a.isNumeric() && b.isNumeric()) return Value::number(a.numberValue() + b.numberValue());
    if (XmlSupport::isXmlOrList(a) && XmlSupport::isXmlOrList(b)) return XmlSupport::concat(*this, a, b);
    Value pa = toPrimitive(a, false), pb = toPrimitive(b, false);
    if (pa.isString() || pb.isString()) return Value::string(toString(pa) + toString(pb));
    return Value::number(toNumber(pa) + toNumber(pb));
}

ClassObject* Runtime::classOf(const Value& v) const {
    switch (v.kind) {
    case Value::Kind::Boolean: return builtin(QStringLiteral("Boolean"));
    case Value::Kind::Int: return builtin(QStringLiteral("int"));
    case Value::Kind::Number: return builtin(QStringLiteral("Number"));
    case Value::Kind::String: return builtin(QStringLiteral("String"));
    case Value::Kind::Object:
        return v.obj()->cls ? v.obj()->cls : builtin(QStringLiteral("Object"));
    default: return builtin(QStringLiteral("Object"));
    }
}

bool Runtime::isType(const Value& v, const ClassObject* type) const {
    if (!type) return true;
    if (v.isNullish()) return false;
    const QString& n = type->name;
    if (type->package.isEmpty()) {
        if (type == builtin(QStringLiteral("Object"))) return true;
        if (n == QLatin1String("int") || n == QLatin1String("uint") || n == QLatin1String("Number")) {
            if (!v.isNumeric()) return false;
            const double d = v.numberValue();
            if (n == QLatin1String("Number")) return true;
            if (std::floor(d) != d) return false;
            return n == QLatin1String("int") ? d >= -2147483648.0 && d <= 2147483647.0 : d >= 0 && d <= 4294967295.0;
        }
    }
    ClassObject* c = classOf(v);
    if (v.kind == Value::Kind::Int || v.kind == Value::Kind::Number) c = builtin(QStringLiteral("Number"));
    return c && (c->isSubclassOf(type) || c->implements(type));
}

Value Runtime::coerce(const Value& v, const ClassObject* type) {
    if (!type) return v;
    if (type->package.isEmpty()) {
        const QString& n = type->name;
        if (n == QLatin1String("int")) return Value::integer(toInt32(v));
        if (n == QLatin1String("uint")) return Value::unsignedInt(toUint32(v));
        if (n == QLatin1String("Number")) return Value::number(toNumber(v));
        if (n == QLatin1String("Boolean")) return Value::boolean(v.toBoolean());
        if (n == QLatin1String("String")) return v.isNullish() ? Value::null() : Value::string(toString(v));
        if (n == QLatin1String("Object")) return v.isUndefined() ? Value::null() : v;
    }
    if (v.isNullish()) return Value::null();
    if (isType(v, type)) return v;
    raise(QStringLiteral("TypeError"), 1034, {describe(v), type->qualifiedName()});
}

QString Runtime::describe(const Value& v) {
    if (v.isObject()) {
        ScriptObject* o = v.obj();
        if (o->type == ScriptObject::Type::Class) return static_cast<ClassObject*>(o)->qualifiedName() + QLatin1Char('$');
        ClassObject* c = o->cls;
        return c ? c->qualifiedName() : QStringLiteral("Object");
    }
    if (v.isString()) return QStringLiteral("\"%1\"").arg(v.s);
    return v.primitiveToString();
}

Value Runtime::makeError(const QString& errorClass, int id, const QString& text) {
    std::shared_ptr<ClassObject> cls = builtins_.value(errorClass);
    if (!cls) cls = builtins_.value(QStringLiteral("Error"));
    Value message = Value::string(QStringLiteral("Error #%1: %2").arg(id).arg(text));
    Value idValue = Value::integer(id);
    Value args[2] = {message, idValue};
    return constructClass(*cls, Args{args, 2});
}

void Runtime::raise(const QString& errorClass, int id, const QStringList& args) {
    throw ScriptThrow{makeError(errorClass, id, Avm2Error::make(id, args).text)};
}

ObjectPtr Runtime::newObject() {
    auto obj = std::make_shared<ScriptObject>();
    obj->proto = objectPrototype_;
    obj->cls = builtin(QStringLiteral("Object"));
    return obj;
}

std::shared_ptr<ArrayObject> Runtime::newArray(std::vector<Value> items) {
    auto arr = std::make_shared<ArrayObject>();
    ClassObject* cls = builtin(QStringLiteral("Array"));
    arr->cls = cls;
    if (cls) {
        arr->proto = cls->prototype;
        arr->layOut(cls->instanceTraits);
    }
    arr->items = std::move(items);
    return arr;
}

std::shared_ptr<ClassObject> Runtime::defineNativeClass(const QString& package, const QString& name, ClassObject* base,
                                                        std::initializer_list<NativeMethod> prototypeMethods,
                                                        std::initializer_list<NativeMethod> staticMethods) {
    auto cls = std::make_shared<ClassObject>();
    cls->name = name;
    cls->package = package;
    if (base) cls->base = std::static_pointer_cast<ClassObject>(base->shared_from_this());
    const bool isObject = package.isEmpty() && name == QLatin1String("Object");
    cls->prototype = isObject ? objectPrototype_ : std::make_shared<ScriptObject>();
    if (!isObject) cls->prototype->proto = base ? base->prototype : objectPrototype_;
    if (package.isEmpty() && name == QLatin1String("Function")) cls->prototype = functionPrototype;
    cls->instanceTraits = base ? std::make_shared<TraitTable>(*base->instanceTraits) : std::make_shared<TraitTable>();
    for (const NativeMethod& m : prototypeMethods) {
        const QString n = QString::fromLatin1(m.name);
        if (n.startsWith(QLatin1String("get ")) || n.startsWith(QLatin1String("set "))) {
            Binding b;
            b.kind = Binding::Kind::Accessor;
            b.name = n.mid(4);
            b.alsoAs3 = true;
            (n[0] == QLatin1Char('g') ? b.getter : b.setter) = MethodRef{nullptr, 0, m.fn, cls.get(), m.length};
            cls->instanceTraits->put(std::move(b));
            continue;
        }
        auto f = makeFunction(MethodRef{nullptr, 0, m.fn, cls.get(), m.length}, nullptr);
        f->name = n;
        cls->prototype->setOwn(n, Value::object(f), false);
    }
    auto statics = std::make_shared<TraitTable>();
    for (const NativeMethod& m : staticMethods) {
        Binding b;
        b.name = QString::fromLatin1(m.name);
        b.alsoAs3 = true;
        if (b.name.startsWith(QLatin1String("get ")) || b.name.startsWith(QLatin1String("set "))) {
            const bool getter = b.name[0] == QLatin1Char('g');
            b.name = b.name.mid(4);
            const MethodRef fn{nullptr, 0, m.fn, cls.get(), m.length};
            if (Binding* pair = statics->findExact(Namespace::publicNs(), b.name)) {
                (getter ? pair->getter : pair->setter) = fn;
                continue;
            }
            b.kind = Binding::Kind::Accessor;
            (getter ? b.getter : b.setter) = fn;
        } else {
            b.kind = Binding::Kind::Method;
            b.method = MethodRef{nullptr, 0, m.fn, cls.get(), m.length};
        }
        statics->put(std::move(b));
    }
    cls->layOut(statics);
    cls->cls = builtin(QStringLiteral("Class"));
    cls->proto = cls->cls ? cls->cls->prototype : objectPrototype_;
    cls->prototype->setOwn(QStringLiteral("constructor"), Value::object(cls), false);
    cls->setOwn(QStringLiteral("prototype"), Value::object(cls->prototype), false);
    const QString key = package.isEmpty() ? name : package + QLatin1Char('.') + name;
    builtins_.insert(key, cls);
    defineGlobalValue(package, name, Value::object(cls));
    return cls;
}

void Runtime::defineNativeFunction(const QString& name, NativeFn fn, int length) {
    auto f = makeFunction(MethodRef{nullptr, 0, fn, nullptr, length}, nullptr);
    f->name = name;
    defineGlobalValue(QString(), name, Value::object(f));
}

void Runtime::defineStaticConstant(ClassObject& cls, const QString& name, const Value& v) {
    auto table = cls.traits ? std::make_shared<TraitTable>(*cls.traits) : std::make_shared<TraitTable>();
    Binding b;
    b.name = name;
    b.kind = Binding::Kind::Const;
    b.alsoAs3 = true;
    b.slot = table->addSlot(v);
    table->put(std::move(b));
    std::vector<Value> values = std::move(cls.slotValues);
    cls.layOut(table);
    for (size_t i = 0; i < values.size() && i < cls.slotValues.size(); ++i) cls.slotValues[i] = values[i];
}

void Runtime::defineGlobalValue(const QString& package, const QString& name, const Value& v) {
    Binding b;
    b.ns = Namespace::publicNs(package);
    b.name = name;
    b.kind = Binding::Kind::Const;
    b.slot = builtinTraits_->addSlot(v);
    builtinTraits_->put(std::move(b));
    builtinGlobal_->slotValues = builtinTraits_->slotDefaults;
    builtinGlobal_->traits = builtinTraits_;
    globals_[name].push_back(GlobalEntry{Namespace::publicNs(package), builtinGlobal_.get(), nullptr, -1});
}

} // namespace nimbrel::movie::avm2
