#include "movie/avm2/builtins/RegExpClass.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/RegExpObject.h"
#include "movie/avm2/builtins/NativeSupport.h"

namespace nimbrel::movie::avm2 {

namespace {
RegExpObject& thisRegExp(Runtime& rt, const Value& self) {
    if (!self.isObject() || self.obj()->type != ScriptObject::Type::RegExp)
        rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("RegExp")});
    return *static_cast<RegExpObject*>(self.obj());
}

ObjectPtr allocate(const ClassObject&) { return std::make_shared<RegExpObject>(); }

Value construct(Runtime& rt, const Value& self, Args a) {
    RegExpObject& re = thisRegExp(rt, self);
    if (a[0].isObject() && a[0].obj()->type == ScriptObject::Type::RegExp) {
        const auto& from = *static_cast<RegExpObject*>(a[0].obj());
        re.compile(from.source, from.flagText());
    } else {
        re.compile(native::stringArg(rt, a, 0), native::stringArg(rt, a, 1));
    }
    return Value();
}

Value callAsFunction(Runtime& rt, const Value&, Args a) {
    if (a[0].isObject() && a[0].obj()->type == ScriptObject::Type::RegExp && a[1].isUndefined()) return a[0];
    return rt.constructClass(*rt.builtin(QStringLiteral("RegExp")), a);
}

Value execMethod(Runtime& rt, const Value& self, Args a) {
    return RegExpClass::exec(rt, thisRegExp(rt, self), native::stringArg(rt, a, 0, QStringLiteral("undefined")));
}
Value testMethod(Runtime& rt, const Value& self, Args a) {
    return Value::boolean(!execMethod(rt, self, a).isNull());
}
Value toString(Runtime& rt, const Value& self, Args) {
    RegExpObject& re = thisRegExp(rt, self);
    return Value::string(QLatin1Char('/') + re.source + QLatin1Char('/') + re.flagText());
}
Value source(Runtime& rt, const Value& self, Args) { return Value::string(thisRegExp(rt, self).source); }
Value global(Runtime& rt, const Value& self, Args) { return Value::boolean(thisRegExp(rt, self).global); }
Value ignoreCase(Runtime& rt, const Value& self, Args) { return Value::boolean(thisRegExp(rt, self).ignoreCase); }
Value multiline(Runtime& rt, const Value& self, Args) { return Value::boolean(thisRegExp(rt, self).multiline); }
Value dotall(Runtime& rt, const Value& self, Args) { return Value::boolean(thisRegExp(rt, self).dotall); }
Value extended(Runtime& rt, const Value& self, Args) { return Value::boolean(thisRegExp(rt, self).extended); }
Value getLastIndex(Runtime& rt, const Value& self, Args) { return Value::number(thisRegExp(rt, self).lastIndex); }
Value setLastIndex(Runtime& rt, const Value& self, Args a) {
    thisRegExp(rt, self).lastIndex = rt.toInt32(a[0]);
    return Value();
}

std::vector<Value> groupsOf(const QRegularExpressionMatch& m) {
    std::vector<Value> out;
    for (int i = 0; i <= m.regularExpression().captureCount(); ++i)
        out.push_back(m.capturedStart(i) < 0 ? Value() : Value::string(m.captured(i)));
    return out;
}

// $&, $1..$99 and $$ in a replacement text.
QString expand(const QString& with, const QRegularExpressionMatch& m, const QString& text) {
    QString out;
    const int groups = m.regularExpression().captureCount();
    for (int i = 0; i < with.size(); ++i) {
        const QChar c = with[i];
        if (c != QLatin1Char('$') || i + 1 >= with.size()) {
            out += c;
            continue;
        }
        const QChar n = with[i + 1];
        if (n == QLatin1Char('$')) { out += n; ++i; }
        else if (n == QLatin1Char('&')) { out += m.captured(0); ++i; }
        else if (n == QLatin1Char('`')) { out += text.left(m.capturedStart(0)); ++i; }
        else if (n == QLatin1Char('\'')) { out += text.mid(m.capturedEnd(0)); ++i; }
        else if (n.isDigit()) {
            int index = n.digitValue(), used = 1;
            if (i + 2 < with.size() && with[i + 2].isDigit() && index * 10 + with[i + 2].digitValue() <= groups) {
                index = index * 10 + with[i + 2].digitValue();
                used = 2;
            }
            if (index == 0 || index > groups) { out += c; continue; }
            out += m.captured(index);
            i += used;
        } else out += c;
    }
    return out;
}
} // namespace

