#include "movie/avm2/builtins/VectorClass.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/NumberText.h"
#include "movie/avm2/VectorObject.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::avm2 {

namespace {
using native::numberArg;

const QString VectorPackage = QStringLiteral("__AS3__.vec");

// A specialised class remembers its base type so allocation can hand it to the instance.
struct SpecialisedClass : ClassObject {
    ClassObject* elementType = nullptr;
};

const ClassObject* elementTypeOf(const ClassObject& cls) {
    auto* s = dynamic_cast<const SpecialisedClass*>(&cls);
    return s ? s->elementType : nullptr;
}

bool isNumericType(const ClassObject* t) {
    return t && t->package.isEmpty() &&
           (t->name == QLatin1String("int") || t->name == QLatin1String("uint") || t->name == QLatin1String("Number"));
}

Value convert(Runtime& rt, const VectorObject& v, const Value& x) { return v.elementType ? rt.coerce(x, v.elementType) : x; }

// What a new element holds until written: numbers start at 0, other typed elements at null.
Value emptyElement(Runtime& rt, const VectorObject& v) {
    if (!v.elementType) return Value();
    if (isNumericType(v.elementType)) return Value::integer(0);
    return rt.coerce(Value(), v.elementType);
}

VectorObject& thisVector(Runtime& rt, const Value& self) {
    if (!self.isObject() || self.obj()->type != ScriptObject::Type::Vector)
        rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("__AS3__.vec::Vector")});
    return *static_cast<VectorObject*>(self.obj());
}

void requireResizable(Runtime& rt, const VectorObject& v) {
    if (v.fixed) rt.raise(QStringLiteral("RangeError"), 1126);
}

[[noreturn]] void raiseOutOfRange(Runtime& rt, double index, size_t length) {
    rt.raise(QStringLiteral("RangeError"), 1125, {NumberText::format(index), QString::number(length)});
}

std::shared_ptr<VectorObject> newLike(Runtime& rt, const VectorObject& v) {
    ObjectPtr made = v.cls->allocate();
    (void)rt;
    return std::static_pointer_cast<VectorObject>(made);
}

void resize(Runtime& rt, VectorObject& v, double n) {
    if (!(n >= 0) || n != std::floor(n) || n > 0x7fffffff) rt.raise(QStringLiteral("RangeError"), 1005, {NumberText::format(n)});
    v.items.resize(size_t(n), emptyElement(rt, v));
}

Value getLength(Runtime& rt, const Value& self, Args) { return Value::unsignedInt(uint32_t(thisVector(rt, self).items.size())); }
Value setLength(Runtime& rt, const Value& self, Args a) {
    VectorObject& v = thisVector(rt, self);
    requireResizable(rt, v);
    resize(rt, v, double(rt.toUint32(a[0])));
    return Value();
}
Value getFixed(Runtime& rt, const Value& self, Args) { return Value::boolean(thisVector(rt, self).fixed); }
Value setFixed(Runtime& rt, const Value& self, Args a) {
    thisVector(rt, self).fixed = a[0].toBoolean();
    return Value();
}

Value push(Runtime& rt, const Value& self, Args a) {
    VectorObject& v = thisVector(rt, self);
    requireResizable(rt, v);
    for (int i = 0; i < a.count; ++i) v.items.push_back(convert(rt, v, a[i]));
    return Value::unsignedInt(uint32_t(v.items.size()));
}
// Taking from an empty vector gives 0 for numbers and undefined otherwise.
Value nothingLeft(const VectorObject& v) { return isNumericType(v.elementType) ? Value::integer(0) : Value(); }

