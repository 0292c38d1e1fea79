#include "movie/avm2/builtins/StringClass.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include "movie/avm2/RegExpObject.h"
#include "movie/avm2/builtins/RegExpClass.h"
#include <cmath>

namespace nimbrel::movie::avm2 {

namespace {
using native::numberArg;
using native::stringArg;

bool isRegExp(const Value& v) { return v.isObject() && v.obj()->type == ScriptObject::Type::RegExp; }
QString thisString(Runtime& rt, const Value& self) { return self.isString() ? self.s : rt.toString(self); }
int64_t len(const QString& s) { return int64_t(s.size()); }

Value length(Runtime& rt, const Value& self, Args) { return Value::integer(int(thisString(rt, self).size())); }
Value charAt(Runtime& rt, const Value& self, Args a) {
    const QString s = thisString(rt, self);
    const double i = numberArg(rt, a, 0, 0);
    return Value::string(i >= 0 && i < len(s) ? QString(s[int(i)]) : QString());
}
Value charCodeAt(Runtime& rt, const Value& self, Args a) {
    const QString s = thisString(rt, self);
    const double i = numberArg(rt, a, 0, 0);
    return Value::number(i >= 0 && i < len(s) ? double(s[int(i)].unicode()) : std::nan(""));
}
Value concat(Runtime& rt, const Value& self, Args a) {
    QString s = thisString(rt, self);
    for (int i = 0; i < a.count; ++i) s += rt.toString(a[i]);
    return Value::string(s);
}
Value indexOf(Runtime& rt, const Value& self, Args a) {
    const QString s = thisString(rt, self);
    const double from = numberArg(rt, a, 1, 0);
    const int start = int(std::clamp<double>(std::isnan(from) ? 0 : from, 0, double(len(s))));
    return Value::integer(int(s.indexOf(stringArg(rt, a, 0, QStringLiteral("undefined")), start)));
}
Value lastIndexOf(Runtime& rt, const Value& self, Args a) {
    const QString s = thisString(rt, self);
    const double from = numberArg(rt, a, 1, INFINITY);
    const int start = int(std::clamp<double>(std::isnan(from) ? double(len(s)) : from, 0, double(len(s))));
    return Value::integer(int(s.lastIndexOf(stringArg(rt, a, 0, QStringLiteral("undefined")), start)));
}
Value slice(Runtime& rt, const Value& self, Args a) {
    const QString s = thisString(rt, self);
    const int64_t from = native::clampIndex(numberArg(rt, a, 0, 0), len(s));
    const int64_t to = native::clampIndex(numberArg(rt, a, 1, double(len(s))), len(s));
    return Value::string(to > from ? s.mid(int(from), int(to - from)) : QString());
}
Value substring(Runtime& rt, const Value& self, Args a) {
    const QString s = thisString(rt, self);
    auto clamp = [&](double v) { return std::isnan(v) ? 0.0 : std::clamp<double>(v, 0, double(len(s))); };
    double from = clamp(numberArg(rt, a, 0, 0)), to = clamp(numberArg(rt, a, 1, double(len(s))));
    if (from > to) std::swap(from, to);
    return Value::string(s.mid(int(from), int(to - from)));
}
Value substr(Runtime& rt, const Value& self, Args a) {
    const QString s = thisString(rt, self);
    const int64_t from = native::clampIndex(numberArg(rt, a, 0, 0), len(s));
    double count = numberArg(rt, a, 1, double(len(s)));
    if (std::isnan(count)) count = 0;
    count = std::clamp<double>(count, 0, double(len(s) - from));
    return Value::string(s.mid(int(from), int(count)));
}
Value toLower(Runtime& rt, const Value& self, Args) { return Value::string(thisString(rt, self).toLower()); }
Value toUpper(Runtime& rt, const Value& self, Args) { return Value::string(thisString(rt, self).toUpper()); }
Value split(Runtime& rt, const Value& self, Args a) {
    const QString s = thisString(rt, self);
    const double limit = a.count > 1 && !a[1].isUndefined() ? rt.toNumber(a[1]) : 4294967295.0;
    std::vector<Value> parts;
    if (a.count == 0 || a[0].isUndefined()) {
        parts.push_back(Value::string(s));
    } else if (isRegExp(a[0])) {
        return RegExpClass::split(rt, *RegExpClass::toRegExp(rt, a[0]), s, limit);
    } else {
        const QString sep = rt.toString(a[0]);
        if (sep.isEmpty()) {
            for (QChar c : s) parts.push_back(Value::string(QString(c)));
        } else if (!s.isEmpty() || true) {
            for (const QString& p : s.split(sep)) parts.push_back(Value::string(p));
        }
    }
    if (double(parts.size()) > limit) parts.resize(size_t(std::max(0.0, limit)));
    return Value::object(rt.newArray(std::move(parts)));
}
Value replace(Runtime& rt, const Value& self, Args a) {
    QString s = thisString(rt, self);
    if (isRegExp(a[0])) return RegExpClass::replace(rt, *RegExpClass::toRegExp(rt, a[0]), s, a[1]);
    const QString pattern = rt.toString(a[0]);
    const int at = int(s.indexOf(pattern));
    if (at < 0) return Value::string(s);
    QString with;
    if (a[1].isObject() && a[1].obj()->type == ScriptObject::Type::Function) {
        Value args[3] = {Value::string(pattern), Value::integer(at), Value::string(s)};
        with = rt.toString(rt.call(a[1], Value::null(), Args{args, 3}));
    } else {
        with = rt.toString(a[1]);
    }
    return Value::string(s.left(at) + with + s.mid(at + pattern.size()));
}
Value search(Runtime& rt, const Value& self, Args a) {
    auto re = RegExpClass::toRegExp(rt, a[0]);
    const auto m = re->matchAt(thisString(rt, self), 0);
    return Value::integer(m.hasMatch() ? int(m.capturedStart()) : -1);
}
Value match(Runtime& rt, const Value& self, Args a) {
    auto re = RegExpClass::toRegExp(rt, a[0]);
    return RegExpClass::match(rt, *re, thisString(rt, self));
}
Value localeCompare(Runtime& rt, const Value& self, Args a) {
    const int c = thisString(rt, self).compare(stringArg(rt, a, 0, QStringLiteral("undefined")));
    return Value::integer(c < 0 ? -1 : c > 0 ? 1 : 0);
}
Value toString(Runtime& rt, const Value& self, Args) {
    if (!self.isString() && !(self.isObject() && self.obj() == rt.builtin(QStringLiteral("String"))->prototype.get()))
        rt.raise(QStringLiteral("TypeError"), 1004, {QStringLiteral("String.prototype.toString")});
    return Value::string(self.isString() ? self.s : QString());
}
Value fromCharCode(Runtime& rt, const Value&, Args a) {
    QString s;
    for (int i = 0; i < a.count; ++i) s += QChar(char16_t(rt.toUint32(a[i]) & 0xffff));
    return Value::string(s);
}
Value make(Runtime& rt, const Value&, Args a) { return Value::string(a.count ? rt.toString(a[0]) : QString()); }
} // namespace

void StringClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QString(), QStringLiteral("String"), rt.builtin(QStringLiteral("Object")),
                                    {{"get length", length}, {"charAt", charAt, 1}, {"charCodeAt", charCodeAt, 1},
                                     {"concat", concat}, {"indexOf", indexOf, 1}, {"lastIndexOf", lastIndexOf, 1},
                                     {"slice", slice, 2}, {"substring", substring, 2}, {"substr", substr, 2},
                                     {"toLowerCase", toLower}, {"toUpperCase", toUpper},
                                     {"toLocaleLowerCase", toLower}, {"toLocaleUpperCase", toUpper},
                                     {"split", split, 2}, {"search", search, 1}, {"match", match, 1}, {"replace", replace, 2}, {"localeCompare", localeCompare, 1},
                                     {"toString", toString}, {"valueOf", toString}},
                                    {{"fromCharCode", fromCharCode, 1}});
    cls->callAsFunction = make;
    cls->constructor = MethodRef{nullptr, 0, make, cls.get(), 1};
    cls->isFinal = true;
}

} // namespace nimbrel::movie::avm2
