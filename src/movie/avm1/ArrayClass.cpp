// Array: construction and the list methods, including sort with its flags.
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/NumberFormat.h"
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

enum SortFlag { CaseInsensitive = 1, Descending = 2, UniqueSort = 4, ReturnIndexedArray = 8, Numeric = 16 };

ArrayObject* asArray(const Value& v)
{
    return dynamic_cast<ArrayObject*>(v.object());
}

// The methods work on any object with a length, as the player's do.
long long lengthOf(Interpreter& vm, Object* o)
{
    if (auto* a = dynamic_cast<ArrayObject*>(o))
        return a->length();
    return toInt32(vm.toNumber(o->get(QStringLiteral("length"))));
}

std::vector<Value> elementsOf(Interpreter& vm, const Value& v)
{
    std::vector<Value> out;
    Object* o = v.object();
    if (!o)
        return out;
    const long long n = std::min(lengthOf(vm, o), ArrayObject::kMaxScan);
    out.reserve(size_t(std::max(n, 0LL)));
    // Millions of holes take seconds: count them against the script's time
    // like instructions, so the window answers and the budget still holds.
    const bool inScript = vm.running();
    for (long long i = 0; i < n; ++i) {
        if (inScript)
            vm.tick();
        out.push_back(o->get(QString::number(i)));
    }
    return out;
}

// Stores `values` as the elements 0..n-1 of `o` and makes n its length.
void storeElements(Interpreter& vm, Object* o, const std::vector<Value>& values)
{
    if (auto* a = dynamic_cast<ArrayObject*>(o)) {
        a->replaceAll(values);
        return;
    }
    const long long old = std::min(lengthOf(vm, o), ArrayObject::kMaxScan);
    for (size_t i = 0; i < values.size(); ++i)
        o->set(QString::number(i), values[i]);
    for (long long i = (long long)values.size(); i < old; ++i)
        o->remove(QString::number(i));
    o->set(QStringLiteral("length"), Value(double(values.size())));
}

long long relIndex(Interpreter& vm, const Value& v, long long len, long long dflt)
{
    if (v.isUndefined())
        return dflt;
    double d = vm.toInteger(v);
    if (d < 0)
        d += len;
    return (long long)std::clamp(d, 0.0, double(len));
}

QString joinValues(Interpreter& vm, const std::vector<Value>& elems, const QString& sep)
{
    QString out;
    for (size_t i = 0; i < elems.size(); ++i) {
        if (i)
            out += sep;
        const Value& e = elems[i];
        if (e.isUndefined())
            out += vm.version() >= 7 ? QStringLiteral("undefined") : QString();
        else
            out += vm.toString(e);
    }
    return out;
}