Value pop(Runtime& rt, const Value& self, Args) {
    VectorObject& v = thisVector(rt, self);
    requireResizable(rt, v);
    if (v.items.empty()) return nothingLeft(v);
    Value out = std::move(v.items.back());
    v.items.pop_back();
    return out;
}
Value shift(Runtime& rt, const Value& self, Args) {
    VectorObject& v = thisVector(rt, self);
    requireResizable(rt, v);
    if (v.items.empty()) return nothingLeft(v);
    Value out = std::move(v.items.front());
    v.items.erase(v.items.begin());
    return out;
}
Value unshift(Runtime& rt, const Value& self, Args a) {
    VectorObject& v = thisVector(rt, self);
    requireResizable(rt, v);
    std::vector<Value> added;
    for (int i = 0; i < a.count; ++i) added.push_back(convert(rt, v, a[i]));
    v.items.insert(v.items.begin(), added.begin(), added.end());
    return Value::unsignedInt(uint32_t(v.items.size()));
}
Value insertAt(Runtime& rt, const Value& self, Args a) {
    VectorObject& v = thisVector(rt, self);
    requireResizable(rt, v);
    const int64_t at = native::clampIndex(numberArg(rt, a, 0, 0), int64_t(v.items.size()));
    v.items.insert(v.items.begin() + at, convert(rt, v, a[1]));
    return Value();
}
Value removeAt(Runtime& rt, const Value& self, Args a) {
    VectorObject& v = thisVector(rt, self);
    requireResizable(rt, v);
    double at = numberArg(rt, a, 0, 0);
    if (at < 0) at = std::max(0.0, at + double(v.items.size()));
    if (!(at >= 0) || at >= double(v.items.size())) raiseOutOfRange(rt, numberArg(rt, a, 0, 0), v.items.size());
    Value out = v.items[size_t(at)];
    v.items.erase(v.items.begin() + int64_t(at));
    return out;
}

QString joinWith(Runtime& rt, const VectorObject& v, const QString& sep) {
    QString out;
    for (size_t i = 0; i < v.items.size(); ++i) {
        if (i) out += sep;
        out += rt.toString(v.items[i]); // null and undefined are spelled out, unlike Array
    }
    return out;
}
Value join(Runtime& rt, const Value& self, Args a) {
    return Value::string(joinWith(rt, thisVector(rt, self), native::stringArg(rt, a, 0, QStringLiteral(","))));
}
Value toString(Runtime& rt, const Value& self, Args) { return Value::string(joinWith(rt, thisVector(rt, self), QStringLiteral(","))); }

Value reverse(Runtime& rt, const Value& self, Args) {
    VectorObject& v = thisVector(rt, self);
    std::reverse(v.items.begin(), v.items.end());
    return self;
}

Value concat(Runtime& rt, const Value& self, Args a) {
    VectorObject& v = thisVector(rt, self);
    auto out = newLike(rt, v);
    out->items = v.items;
    for (int i = 0; i < a.count; ++i) {
        // Only vectors of this base type, or of a subclass of it, join on.
        const auto* other = a[i].isObject() && a[i].obj()->type == ScriptObject::Type::Vector ? static_cast<VectorObject*>(a[i].obj()) : nullptr;
        const bool fits = other && (!v.elementType || (other->elementType && other->elementType->isSubclassOf(v.elementType)));
        if (!fits) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(a[i]), v.cls->qualifiedName()});
        for (const Value& item : static_cast<VectorObject*>(a[i].obj())->items) out->items.push_back(convert(rt, v, item));
    }
    return Value::object(out);
}

Value slice(Runtime& rt, const Value& self, Args a) {
    VectorObject& v = thisVector(rt, self);
    const int64_t n = int64_t(v.items.size());
    const int64_t from = native::clampIndex(numberArg(rt, a, 0, 0), n), to = native::clampIndex(numberArg(rt, a, 1, 16777215), n);
    auto out = newLike(rt, v);
    if (to > from) out->items.assign(v.items.begin() + from, v.items.begin() + to);
    return Value::object(out);
}