std::shared_ptr<RegExpObject> RegExpClass::toRegExp(Runtime& rt, const Value& v) {
    if (v.isObject() && v.obj()->type == ScriptObject::Type::RegExp)
        return std::static_pointer_cast<RegExpObject>(v.o);
    // Text is taken as it converts: search(undefined) looks for "undefined".
    Value arg = Value::string(rt.toString(v));
    Value made = rt.constructClass(*rt.builtin(QStringLiteral("RegExp")), Args{&arg, 1});
    return std::static_pointer_cast<RegExpObject>(made.o);
}

Value RegExpClass::exec(Runtime& rt, RegExpObject& re, const QString& text) {
    const int from = re.global ? int(re.lastIndex) : 0;
    const auto m = from >= 0 ? re.matchAt(text, from) : QRegularExpressionMatch();
    if (!m.hasMatch()) {
        re.lastIndex = 0;
        return Value::null();
    }
    if (re.global) re.lastIndex = m.capturedEnd(0);
    auto arr = rt.newArray(groupsOf(m));
    arr->setOwn(QStringLiteral("index"), Value::integer(int(m.capturedStart(0))));
    arr->setOwn(QStringLiteral("input"), Value::string(text));
    return Value::object(arr);
}

Value RegExpClass::match(Runtime& rt, RegExpObject& re, const QString& text) {
    if (!re.global) return exec(rt, re, text);
    std::vector<Value> all;
    int at = 0;
    while (at <= text.size()) {
        const auto m = re.matchAt(text, at);
        if (!m.hasMatch()) break;
        all.push_back(Value::string(m.captured(0)));
        at = m.capturedEnd(0) > m.capturedStart(0) ? int(m.capturedEnd(0)) : int(m.capturedEnd(0)) + 1;
    }
    re.lastIndex = 0;
    if (all.empty()) return Value::null();
    return Value::object(rt.newArray(std::move(all)));
}

Value RegExpClass::replace(Runtime& rt, RegExpObject& re, const QString& text, const Value& with) {
    const bool callback = with.isObject() && with.obj()->type == ScriptObject::Type::Function;
    const QString withText = callback ? QString() : rt.toString(with);
    QString out;
    int at = 0, copied = 0;
    while (at <= text.size()) {
        const auto m = re.matchAt(text, at);
        if (!m.hasMatch()) break;
        out += text.mid(copied, m.capturedStart(0) - copied);
        if (callback) {
            std::vector<Value> args = groupsOf(m);
            args.push_back(Value::integer(int(m.capturedStart(0))));
            args.push_back(Value::string(text));
            out += rt.toString(rt.call(with, Value::null(), Args{args.data(), int(args.size())}));
        } else {
            out += expand(withText, m, text);
        }
        copied = int(m.capturedEnd(0));
        if (!re.global) break;
        at = m.capturedEnd(0) > m.capturedStart(0) ? copied : copied + 1;
    }
    out += text.mid(copied);
    return Value::string(out);
}

Value RegExpClass::split(Runtime& rt, RegExpObject& re, const QString& text, double limit) {
    std::vector<Value> parts;
    const int size = int(text.size());
    if (size == 0) {
        if (!re.matchAt(text, 0, true).hasMatch()) parts.push_back(Value::string(text));
        return Value::object(rt.newArray(std::move(parts)));
    }
    int p = 0, q = 0;
    while (q < size && double(parts.size()) < limit) {
        const auto m = re.matchAt(text, q, true);
        if (!m.hasMatch() || m.capturedEnd(0) == p || m.capturedEnd(0) > size) {
            ++q;
            continue;
        }
        parts.push_back(Value::string(text.mid(p, q - p)));
        for (int i = 1; i <= re.re.captureCount() && double(parts.size()) < limit; ++i)
            parts.push_back(m.capturedStart(i) < 0 ? Value() : Value::string(m.captured(i)));
        p = int(m.capturedEnd(0));
        q = p == q ? q + 1 : p;
    }
    if (double(parts.size()) < limit) parts.push_back(Value::string(text.mid(p)));
    return Value::object(rt.newArray(std::move(parts)));
}

void RegExpClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QString(), QStringLiteral("RegExp"), rt.builtin(QStringLiteral("Object")),
                                    {{"exec", execMethod, 1}, {"test", testMethod, 1}, {"toString", toString},
                                     {"get source", source}, {"get global", global}, {"get ignoreCase", ignoreCase},
                                     {"get multiline", multiline}, {"get dotall", dotall}, {"get extended", extended},
                                     {"get lastIndex", getLastIndex}, {"set lastIndex", setLastIndex}});
    cls->nativeAllocate = allocate;
    cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 2};
    cls->callAsFunction = callAsFunction;
}

} // namespace nimbrel::movie::avm2
