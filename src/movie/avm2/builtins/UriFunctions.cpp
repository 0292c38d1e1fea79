#include "movie/avm2/builtins/UriFunctions.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/Runtime.h"
#include "movie/avm2/UriCoding.h"

namespace nimbrel::movie::avm2 {

namespace {

// The argument is declared String = "undefined": left out it is that text,
// while undefined or null passed converts to null and reads "null".
QString uriText(Runtime& rt, Args a) {
    if (a.count == 0) return QStringLiteral("undefined");
    return a[0].isNullish() ? QStringLiteral("null") : rt.toString(a[0]);
}

template <UriCoding::Set set, bool encoding>
Value code(Runtime& rt, const Value&, Args a) {
    const QString text = uriText(rt, a);
    const std::optional<QString> result = encoding ? UriCoding::encode(text, set) : UriCoding::decode(text, set);
    if (!result) {
        const char* fn = encoding ? (set == UriCoding::Set::Uri ? "encodeURI" : "encodeURIComponent")
                                  : (set == UriCoding::Set::Uri ? "decodeURI" : "decodeURIComponent");
        rt.raise(QStringLiteral("URIError"), 1052, {QString::fromLatin1(fn)});
    }
    return Value::string(*result);
}
Value escape(Runtime& rt, const Value&, Args a) { return Value::string(UriCoding::escape(uriText(rt, a))); }
Value unescape(Runtime& rt, const Value&, Args a) {
    // %uXXXX and %XX back to their characters; anything else stays as written.
    const QString s = uriText(rt, a);
    QString out;
    auto hexAt = [&](qsizetype at, int digits, int& value) {
        if (at + digits > s.size()) return false;
        bool ok = false;
        value = s.mid(at, digits).toInt(&ok, 16);
        return ok && !s.mid(at, digits).contains(QLatin1Char('+')) && !s.mid(at, digits).contains(QLatin1Char('-'));
    };
    for (qsizetype i = 0; i < s.size(); ++i) {
        int v = 0;
        if (s[i] == QLatin1Char('%') && i + 1 < s.size() && s[i + 1] == QLatin1Char('u') && hexAt(i + 2, 4, v)) {
            out += QChar(char16_t(v));
            i += 5;
        } else if (s[i] == QLatin1Char('%') && hexAt(i + 1, 2, v)) {
            out += QChar(char16_t(v));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return Value::string(out);
}
Value escapeMultiByte(Runtime& rt, const Value&, Args a) {
    return Value::string(UriCoding::escapeMultiByte(uriText(rt, a)));
}
Value unescapeMultiByte(Runtime& rt, const Value&, Args a) {
    return Value::string(UriCoding::unescapeMultiByte(uriText(rt, a)));
}

} // namespace

void UriFunctions::install(Runtime& rt) {
    using S = UriCoding::Set;
    rt.defineNativeFunction(QStringLiteral("escape"), escape, 1);
    rt.defineNativeFunction(QStringLiteral("unescape"), unescape, 1);
    rt.defineNativeFunction(QStringLiteral("encodeURI"), code<S::Uri, true>, 1);
    rt.defineNativeFunction(QStringLiteral("encodeURIComponent"), code<S::Component, true>, 1);
    rt.defineNativeFunction(QStringLiteral("decodeURI"), code<S::Uri, false>, 1);
    rt.defineNativeFunction(QStringLiteral("decodeURIComponent"), code<S::Component, false>, 1);
    const std::pair<const char*, NativeFn> multiByte[] = {{"escapeMultiByte", escapeMultiByte},
                                                          {"unescapeMultiByte", unescapeMultiByte}};
    for (auto [name, fn] : multiByte) {
        auto f = rt.makeFunction(MethodRef{nullptr, 0, fn, nullptr, 1}, nullptr);
        f->name = QString::fromLatin1(name);
        rt.defineGlobalValue(QStringLiteral("flash.utils"), f->name, Value::object(f));
    }
}

} // namespace nimbrel::movie::avm2