Value splice(Runtime& rt, const Value& self, Args a) {
    VectorObject& v = thisVector(rt, self);
    const int64_t n = int64_t(v.items.size());
    const int64_t from = native::clampIndex(numberArg(rt, a, 0, 0), n);
    const double countArg = numberArg(rt, a, 1, 4294967295.0);
    const int64_t count = std::isnan(countArg) ? 0 : int64_t(std::clamp<double>(countArg, 0, double(n - from)));
    const int added = std::max(0, a.count - 2);
    if (v.fixed && count != added) requireResizable(rt, v);
    std::vector<Value> inserted;
    for (int i = 2; i < a.count; ++i) inserted.push_back(convert(rt, v, a[i]));
    auto removed = newLike(rt, v);
    removed->items.assign(v.items.begin() + from, v.items.begin() + from + count);
    v.items.erase(v.items.begin() + from, v.items.begin() + from + count);
    v.items.insert(v.items.begin() + from, inserted.begin(), inserted.end());
    return Value::object(removed);
}

Value indexOf(Runtime& rt, const Value& self, Args a) {
    VectorObject& v = thisVector(rt, self);
    const int64_t n = int64_t(v.items.size());
    for (int64_t i = native::clampIndex(numberArg(rt, a, 1, 0), n); i < n; ++i)
        if (strictEquals(v.items[size_t(i)], a[0])) return Value::integer(int(i));
    return Value::integer(-1);
}
Value lastIndexOf(Runtime& rt, const Value& self, Args a) {
    VectorObject& v = thisVector(rt, self);
    const int64_t n = int64_t(v.items.size());
    double from = numberArg(rt, a, 1, 2147483647.0);
    if (from < 0) from += double(n);
    for (int64_t i = std::min<int64_t>(int64_t(from), n - 1); i >= 0; --i)
        if (strictEquals(v.items[size_t(i)], a[0])) return Value::integer(int(i));
    return Value::integer(-1);
}

// every, some, forEach, map, filter: the callback gets (item, index, vector).
enum class Walk { Every, Some, ForEach, Map, Filter };
const char* const walkNames[] = {"every", "some", "forEach", "map", "filter"};
Value walk(Runtime& rt, const Value& self, Args a, Walk kind) {
    VectorObject& v = thisVector(rt, self);
    if (a.count < 1)
        rt.raise(QStringLiteral("ArgumentError"), 1063, {v.cls->qualifiedName() + QStringLiteral("/") + walkNames[int(kind)] + QStringLiteral("()"), QStringLiteral("1"), QString::number(a.count)});
    // The callback parameter is typed Function.
    if (!a[0].isNullish() && !(a[0].isObject() && a[0].obj()->type == ScriptObject::Type::Function))
        rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(a[0]), QStringLiteral("Function")});
    std::shared_ptr<VectorObject> out = (kind == Walk::Map || kind == Walk::Filter) ? newLike(rt, v) : nullptr;
    if (a[0].isNullish()) return out ? Value::object(out) : Value::boolean(kind == Walk::Every);
    for (size_t i = 0; i < v.items.size(); ++i) {
        Value args[3] = {v.items[i], Value::integer(int(i)), self};
        Value r = rt.call(a[0], a.count > 1 ? a[1] : Value::null(), Args{args, 3});
        switch (kind) {
        case Walk::Every: if (!r.toBoolean()) return Value::boolean(false); break;
        case Walk::Some: if (r.toBoolean()) return Value::boolean(true); break;
        case Walk::Map: out->items.push_back(convert(rt, v, r)); break;
        case Walk::Filter: if (r.toBoolean()) out->items.push_back(args[0]); break;
        case Walk::ForEach: break;
        }
    }
    switch (kind) {
    case Walk::Every: return Value::boolean(true);
    case Walk::Some: return Value::boolean(false);
    case Walk::ForEach: return Value();
    default: return Value::object(out);
    }
}
Value every(Runtime& rt, const Value& s, Args a) { return walk(rt, s, a, Walk::Every); }
Value some(Runtime& rt, const Value& s, Args a) { return walk(rt, s, a, Walk::Some); }
Value forEach(Runtime& rt, const Value& s, Args a) { return walk(rt, s, a, Walk::ForEach); }
Value map(Runtime& rt, const Value& s, Args a) { return walk(rt, s, a, Walk::Map); }
Value filter(Runtime& rt, const Value& s, Args a) { return walk(rt, s, a, Walk::Filter); }

