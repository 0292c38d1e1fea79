// Global functions: parseInt, isNaN, escape, timers, ASSetPropFlags, AsBroadcaster.
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/NumberFormat.h"
#include "movie/avm1/UrlVariables.h"
#include <cmath>
#include <limits>

namespace nimbrel::movie::avm1 {

namespace {

Value addTimer(Interpreter& vm, const std::vector<Value>& args, bool once)
{
    if (args.empty())
        return Value();
    Interpreter::Timer t;
    size_t next;
    if (args[0].isObject() && args[0].o->isFunction()) {
        t.target = args[0];
        next = 1;
    } else if (args.size() >= 2 && args[0].isObject()) {
        t.target = args[0];
        t.method = vm.toString(args[1]);
        next = 2;
    } else {
        return Value();
    }
    if (next >= args.size())
        return Value();
    t.intervalMs = vm.toNumber(args[next]);
    if (std::isnan(t.intervalMs) || t.intervalMs < 0)
        t.intervalMs = 0;
    t.args.assign(args.begin() + long(next) + 1, args.end());
    t.id = vm.nextTimerId++;
    t.nextMs = (vm.clockMs ? vm.clockMs() : 0) + std::max(1.0, t.intervalMs);
    t.once = once;
    vm.timers.push_back(t);
    return Value(double(t.id));
}

Value clearTimer(Interpreter& vm, const std::vector<Value>& args)
{
    if (args.empty())
        return Value();
    int id = vm.toInt32(args[0]);
    for (size_t i = 0; i < vm.timers.size(); ++i)
        if (vm.timers[i].id == id) {
            vm.timers.erase(vm.timers.begin() + long(i));
            break;
        }
    return Value();
}

bool isUnreserved(ushort c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

void installGlobalFunctions(Interpreter& vm)
{
    Object* g = vm.global;
    g->define(QStringLiteral("NaN"), Value(std::numeric_limits<double>::quiet_NaN()), DontEnum);
    g->define(QStringLiteral("Infinity"), Value(std::numeric_limits<double>::infinity()), DontEnum);
    vm.addMethod(g, QStringLiteral("parseInt"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        if (args.empty())
            return Value();
        bool radixGiven = args.size() > 1;
        int radix = radixGiven ? vm.toInt32(args[1]) : 10;
        return Value(parseIntText(vm.toString(arg(args, 0)), radix, radixGiven));
    });
    vm.addMethod(g, QStringLiteral("parseFloat"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        return Value(parseFloatText(vm.toString(arg(args, 0))));
    });
    vm.addMethod(g, QStringLiteral("isNaN"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        // A missing argument is no number at all, unlike undefined.
        return Value(args.empty() || std::isnan(numberArgument(vm, args[0])));
    });
    vm.addMethod(g, QStringLiteral("isFinite"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        return Value(!args.empty() && std::isfinite(numberArgument(vm, args[0])));
    });
    vm.addMethod(g, QStringLiteral("escape"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        QByteArray bytes = vm.toString(arg(args, 0)).toUtf8();
        QString out;
        for (char ch : bytes) {
            uchar c = uchar(ch);
            if (isUnreserved(c))
                out += QChar(c);
            else
                out += QLatin1Char('%') + QStringLiteral("%1").arg(c, 2, 16, QLatin1Char('0')).toUpper();
        }
        return Value(out);
    });
    vm.addMethod(g, QStringLiteral("unescape"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        return Value(UrlVariables::unescape(vm.toString(arg(args, 0))));
    });
    vm.addMethod(g, QStringLiteral("setInterval"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) {
        return addTimer(vm, args, false);
    });
    vm.addMethod(g, QStringLiteral("setTimeout"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) {
        return addTimer(vm, args, true);
    });
    vm.addMethod(g, QStringLiteral("clearInterval"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) {
        return clearTimer(vm, args);
    });
    vm.addMethod(g, QStringLiteral("clearTimeout"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) {
        return clearTimer(vm, args);
    });
    vm.addMethod(g, QStringLiteral("updateAfterEvent"), [](Interpreter&, const Value&, const std::vector<Value>&) {
        return Value();
    });
    vm.addMethod(g, QStringLiteral("ASSetPropFlags"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        Object* o = arg(args, 0).object();
        if (!o)
            return Value();
        // Bit 0 hides from enumeration, bit 1 protects from deletion, bit 2 makes read-only; higher bits
        // hide the property from older movies (see PropertyFlag).
        const unsigned short set = vm.toInt32(arg(args, 2)) & 0xffff;
        const unsigned short clear = args.size() > 3 ? vm.toInt32(args[3]) & 0xffff : 0;
        Value names = arg(args, 1);
        QStringList list;
        if (names.isNull()) {
            for (const Property& p : o->properties())
                list.append(p.name);
        } else if (auto* arr = dynamic_cast<ArrayObject*>(names.object())) {
            for (const Value& v : arr->elements)
                list.append(vm.toString(v));
        } else {
            list = vm.toString(names).split(QLatin1Char(','));
        }
        for (const QString& n : list)
            o->setFlags(n, set, clear & ~set);
        return Value();
    });

    // AsBroadcaster: listener lists for Key, Mouse, Stage and user objects.
    // A constructor like the other classes; its prototype is there for SWF 6 and later only.
    Object* bc = vm.newClass(
        QStringLiteral("AsBroadcaster"),
        [](Interpreter&, const Value&, const std::vector<Value>&) { return Value(); }, nullptr, vm.newObject());
    bc->setFlags(QStringLiteral("prototype"), OnlySwf6Up, 0);
    auto* addListener = vm.addMethod(bc, QStringLiteral("addListener"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        auto* list = dynamic_cast<ArrayObject*>(vm.getMember(self, QStringLiteral("_listeners")).object());
        if (!list)
            return Value(false);
        Value l = arg(args, 0);
        for (const Value& v : list->elements)
            if (vm.strictEquals(v, l))
                return Value(true);
        list->elements.push_back(l);
        return Value(true);
    });
    auto* removeListener = vm.addMethod(bc, QStringLiteral("removeListener"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        auto* list = dynamic_cast<ArrayObject*>(vm.getMember(self, QStringLiteral("_listeners")).object());
        if (!list)
            return Value(false);
        Value l = arg(args, 0);
        std::vector<Value> items = list->elements;
        for (size_t i = 0; i < items.size(); ++i)
            if (vm.strictEquals(items[i], l)) {
                items.erase(items.begin() + long(i));
                list->elements = items;
                return Value(true);
            }
        return Value(false);
    });
    auto* broadcast = vm.addMethod(bc, QStringLiteral("broadcastMessage"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        auto* list = dynamic_cast<ArrayObject*>(vm.getMember(self, QStringLiteral("_listeners")).object());
        if (!list || args.empty())
            return Value();
        QString name = vm.toString(args[0]);
        std::vector<Value> rest(args.begin() + 1, args.end());
        std::vector<Value> copy = list->elements;
        for (const Value& l : copy)
            vm.callMethod(l, name, rest);
        return Value(!copy.empty());
    });
    vm.addMethod(bc, QStringLiteral("initialize"), [addListener, removeListener, broadcast](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        Object* o = arg(args, 0).object();
        if (!o)
            return Value();
        o->define(QStringLiteral("_listeners"), Value(static_cast<Object*>(vm.newArray())), DontEnum);
        o->define(QStringLiteral("addListener"), Value(static_cast<Object*>(addListener)), DontEnum);
        o->define(QStringLiteral("removeListener"), Value(static_cast<Object*>(removeListener)), DontEnum);
        o->define(QStringLiteral("broadcastMessage"), Value(static_cast<Object*>(broadcast)), DontEnum);
        return Value();
    });
}

} // namespace nimbrel::movie::avm1
