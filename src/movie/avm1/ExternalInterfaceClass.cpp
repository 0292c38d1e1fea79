// flash.external.ExternalInterface: talking to a hosting web page. A desktop
// player has no page, so `available` is false and calls answer null; the
// value encoders that movies call directly work as usual.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/FlashPackage.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/XmlNodeObject.h"
#include <cmath>
#include <cstring>

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

// Encoded values never grow past this; a shared subtree repeated at every level would.
constexpr qsizetype kMaxXml = 16 * 1024 * 1024;

// Empty text and a missing argument both give null.
Value escapeArg(Interpreter& vm, Args a, bool unescape)
{
    if (a.empty())
        return Value::null();
    const QString s = vm.toString(a[0]);
    if (s.isEmpty())
        return Value::null();
    if (!unescape)
        return Value(XmlNodeObject::escape(s));
    // Only the five names, exactly as written, in one pass.
    static const std::pair<const char*, QChar> names[] = {
        {"&amp;", QLatin1Char('&')}, {"&lt;", QLatin1Char('<')}, {"&gt;", QLatin1Char('>')},
        {"&quot;", QLatin1Char('"')}, {"&apos;", QLatin1Char('\'')}};
    QString out;
    for (qsizetype i = 0; i < s.size();) {
        bool matched = false;
        if (s[i] == QLatin1Char('&')) {
            for (const auto& [name, ch] : names) {
                if (QStringView(s).mid(i).startsWith(QLatin1String(name))) {
                    out += ch;
                    i += qsizetype(strlen(name));
                    matched = true;
                    break;
                }
            }
        }
        if (!matched)
            out += s[i++];
    }
    return Value(out);
}

class XmlEncoder {
public:
    explicit XmlEncoder(Interpreter& vm) : vm_(vm) {}

    QString value(const Value& v)
    {
        switch (v.type) {
        case Value::Type::Undefined: return QStringLiteral("<undefined/>");
        case Value::Type::Null: return QStringLiteral("<null/>");
        case Value::Type::Boolean: return v.b ? QStringLiteral("<true/>") : QStringLiteral("<false/>");
        case Value::Type::Number: return QStringLiteral("<number>") + vm_.toString(v) + QStringLiteral("</number>");
        case Value::Type::String: {
            Value e = escapeArg(vm_, {v}, false);
            return QStringLiteral("<string>") + vm_.toString(e) + QStringLiteral("</string>");
        }
        case Value::Type::Object: break;
        }
        if (v.o->isFunction())
            return QStringLiteral("<null/>");
        return vm_.instanceOf(v, vm_.arrayCtor) ? array(v) : object(v);
    }

    QString array(const Value& v)
    {
        Nested guard(vm_);
        QString out = QStringLiteral("<array>");
        const double n = lengthOf(v);
        for (long long i = 0; i < n; ++i) {
            out += QStringLiteral("<property id=\"%1\">").arg(i) + value(vm_.getMember(v, QString::number(i)))
                   + QStringLiteral("</property>");
            checkSize(out);
        }
        return out + QStringLiteral("</array>");
    }

    QString object(const Value& v)
    {
        Nested guard(vm_);
        QString out = QStringLiteral("<object>");
        for (const QString& k : enumerable(v.object())) {
            out += QStringLiteral("<property id=\"") + k + QStringLiteral("\">") + value(vm_.getMember(v, k))
                   + QStringLiteral("</property>");
            checkSize(out);
        }
        return out + QStringLiteral("</object>");
    }

    // The call's arguments after the function name.
    QString arguments(const Value& v)
    {
        Nested guard(vm_);
        QString out = QStringLiteral("<arguments>");
        const double n = lengthOf(v);
        for (long long i = 1; i < n; ++i) {
            out += value(vm_.getMember(v, QString::number(i)));
            checkSize(out);
        }
        return out + QStringLiteral("</arguments>");
    }

private:
    // Nesting counts as calls, so a cycle stops at the recursion limit.
    struct Nested {
        explicit Nested(Interpreter& vm) : vm(vm) { vm.enterCall(); }
        ~Nested() { vm.leaveCall(); }
        Interpreter& vm;
    };

    double lengthOf(const Value& v)
    {
        if (v.isNullish())
            return 0;
        const double n = vm_.toNumber(vm_.getMember(v, QStringLiteral("length")));
        return std::isfinite(n) ? std::min(n, 1e6) : 0;
    }

    // for..in order: own and inherited names, newest first, hidden ones left out.
    QStringList enumerable(Object* o)
    {
        QStringList out, seen;
        for (int depth = 0; o && depth < 256; o = o->proto(), ++depth) {
            for (const QString& k : o->ownKeys(true)) {
                if (seen.contains(k))
                    continue;
                seen.append(k);
                Property* p = o->findOwn(k);
                if (!p || !(p->flags & DontEnum))
                    out.append(k);
            }
        }
        return out;
    }

    void checkSize(const QString& s)
    {
        if (s.size() > kMaxXml)
            throw ScriptAbort{QStringLiteral("value too large to encode")};
    }

    Interpreter& vm_;
};

} // namespace

void installExternalInterfaceClass(Interpreter& vm)
{
    if (!hasFlashPackages(vm))
        return;
    Object* proto = vm.newObject();
    NativeFunction* ei = vm.newClass(QString(), nullptr, nullptr, proto);
    flashPackage(vm, QStringLiteral("external"))->define(QStringLiteral("ExternalInterface"), Value(static_cast<Object*>(ei)));
    if (vm.version() < 8) {
        // The members need SWF 8: older movies find each name holding what the function object
        // inherits (Function's call, otherwise undefined).
        static const char* const names[] = {
            "_unescapeXML", "_toXML", "_toJS", "_toAS", "_objectToXML", "_objectToJS", "_objectToAS",
            "_objectID", "_jsQuoteString", "_initJS", "_evalJS", "_escapeXML", "_callOut", "_callIn",
            "call", "available", "_arrayToXML", "_arrayToJS", "_arrayToAS", "_argumentsToXML",
            "_argumentsToAS", "addCallback"};
        for (const char* name : names)
            ei->define(QLatin1String(name), ei->proto() ? ei->proto()->get(QLatin1String(name)) : Value(), DontEnum);
        return;
    }
    ei->define(QStringLiteral("available"), Value(false), DontEnum);
    auto method = [&vm, ei](const char* name, NativeFunction::Fn fn) {
        vm.addMethod(ei, QLatin1String(name), std::move(fn));
    };
    method("addCallback", [](Interpreter&, const Value&, Args) { return Value(false); });
    method("call", [](Interpreter&, const Value&, Args) { return Value::null(); });
    method("_escapeXML", [](Interpreter& vm, const Value&, Args a) { return escapeArg(vm, a, false); });
    method("_unescapeXML", [](Interpreter& vm, const Value&, Args a) { return escapeArg(vm, a, true); });
    method("_toXML", [](Interpreter& vm, const Value&, Args a) { return Value(XmlEncoder(vm).value(arg(a, 0))); });
    method("_arrayToXML", [](Interpreter& vm, const Value&, Args a) { return Value(XmlEncoder(vm).array(arg(a, 0))); });
    method("_objectToXML", [](Interpreter& vm, const Value&, Args a) -> Value {
        Value v = arg(a, 0);
        return Value(v.isObject() ? XmlEncoder(vm).object(v) : QStringLiteral("<object></object>"));
    });
    method("_argumentsToXML", [](Interpreter& vm, const Value&, Args a) {
        return Value(XmlEncoder(vm).arguments(arg(a, 0)));
    });
}

} // namespace nimbrel::movie::avm1
