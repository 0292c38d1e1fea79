#include "movie/avm2/builtins/ArrayClass.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include "movie/avm2/PropertyAccess.h"
#include <QStringList>
#include <algorithm>
#include <functional>
#include <cmath>

namespace nimbrel::movie::avm2 {

namespace {
using native::numberArg;
using native::thisArray;

namespace sortflags {
constexpr int CaseInsensitive = 1;
constexpr int Descending = 2;
constexpr int UniqueSort = 4;
constexpr int ReturnIndexedArray = 8;
constexpr int Numeric = 16;
} // namespace sortflags

Value getLength(Runtime& rt, const Value& self, Args) { return Value::unsignedInt(thisArray(rt, self).length()); }
Value setLength(Runtime& rt, const Value& self, Args a) {
    const double n = rt.toNumber(a[0]);
    if (n < 0 || n != std::floor(n) || n > 4294967295.0) rt.raise(QStringLiteral("RangeError"), 1005, {rt.toString(a[0])});
    thisArray(rt, self).setLength(uint32_t(n));
    return Value();
}
Value push(Runtime& rt, const Value& self, Args a) {
    ArrayObject& arr = thisArray(rt, self);
    for (int i = 0; i < a.count; ++i) arr.setIndex(arr.length(), a[i]);
    return Value::unsignedInt(arr.length());
}
Value pop(Runtime& rt, const Value& self, Args) {
    ArrayObject& arr = thisArray(rt, self);
    const uint32_t length = arr.length();
    if (length == 0) return Value();
    Value v;
    arr.getIndex(length - 1, v);
    arr.setLength(length - 1);
    return v;
}
Value shift(Runtime& rt, const Value& self, Args) {
    ArrayObject& arr = thisArray(rt, self);
    if (arr.items.empty()) return Value();
    Value v = arr.items.front();
    arr.items.erase(arr.items.begin());
    if (!arr.holes.empty()) arr.holes.erase(arr.holes.begin());
    arr.itemsResized();
    return v;
}
Value unshift(Runtime& rt, const Value& self, Args a) {
    ArrayObject& arr = thisArray(rt, self);
    arr.items.insert(arr.items.begin(), a.values, a.values + a.count);
    if (!arr.holes.empty()) arr.holes.insert(arr.holes.begin(), size_t(a.count), false);
    arr.itemsResized();
    return Value::unsignedInt(uint32_t(arr.items.size()));
}
QString joinWith(Runtime& rt, ArrayObject& arr, const QString& sep) {
    QString out;
    for (size_t i = 0; i < arr.items.size(); ++i) {
        if (i) out += sep;
        if (!arr.items[i].isNullish()) out += rt.toString(arr.items[i]);
    }
    return out;
}
Value join(Runtime& rt, const Value& self, Args a) {
    return Value::string(joinWith(rt, thisArray(rt, self), native::stringArg(rt, a, 0, QStringLiteral(","))));
}
Value toString(Runtime& rt, const Value& self, Args) {
    if (!native::asArray(self)) return Value::string(QString());
    return Value::string(joinWith(rt, thisArray(rt, self), QStringLiteral(",")));
}
Value reverse(Runtime& rt, const Value& self, Args) {
    ArrayObject& arr = thisArray(rt, self);
    std::reverse(arr.items.begin(), arr.items.end());
    if (!arr.holes.empty()) std::reverse(arr.holes.begin(), arr.holes.end());
    return self;
}
Value concat(Runtime& rt, const Value& self, Args a) {
    std::vector<Value> out = thisArray(rt, self).items;
    for (int i = 0; i < a.count; ++i) {
        if (ArrayObject* other = native::asArray(a[i])) out.insert(out.end(), other->items.begin(), other->items.end());
        else out.push_back(a[i]);
    }
    return Value::object(rt.newArray(std::move(out)));
}
Value slice(Runtime& rt, const Value& self, Args a) {
    ArrayObject& arr = thisArray(rt, self);
    const int64_t n = int64_t(arr.items.size());
    const int64_t from = native::clampIndex(numberArg(rt, a, 0, 0), n), to = native::clampIndex(numberArg(rt, a, 1, double(n)), n);
    std::vector<Value> out;
    if (to > from) out.assign(arr.items.begin() + from, arr.items.begin() + to);
    return Value::object(rt.newArray(std::move(out)));
}
Value splice(Runtime& rt, const Value& self, Args a) {
    ArrayObject& arr = thisArray(rt, self);
    if (a.count == 0) return Value::object(rt.newArray());
    const int64_t n = int64_t(arr.items.size());
    const int64_t from = native::clampIndex(numberArg(rt, a, 0, 0), n);
    double countArg = numberArg(rt, a, 1, double(n - from));
    const int64_t count = std::isnan(countArg) ? 0 : int64_t(std::clamp<double>(countArg, 0, double(n - from)));
    std::vector<Value> removed(arr.items.begin() + from, arr.items.begin() + from + count);
    arr.items.erase(arr.items.begin() + from, arr.items.begin() + from + count);
    if (a.count > 2) arr.items.insert(arr.items.begin() + from, a.values + 2, a.values + a.count);
    arr.holes.clear();
    arr.itemsResized();
    return Value::object(rt.newArray(std::move(removed)));
}
Value indexOf(Runtime& rt, const Value& self, Args a) {
    ArrayObject& arr = thisArray(rt, self);
    const int64_t n = int64_t(arr.items.size());
    for (int64_t i = native::clampIndex(numberArg(rt, a, 1, 0), n); i < n; ++i)
        if (strictEquals(arr.items[size_t(i)], a[0])) return Value::integer(int(i));
    return Value::integer(-1);
}
Value lastIndexOf(Runtime& rt, const Value& self, Args a) {
    ArrayObject& arr = thisArray(rt, self);
    const int64_t n = int64_t(arr.items.size());
    double from = numberArg(rt, a, 1, double(n - 1));
    if (from < 0) from += double(n);
    for (int64_t i = std::min<int64_t>(int64_t(from), n - 1); i >= 0; --i)
        if (strictEquals(arr.items[size_t(i)], a[0])) return Value::integer(int(i));
    return Value::integer(-1);
}

// every, some, forEach, map, filter: the callback gets (item, index, array).
enum class Walk { Every, Some, ForEach, Map, Filter };
Value walk(Runtime& rt, const Value& self, Args a, Walk kind) {
    ArrayObject& arr = thisArray(rt, self);
    std::vector<Value> out;
    for (size_t i = 0; i < arr.items.size(); ++i) {
        Value args[3] = {arr.items[i], Value::integer(int(i)), self};
        Value r = rt.call(a[0], a.count > 1 ? a[1] : Value::null(), Args{args, 3});
        switch (kind) {
        case Walk::Every: if (!r.toBoolean()) return Value::boolean(false); break;
        case Walk::Some: if (r.toBoolean()) return Value::boolean(true); break;
        case Walk::Map: out.push_back(r); break;
        case Walk::Filter: if (r.toBoolean()) out.push_back(args[0]); break;
        case Walk::ForEach: break;
        }
    }
    switch (kind) {
    case Walk::Every: return Value::boolean(true);
    case Walk::Some: return Value::boolean(false);
    case Walk::ForEach: return Value();
    default: return Value::object(rt.newArray(std::move(out)));
    }
}
Value every(Runtime& rt, const Value& s, Args a) { return walk(rt, s, a, Walk::Every); }
Value some(Runtime& rt, const Value& s, Args a) { return walk(rt, s, a, Walk::Some); }
Value forEach(Runtime& rt, const Value& s, Args a) { return walk(rt, s, a, Walk::ForEach); }
Value map(Runtime& rt, const Value& s, Args a) { return walk(rt, s, a, Walk::Map); }
Value filter(Runtime& rt, const Value& s, Args a) { return walk(rt, s, a, Walk::Filter); }

// Ordering of two values by the option flags alone (no compare function); undefined goes last.
int compareByFlags(Runtime& rt, const Value& l, const Value& r, int flags) {
    if (l.isUndefined() || r.isUndefined()) return l.isUndefined() == r.isUndefined() ? 0 : l.isUndefined() ? 1 : -1;
    int c;
    if (flags & sortflags::Numeric) {
        const double p = rt.toNumber(l), q = rt.toNumber(r);
        c = p < q ? -1 : p > q ? 1 : 0;
    } else {
        const QString p = rt.toString(l), q = rt.toString(r);
        c = (flags & sortflags::CaseInsensitive) ? p.compare(q, Qt::CaseInsensitive) : p.compare(q);
        c = c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    return (flags & sortflags::Descending) ? -c : c;
}

// Puts the sorted order into effect: the indices, 0 for a refused unique sort, or the array rearranged.
Value finishSort(Runtime& rt, const Value& self, ArrayObject& arr, const std::vector<size_t>& order, int flags,
                 const std::function<int(size_t, size_t)>& cmp) {
    if (flags & sortflags::UniqueSort)
        for (size_t i = 1; i < order.size(); ++i)
            if (cmp(order[i - 1], order[i]) == 0) return Value::integer(0);
    if (flags & sortflags::ReturnIndexedArray) {
        std::vector<Value> out;
        for (size_t i : order) out.push_back(Value::integer(int(i)));
        return Value::object(rt.newArray(std::move(out)));
    }
    std::vector<Value> sorted;
    for (size_t i : order) sorted.push_back(arr.items[i]);
    arr.items = std::move(sorted);
    arr.holes.clear();
    return self;
}

// sortOn(names, options): orders elements by one field, or by several in turn, each with its own flags.
Value sortOn(Runtime& rt, const Value& self, Args a) {
    ArrayObject& arr = thisArray(rt, self);
    QStringList fields;
    std::vector<int> fieldFlags;
    if (ArrayObject* names = native::asArray(a[0])) {
        for (const Value& n : names->items) fields << rt.toString(n);
    } else {
        fields << rt.toString(a[0]);
    }
    ArrayObject* options = native::asArray(a[1]);
    const int common = options || a[1].isNullish() ? 0 : rt.toInt32(a[1]);
    for (int i = 0; i < int(fields.size()); ++i)
        fieldFlags.push_back(options ? (size_t(i) < options->items.size() ? rt.toInt32(options->items[size_t(i)]) : 0) : common);
    // Options given as a list must match the names one for one; otherwise the first entry's flags apply to all.
    if (options && options->items.size() != size_t(fields.size())) std::fill(fieldFlags.begin(), fieldFlags.end(), 0);
    const int flags = fieldFlags.empty() ? 0 : fieldFlags[0];
    // Each element's fields are read once.
    std::vector<std::vector<Value>> keys(arr.items.size());
    for (size_t i = 0; i < arr.items.size(); ++i)
        for (const QString& f : fields)
            keys[i].push_back(arr.items[i].isNullish() ? Value() : PropertyAccess::get(rt, arr.items[i], Name::publicName(f)));
    auto cmp = [&](size_t x, size_t y) {
        for (size_t f = 0; f < fieldFlags.size(); ++f)
            if (int c = compareByFlags(rt, keys[x][f], keys[y][f], fieldFlags[f])) return c;
        return 0;
    };
    std::vector<size_t> order(arr.items.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) { return cmp(x, y) < 0; });
    return finishSort(rt, self, arr, order, flags, cmp);
}

Value sort(Runtime& rt, const Value& self, Args a) {
    ArrayObject& arr = thisArray(rt, self);
    Value compare;
    int flags = 0;
    if (a.count > 0 && a[0].isObject() && a[0].obj()->type == ScriptObject::Type::Function) {
        compare = a[0];
        if (a.count > 1) flags = rt.toInt32(a[1]);
    } else if (a.count > 0) {
        flags = rt.toInt32(a[0]);
    }
    std::vector<size_t> order(arr.items.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    // undefined sorts last whatever the order.
    auto cmp = [&](size_t x, size_t y) -> int {
        const Value& l = arr.items[x];
        const Value& r = arr.items[y];
        if (compare.isUndefined() || l.isUndefined() || r.isUndefined()) return compareByFlags(rt, l, r, flags);
        Value args[2] = {l, r};
        const double d = rt.toNumber(rt.call(compare, Value::null(), Args{args, 2}));
        const int c = d < 0 ? -1 : d > 0 ? 1 : 0;
        return (flags & sortflags::Descending) ? -c : c;
    };
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) { return cmp(x, y) < 0; });
    return finishSort(rt, self, arr, order, flags, cmp);
}

Value make(Runtime& rt, const Value&, Args a) {
    if (a.count == 1 && a[0].isNumeric()) {
        const double n = a[0].numberValue();
        if (n < 0 || n != std::floor(n) || n > 4294967295.0) rt.raise(QStringLiteral("RangeError"), 1005, {rt.toString(a[0])});
        auto arr = rt.newArray();
        arr->setLength(uint32_t(n));
        return Value::object(arr);
    }
    return Value::object(rt.newArray(std::vector<Value>(a.values, a.values + a.count)));
}
ObjectPtr allocate(const ClassObject&) { return std::make_shared<ArrayObject>(); }
Value construct(Runtime& rt, const Value& self, Args a) {
    // A subclass instance keeps its own object; Array itself answers with a fresh one.
    ArrayObject* arr = native::asArray(self);
    Value made = make(rt, Value(), a);
    if (arr && arr->cls != rt.builtin(QStringLiteral("Array"))) {
        arr->items = native::asArray(made)->items;
        arr->holes = native::asArray(made)->holes;
        arr->setLength(native::asArray(made)->length());
        return Value();
    }
    return made;
}
} // namespace

void ArrayClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QString(), QStringLiteral("Array"), rt.builtin(QStringLiteral("Object")),
                                    {{"get length", getLength}, {"set length", setLength}, {"push", push, 1},
                                     {"pop", pop}, {"shift", shift}, {"unshift", unshift, 1}, {"join", join, 1},
                                     {"toString", toString}, {"toLocaleString", toString}, {"reverse", reverse},
                                     {"concat", concat, 1}, {"slice", slice, 2}, {"splice", splice, 2},
                                     {"indexOf", indexOf, 1}, {"lastIndexOf", lastIndexOf, 1}, {"every", every, 1},
                                     {"some", some, 1}, {"forEach", forEach, 1}, {"map", map, 1},
                                     {"filter", filter, 1}, {"sort", sort}, {"sortOn", sortOn, 2}});
    cls->callAsFunction = make;
    cls->nativeAllocate = allocate;
    cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 1};
    const std::pair<const char*, int> flags[] = {{"CASEINSENSITIVE", sortflags::CaseInsensitive},
                                                 {"DESCENDING", sortflags::Descending},
                                                 {"UNIQUESORT", sortflags::UniqueSort},
                                                 {"RETURNINDEXEDARRAY", sortflags::ReturnIndexedArray},
                                                 {"NUMERIC", sortflags::Numeric}};
    for (const auto& [name, v] : flags) rt.defineStaticConstant(*cls, QString::fromLatin1(name), Value::integer(v));
}

} // namespace nimbrel::movie::avm2