// sort(compareFunction) or sort(Array option flags: 1 case-insensitive, 2 descending, 16 numeric).
Value sort(Runtime& rt, const Value& self, Args a) {
    VectorObject& v = thisVector(rt, self);
    const bool byFunction = a[0].isObject() && a[0].obj()->type == ScriptObject::Type::Function;
    const int flags = byFunction || a.count == 0 ? 0 : rt.toInt32(a[0]);
    const bool numeric = (flags & 16) || (flags == 0 && isNumericType(v.elementType));
    auto cmp = [&](const Value& l, const Value& r) -> int {
        int c;
        if (byFunction) {
            Value args[2] = {l, r};
            const double d = rt.toNumber(rt.call(a[0], Value::null(), Args{args, 2}));
            c = d < 0 ? -1 : d > 0 ? 1 : 0;
        } else if (numeric) {
            const double p = rt.toNumber(l), q = rt.toNumber(r);
            c = p < q ? -1 : p > q ? 1 : 0;
        } else {
            const QString p = rt.toString(l), q = rt.toString(r);
            c = (flags & 1) ? p.compare(q, Qt::CaseInsensitive) : p.compare(q);
            c = c < 0 ? -1 : c > 0 ? 1 : 0;
        }
        return (flags & 2) ? -c : c;
    };
    std::vector<Value> sorted = v.items;
    std::stable_sort(sorted.begin(), sorted.end(), [&](const Value& l, const Value& r) { return cmp(l, r) < 0; });
    v.items = std::move(sorted);
    return self;
}

ObjectPtr allocate(const ClassObject& cls) {
    auto v = std::make_shared<VectorObject>();
    v->elementType = elementTypeOf(cls);
    return v;
}

// Vector without a base type cannot be made.
Value constructGeneric(Runtime& rt, const Value&, Args) { rt.raise(QStringLiteral("TypeError"), 1007); }

// new Vector.<T>(length = 0, fixed = false)
Value construct(Runtime& rt, const Value& self, Args a) {
    VectorObject& v = thisVector(rt, self);
    if (a.count > 0) resize(rt, v, double(rt.toUint32(a[0])));
    v.fixed = a[1].toBoolean();
    return Value();
}

// Vector.<T>(source): a vector of this type is given back as it is; an Array
// or another vector is copied with each element converted.
Value convertSource(Runtime& rt, const Value& callee, Args a) {
    auto* cls = static_cast<ClassObject*>(callee.obj());
    if (a.count != 1) rt.raise(QStringLiteral("ArgumentError"), 1112, {QString::number(a.count)});
    const Value& source = a[0];
    if (source.isObject() && source.obj()->cls == cls) return source;
    auto out = std::static_pointer_cast<VectorObject>(cls->allocate());
    if (ArrayObject* arr = native::asArray(source)) {
        for (uint32_t i = 0; i < arr->length(); ++i) {
            Value item;
            arr->getIndex(i, item);
            out->items.push_back(convert(rt, *out, item));
        }
    } else if (source.isObject() && source.obj()->type == ScriptObject::Type::Vector) {
        for (const Value& item : static_cast<VectorObject*>(source.obj())->items) out->items.push_back(convert(rt, *out, item));
    } else {
        rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(source), cls->qualifiedName()});
    }
    return Value::object(out);
}

// A numeric property name as a vector reads it: its number, or NaN when the name is not one.
double numericName(const Name& name) {
    if (name.index >= 0) return double(name.index);
    if (name.anyName || name.local.isEmpty()) return std::nan("");
    bool ok = false;
    const double d = name.local.trimmed() == name.local ? name.local.toDouble(&ok) : 0;
    return ok ? d : std::nan("");
}
} // namespace

void VectorClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(
        VectorPackage, QStringLiteral("Vector"), rt.builtin(QStringLiteral("Object")),
        {{"get length", getLength}, {"set length", setLength}, {"get fixed", getFixed}, {"set fixed", setFixed},
         {"push", push, 1}, {"pop", pop}, {"shift", shift}, {"unshift", unshift, 1}, {"insertAt", insertAt, 2},
         {"removeAt", removeAt, 1}, {"join", join, 1}, {"toString", toString}, {"toLocaleString", toString},
         {"reverse", reverse}, {"concat", concat, 1}, {"slice", slice, 2}, {"splice", splice, 2},
         {"indexOf", indexOf, 1}, {"lastIndexOf", lastIndexOf, 1}, {"every", every, 1}, {"some", some, 1},
         {"forEach", forEach, 1}, {"map", map, 1}, {"filter", filter, 1}, {"sort", sort, 1}});
    cls->nativeAllocate = allocate;
    cls->constructor = MethodRef{nullptr, 0, constructGeneric, cls.get(), 2};
    cls->dynamicInstances = false;
}

bool VectorClass::isGeneric(Runtime& rt, const ScriptObject* cls) {
    return cls && cls == rt.builtin(VectorPackage + QStringLiteral(".Vector"));
}

ClassObject* VectorClass::specialise(Runtime& rt, ClassObject* elementType) {
    if (auto it = rt.vectorClasses.constFind(elementType); it != rt.vectorClasses.constEnd()) return it->get();
    ClassObject* generic = rt.builtin(VectorPackage + QStringLiteral(".Vector"));
    auto cls = std::make_shared<SpecialisedClass>();
    cls->elementType = elementType;
    cls->name = QStringLiteral("Vector.<%1>").arg(elementType ? elementType->qualifiedName() : QStringLiteral("*"));
    cls->package = VectorPackage;
    cls->base = generic->base;
    cls->instanceTraits = generic->instanceTraits;
    cls->dynamicInstances = false;
    cls->isFinal = true;
    cls->nativeAllocate = allocate;
    cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 2};
    cls->callAsFunction = convertSource;
    cls->prototype = std::make_shared<ScriptObject>();
    cls->prototype->proto = generic->prototype;
    cls->cls = rt.builtin(QStringLiteral("Class"));
    cls->proto = generic->proto;
    cls->layOut(std::make_shared<TraitTable>());
    cls->prototype->setOwn(QStringLiteral("constructor"), Value::object(cls), false);
    cls->setOwn(QStringLiteral("prototype"), Value::object(cls->prototype), false);
    rt.vectorClasses.insert(elementType, cls);
    return cls.get();
}

bool VectorClass::read(Runtime& rt, const VectorObject& v, const Name& name, Value& out) {
    const double i = numericName(name);
    if (std::isnan(i)) return false;
    if (i >= 0 && i == std::floor(i) && v.getIndex(uint32_t(std::min(i, 4294967295.0)), out)) return true;
    raiseOutOfRange(rt, i, v.items.size());
}

bool VectorClass::write(Runtime& rt, VectorObject& v, const Name& name, const Value& value) {
    const double i = numericName(name);
    if (std::isnan(i)) return false;
    // Writing one past the end grows a vector that is not fixed.
    const bool inRange = i >= 0 && i == std::floor(i) && (i < double(v.items.size()) || (i == double(v.items.size()) && !v.fixed));
    if (!inRange) raiseOutOfRange(rt, i, v.items.size());
    Value converted = convert(rt, v, value);
    if (size_t(i) == v.items.size()) v.items.push_back(std::move(converted));
    else v.items[size_t(i)] = std::move(converted);
    return true;
}

} // namespace nimbrel::movie::avm2
