// String: the boxed string and its text methods.
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

QString selfString(Interpreter& vm, const Value& self)
{
    if (Object* o = self.object(); o && o->hasPrimitive)
        return vm.toString(o->primitive);
    return vm.toString(self);
}

int clampIndex(double d, int len)
{
    if (std::isnan(d))
        return 0;
    return int(std::clamp(std::trunc(d), 0.0, double(len)));
}

// Case mapping is one code unit to one code unit, on the player's older character tables: Georgian capitals
// lower to the Mkhedruli letters, dotted capital I lowers to a plain i, final sigma pairs with the unassigned U+03A2, lunate sigma uppers to sigma, Greek letters with iota subscript
// upper to their capital forms with it, and nothing grows in length.
QString mapCase(const QString& in, bool upper)
{
    QString out = in;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (c.isSurrogate())
            continue;
        if (!upper && u >= 0x10A0 && u <= 0x10C5)
            c = QChar(char16_t(u + 48));
        else if (upper && u >= 0x10D0 && u <= 0x10F5)
            continue;
        else if (!upper && u == 0x0130)
            c = QLatin1Char('i');
        else if (!upper && u == 0x03A2)
            c = QChar(char16_t(0x03C2));
        else if (upper && u == 0x03C2)
            c = QChar(char16_t(0x03A2));
        else if (upper && u == 0x03F2)
            c = QChar(char16_t(0x03A3));
        else if (upper && ((u >= 0x1F80 && u <= 0x1FA7 && (u & 8) == 0) || u == 0x1FB3 || u == 0x1FC3 || u == 0x1FF3))
            c = QChar(char16_t(u + (u >= 0x1FB3 ? 9 : 8)));
        else
            c = upper ? c.toUpper() : c.toLower();
    }
    return out;
}

} // namespace

void installStringClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.stringProto = proto;
    auto* ctor = vm.newClass(
        QStringLiteral("String"),
        [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
            return Value(args.empty() ? QString() : vm.toString(args[0]));
        },
        [](Interpreter& vm, Object* obj, const std::vector<Value>& args) -> Value {
            QString s = args.empty() ? QString() : vm.toString(args[0]);
            obj->hasPrimitive = true;
            obj->primitive = Value(s);
            obj->define(QStringLiteral("length"), Value(double(s.size())), DontEnum);
            return Value(obj);
        },
        proto);
    vm.addMethod(ctor, QStringLiteral("fromCharCode"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        QString out;
        for (const Value& v : args) {
            int c = vm.toInt32(v) & 0xFFFF;
            if (!c)
                break; // a NUL ends the player's string
            out += QChar(c);
        }
        return Value(out);
    });
    vm.addMethod(proto, QStringLiteral("toString"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) -> Value {
        return Value(selfString(vm, self));
    });
    vm.addMethod(proto, QStringLiteral("valueOf"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) -> Value {
        return Value(selfString(vm, self));
    });
    vm.addMethod(proto, QStringLiteral("charAt"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        QString s = selfString(vm, self);
        double i = vm.toInt32(arg(args, 0)); // positions wrap at 32 bits
        if (i < 0 || i >= s.size())
            return Value(QString());
        return Value(QString(s[int(i)]));
    });
    vm.addMethod(proto, QStringLiteral("charCodeAt"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        QString s = selfString(vm, self);
        double i = vm.toInt32(arg(args, 0));
        if (i < 0 || i >= s.size())
            return Value(std::nan(""));
        return Value(double(s[int(i)].unicode()));
    });
    vm.addMethod(proto, QStringLiteral("concat"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        QString s = selfString(vm, self);
        for (const Value& v : args)
            s += vm.toString(v);
        return Value(s);
    });
    // Positions wrap as 32-bit integers; a start past the end finds nothing, not even "".
    vm.addMethod(proto, QStringLiteral("indexOf"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        if (args.empty())
            return Value();
        QString s = selfString(vm, self);
        QString needle = vm.toString(args[0]);
        int from = args.size() > 1 ? std::max(0, vm.toInt32(args[1])) : 0;
        if (from > s.size())
            return Value(-1.0);
        return Value(double(s.indexOf(needle, from)));
    });
    vm.addMethod(proto, QStringLiteral("lastIndexOf"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        if (args.empty())
            return Value();
        QString s = selfString(vm, self);
        QString needle = vm.toString(args[0]);
        int from = s.size();
        if (args.size() > 1 && !args[1].isUndefined()) {
            int d = vm.toInt32(args[1]);
            if (d < 0)
                return Value(-1.0);
            from = std::min(d, int(s.size()));
        }
        return Value(double(s.lastIndexOf(needle, from)));
    });
    vm.addMethod(proto, QStringLiteral("slice"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        if (args.empty())
            return Value();
        QString s = selfString(vm, self);
        int len = s.size();
        auto rel = [&](const Value& v, int dflt) {
            if (v.isUndefined())
                return dflt;
            double d = vm.toInt32(v);
            if (d < 0)
                d += len;
            return int(std::clamp(d, 0.0, double(len)));
        };
        int a = rel(arg(args, 0), 0), b = rel(arg(args, 1), len);
        return Value(b > a ? s.mid(a, b - a) : QString());
    });
    vm.addMethod(proto, QStringLiteral("substring"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        if (args.empty())
            return Value();
        QString s = selfString(vm, self);
        int len = s.size();
        int a = clampIndex(vm.toInt32(args[0]), len);
        int b = args.size() > 1 && !args[1].isUndefined() ? clampIndex(vm.toInt32(args[1]), len) : len;
        if (a > b)
            std::swap(a, b);
        return Value(s.mid(a, b - a));
    });
    vm.addMethod(proto, QStringLiteral("substr"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        if (args.empty())
            return Value();
        QString s = selfString(vm, self);
        int len = s.size();
        double st = vm.toInt32(args[0]);
        if (st < 0)
            st = std::max(0.0, st + len);
        int a = int(std::min<double>(st, len));
        double n = args.size() > 1 && !args[1].isUndefined() ? vm.toInt32(args[1]) : len;
        if (n < 0)
            n = std::max(0.0, n + len - a);
        int count = int(std::min<double>(n, len - a));
        return Value(s.mid(a, count));
    });
    vm.addMethod(proto, QStringLiteral("toLowerCase"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) -> Value {
        return Value(mapCase(selfString(vm, self), false));
    });
    vm.addMethod(proto, QStringLiteral("toUpperCase"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) -> Value {
        return Value(mapCase(selfString(vm, self), true));
    });
    vm.addMethod(proto, QStringLiteral("split"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        QString s = selfString(vm, self);
        std::vector<Value> parts;
        // A negative limit keeps nothing; without a separator the limit does not apply.
        double limit = args.size() > 1 && !args[1].isUndefined() ? std::max(0, vm.toInt32(args[1])) : 1e18;
        if (arg(args, 0).isUndefined()) {
            parts.push_back(Value(s));
            limit = 1e18;
        } else {
            QString sep = vm.toString(args[0]);
            if (sep.isEmpty()) {
                for (QChar c : s)
                    parts.push_back(Value(QString(c)));
            } else if (!s.isEmpty() || vm.version() < 7) {
                for (const QString& p : s.split(sep))
                    parts.push_back(Value(p));
            }
        }
        if (limit >= 0 && parts.size() > size_t(std::min(limit, 1e9)))
            parts.resize(size_t(limit));
        return Value(static_cast<Object*>(vm.newArray(parts)));
    });
}

} // namespace nimbrel::movie::avm1