int compareValues(Interpreter& vm, const Value& a, const Value& b, int flags, const Value& fn)
{
    if (fn.isObject()) {
        double r = vm.toNumber(vm.call(fn, Value(), {a, b}));
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    if (flags & Numeric) {
        double x = vm.toNumber(a), y = vm.toNumber(b);
        if (a.isNumber() && b.isNumber()) {
            // NaN goes after every number, Infinity included.
            if (std::isnan(x) || std::isnan(y))
                return std::isnan(x) == std::isnan(y) ? 0 : std::isnan(x) ? 1 : -1;
            return x < y ? -1 : x > y ? 1 : 0;
        }
        if (!std::isnan(x) && !std::isnan(y) && a.isNumber() == b.isNumber())
            return x < y ? -1 : x > y ? 1 : 0;
    }
    QString x = vm.toString(a), y = vm.toString(b);
    if (a.isUndefined())
        x = QStringLiteral("undefined");
    if (b.isUndefined())
        y = QStringLiteral("undefined");
    int c = (flags & CaseInsensitive) ? x.compare(y, Qt::CaseInsensitive) : x.compare(y);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// Sorts `self` (or returns the index array); 0 when UNIQUESORT finds equal elements.
Value sortWith(Interpreter& vm, const Value& self, std::vector<Value> keys, int flags,
               const std::function<int(size_t, size_t)>& cmp)
{
    std::vector<size_t> order(keys.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    bool equalSeen = false;
    // The player's quicksort: the first element of each range is the pivot and is
    // always the comparator's first argument; the scans are bounded by the range,
    // so a comparator that contradicts itself still ends. Scripts see the order
    // of the comparisons, so the order of the scans and of the ranges matters.
    struct Range {
        size_t lo, hi;
    };
    std::vector<Range> todo;
    if (order.size() > 1)
        todo.push_back({0, order.size() - 1});
    auto compare = [&](size_t a, size_t b) {
        if (vm.running())
            vm.tick(); // a comparator may be a long script
        int c = cmp(order[a], order[b]);
        if (c == 0)
            equalSeen = true;
        return (flags & Descending) ? -c : c;
    };
    while (!todo.empty()) {
        const Range r = todo.back();
        todo.pop_back();
        if (r.hi == r.lo + 1) {
            if (compare(r.lo, r.hi) > 0)
                std::swap(order[r.lo], order[r.hi]);
            continue;
        }
        size_t i = r.lo + 1, j = r.hi;
        for (;;) {
            while (i < j && compare(r.lo, i) > 0)
                ++i;
            while (j > r.lo && compare(r.lo, j) <= 0)
                --j;
            if (i >= j)
                break;
            std::swap(order[i], order[j]);
        }
        std::swap(order[r.lo], order[j]);
        // The left range is sorted first: it goes on the stack last.
        if (j + 1 < r.hi)
            todo.push_back({j + 1, r.hi});
        if (j >= r.lo + 2)
            todo.push_back({r.lo, j - 1});
    }
    if ((flags & UniqueSort) && equalSeen)
        return Value(0.0);
    if (flags & ReturnIndexedArray) {
        std::vector<Value> idx;
        for (size_t i : order)
            idx.push_back(Value(double(i)));
        return Value(static_cast<Object*>(vm.newArray(idx)));
    }
    if (Object* o = self.object()) {
        std::vector<Value> sorted;
        for (size_t i : order)
            sorted.push_back(keys[i]);
        storeElements(vm, o, sorted);
    }
    return self;
}

} // namespace

void installArrayClass(Interpreter& vm)
{
    // The prototype is a plain object: it has no length of its own.
    Object* proto = vm.newObject(vm.objectProto);
    vm.arrayProto = proto;
    auto build = [](Interpreter& vm, const std::vector<Value>& args) -> Value {
        ArrayObject* a = vm.newArray();
        if (args.size() == 1 && args[0].isNumber())
            a->setLength(args[0].n);
        else
            a->elements = args;
        return Value(static_cast<Object*>(a));
    };
    auto* ctor = vm.newClass(
        QStringLiteral("Array"),
        [build](Interpreter& vm, const Value&, const std::vector<Value>& args) { return build(vm, args); },
        [build](Interpreter& vm, Object*, const std::vector<Value>& args) { return build(vm, args); }, proto);
    vm.arrayCtor = ctor;
    ctor->define(QStringLiteral("CASEINSENSITIVE"), Value(1.0), DontEnum | DontDelete | ReadOnly);
    ctor->define(QStringLiteral("DESCENDING"), Value(2.0), DontEnum | DontDelete | ReadOnly);
    ctor->define(QStringLiteral("UNIQUESORT"), Value(4.0), DontEnum | DontDelete | ReadOnly);
    ctor->define(QStringLiteral("RETURNINDEXEDARRAY"), Value(8.0), DontEnum | DontDelete | ReadOnly);
    ctor->define(QStringLiteral("NUMERIC"), Value(16.0), DontEnum | DontDelete | ReadOnly);

    vm.addMethod(proto, QStringLiteral("push"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        Object* o = self.object();
        if (!o)
            return Value();
        long long len = lengthOf(vm, o);
        for (const Value& v : args)
            o->set(QString::number(len++), v);
        if (!asArray(self))
            o->set(QStringLiteral("length"), Value(double(len)));
        return Value(double(lengthOf(vm, o)));
    });
    vm.addMethod(proto, QStringLiteral("pop"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) -> Value {
        Object* o = self.object();
        if (!o)
            return Value();
        const long long len = lengthOf(vm, o);
        if (len <= 0)
            return Value();
        Value v = o->get(QString::number(len - 1));
        o->remove(QString::number(len - 1));
        o->set(QStringLiteral("length"), Value(double(len - 1)));
        return v;
    });
    vm.addMethod(proto, QStringLiteral("shift"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) -> Value {
        Object* o = self.object();
        if (!o || lengthOf(vm, o) <= 0)
            return Value();
        std::vector<Value> e = elementsOf(vm, self);
        Value v = e.front();
        e.erase(e.begin());
        storeElements(vm, o, e);
        return v;
    });
    vm.addMethod(proto, QStringLiteral("unshift"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        Object* o = self.object();
        if (!o)
            return Value();
        std::vector<Value> e = elementsOf(vm, self);
        e.insert(e.begin(), args.begin(), args.end());
        storeElements(vm, o, e);
        return Value(double(e.size()));
    });
    vm.addMethod(proto, QStringLiteral("join"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        QString sep = args.empty() || args[0].isUndefined() ? QStringLiteral(",") : vm.toString(args[0]);
        return Value(joinValues(vm, elementsOf(vm, self), sep));
    });
    auto toStr = [](Interpreter& vm, const Value& self, const std::vector<Value>&) -> Value {
        return Value(joinValues(vm, elementsOf(vm, self), QStringLiteral(",")));
    };
    vm.addMethod(proto, QStringLiteral("toString"), toStr);
    vm.addMethod(proto, QStringLiteral("toLocaleString"), toStr);
    vm.addMethod(proto, QStringLiteral("reverse"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) -> Value {
        Object* o = self.object();
        if (!o)
            return self;
        std::vector<Value> e = elementsOf(vm, self);
        if (ArrayObject* a = asArray(self)) {
            // Each pair is written low index first, holes becoming undefined;
            // the middle element of an odd length stays where it was.
            std::vector<std::pair<long long, Value>> pairs;
            const long long n = (long long)e.size();
            for (long long i = 0; i < n / 2; ++i) {
                pairs.emplace_back(i, e[size_t(n - 1 - i)]);
                pairs.emplace_back(n - 1 - i, e[size_t(i)]);
            }
            a->rewrite(pairs);
        } else {
            std::reverse(e.begin(), e.end());
            storeElements(vm, o, e);
        }
        return self;
    });
    vm.addMethod(proto, QStringLiteral("concat"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        std::vector<Value> out = elementsOf(vm, self);
        for (const Value& v : args) {
            if (asArray(v)) {
                std::vector<Value> more = elementsOf(vm, v);
                out.insert(out.end(), more.begin(), more.end());
            } else {
                out.push_back(v);
            }
        }
        return Value(static_cast<Object*>(vm.newArray(out)));
    });
    vm.addMethod(proto, QStringLiteral("slice"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        std::vector<Value> e = elementsOf(vm, self);
        long long len = (long long)e.size();
        long long s = relIndex(vm, arg(args, 0), len, 0), en = relIndex(vm, arg(args, 1), len, len);
        std::vector<Value> out;
        for (long long i = s; i < en; ++i)
            out.push_back(e[size_t(i)]);
        return Value(static_cast<Object*>(vm.newArray(out)));
    });
    vm.addMethod(proto, QStringLiteral("splice"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        Object* o = self.object();
        if (!o || args.empty() || args[0].isUndefined())
            return Value();
        std::vector<Value> e = elementsOf(vm, self);
        long long len = (long long)e.size();
        long long start = relIndex(vm, args[0], len, 0);
        long long count = len - start;
        if (args.size() > 1) {
            // A count given as undefined or below zero leaves the array alone.
            if (args[1].isUndefined())
                return Value();
            double c = vm.toInteger(args[1]);
            if (c < 0)
                return Value();
            count = std::min<long long>((long long)c, len - start);
        }
        std::vector<Value> removed(e.begin() + start, e.begin() + start + count);
        e.erase(e.begin() + start, e.begin() + start + count);
        if (args.size() > 2)
            e.insert(e.begin() + start, args.begin() + 2, args.end());
        storeElements(vm, o, e);
        return Value(static_cast<Object*>(vm.newArray(removed)));
    });
    vm.addMethod(proto, QStringLiteral("sort"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        Value fn;
        int flags = 0;
        size_t i = 0;
        // A first argument that is neither a comparator nor flags (undefined,
        // null, a boolean) makes sort refuse to run.
        if (!args.empty() && (args[0].isNullish() || args[0].isBoolean()))
            return Value();
        if (i < args.size() && args[i].isObject() && args[i].o->isFunction())
            fn = args[i++];
        else if (args.size() > 1 && !args[1].isUndefined())
            i = 1; // a second argument holds the flags, whatever the first one is
        if (i < args.size())
            flags = vm.toInt32(args[i]);
        std::vector<Value> e = elementsOf(vm, self);
        return sortWith(vm, self, e, flags, [&](size_t a, size_t b) { return compareValues(vm, e[a], e[b], flags, fn); });
    });
    vm.addMethod(proto, QStringLiteral("sortOn"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        std::vector<Value> e = elementsOf(vm, self);
        QStringList names;
        std::vector<int> flagList;
        if (asArray(arg(args, 0))) {
            for (const Value& v : elementsOf(vm, arg(args, 0)))
                names.append(vm.toString(v));
        } else {
            names.append(vm.toString(arg(args, 0)));
        }
        int flags = 0;
        if (asArray(arg(args, 1))) {
            for (const Value& v : elementsOf(vm, arg(args, 1)))
                flagList.push_back(vm.toInt32(v));
        } else if (args.size() > 1) {
            flags = vm.toInt32(args[1]);
        }
        int outer = flagList.empty() ? flags : flagList.front();
        return sortWith(vm, self, e, outer & (UniqueSort | ReturnIndexedArray), [&](size_t a, size_t b) {
            for (int k = 0; k < names.size(); ++k) {
                int fl = flagList.size() > size_t(k) ? flagList[size_t(k)] : flags;
                Value va = vm.getMember(e[a], names[k]), vb = vm.getMember(e[b], names[k]);
                int c = compareValues(vm, va, vb, fl, Value());
                if (fl & Descending)
                    c = -c;
                if (c)
                    return c;
            }
            return 0;
        });
    });
}

} // namespace nimbrel::movie::avm1
