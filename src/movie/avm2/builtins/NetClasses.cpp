#include "movie/avm2/builtins/NetClasses.h"
#include "movie/avm1/DataLoad.h"
#include "movie/avm1/UrlVariables.h"
#include "movie/avm2/ByteArrayObject.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/LoadRequests.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/avm2/builtins/LoadEventClasses.h"
#include "movie/avm2/builtins/LoaderClasses.h"
#include "movie/display/ScriptHost.h"
#include <algorithm>

namespace nimbrel::movie::avm2 {

using namespace native;

namespace net_natives {

Value field(Runtime& rt, const Value& obj, const char* name) {
    return PropertyAccess::get(rt, obj, Name::publicName(QString::fromLatin1(name)));
}
void setField(Runtime& rt, const Value& obj, const char* name, const Value& v) {
    PropertyAccess::set(rt, obj, Name::publicName(QString::fromLatin1(name)), v);
}

// ---- URLRequest: what to load, and how ----
Value constructRequest(Runtime& rt, const Value& self, Args a) {
    setField(rt, self, "url", a.count > 0 && !a[0].isNullish() ? Value::string(rt.toString(a[0])) : Value::null());
    setField(rt, self, "method", Value::string(QStringLiteral("GET")));
    setField(rt, self, "data", Value::null());
    setField(rt, self, "contentType", Value::string(QStringLiteral("application/x-www-form-urlencoded")));
    setField(rt, self, "requestHeaders", Value::object(rt.newArray()));
    setField(rt, self, "digest", Value::null());
    return Value();
}

Value constructHeader(Runtime& rt, const Value& self, Args a) {
    setField(rt, self, "name", Value::string(stringArg(rt, a, 0)));
    setField(rt, self, "value", Value::string(stringArg(rt, a, 1)));
    return Value();
}

// ---- URLVariables: name=value pairs as dynamic properties ----
Value decodeVariables(Runtime& rt, const Value& self, Args a) {
    const QString text = stringArg(rt, a, 0);
    const auto pairs = avm1::UrlVariables::decode(text);
    if (pairs.isEmpty() && !text.isEmpty()) rt.raise(QStringLiteral("Error"), 2101);
    for (const auto& [name, value] : pairs) PropertyAccess::set(rt, self, Name::publicName(name), Value::string(value));
    return Value();
}
Value constructVariables(Runtime& rt, const Value& self, Args a) {
    if (a.count > 0 && !a[0].isNullish()) decodeVariables(rt, self, a);
    return Value();
}
Value variablesToString(Runtime& rt, const Value& self, Args) {
    avm1::UrlVariables::Pairs pairs;
    ScriptObject* o = self.obj();
    for (int p = o->nextOwnEnumPosition(0); p > 0; p = o->nextOwnEnumPosition(p))
        pairs.append(qMakePair(rt.toString(o->ownEnumName(p)), rt.toString(o->ownEnumValue(p))));
    // Names come out in order, as the reference player's hash happens to list them.
    std::stable_sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return Value::string(avm1::UrlVariables::encode(pairs));
}

// ---- URLLoader ----
NIMBREL_STORED_PROPERTY(loaderData, "data", Value(), asIs)
NIMBREL_STORED_PROPERTY(dataFormat, "dataFormat", Value::string(QStringLiteral("text")), asString)
Value bytesLoaded(Runtime& rt, const Value& s, Args) { return thisTarget(rt, s).stored.value(QStringLiteral("bytesLoaded"), Value::unsignedInt(0)); }
Value bytesTotal(Runtime& rt, const Value& s, Args) { return thisTarget(rt, s).stored.value(QStringLiteral("bytesTotal"), Value::unsignedInt(0)); }

void send(Runtime& rt, const Value& target, const Value& event) {
    PropertyAccess::call(rt, target, Name::publicName(QStringLiteral("dispatchEvent")), Args{&event, 1});
}
Value plainEvent(Runtime& rt, const char* type) {
    const Value t = Value::string(QString::fromLatin1(type));
    return rt.constructClass(*rt.builtin(QStringLiteral("flash.events.Event")), Args{&t, 1});
}

// The answer as the loader's dataFormat asks: text, bytes or variables.
Value dataAs(Runtime& rt, const QString& format, const QByteArray& bytes) {
    if (format == QLatin1String("binary")) {
        Value ba = rt.constructClass(*rt.builtin(QStringLiteral("flash.utils.ByteArray")), {});
        static_cast<ByteArrayObject*>(ba.obj())->bytes = bytes;
        return ba;
    }
    const Value text = Value::string(avm1::DataLoad::decode(bytes));
    if (format == QLatin1String("variables"))
        return rt.constructClass(*rt.builtin(QStringLiteral("flash.net.URLVariables")), Args{&text, 1});
    return text;
}

// open, progress, httpStatus, then complete with the data in place; a
// failed load: httpStatus, then ioError.
void answered(Runtime& rt, const std::weak_ptr<ScriptObject>& weak, const QByteArray& data, bool ok) {
    auto obj = weak.lock();
    if (!obj) return;
    const Value self = Value::object(obj);
    EventTargetObject& t = thisTarget(rt, self);
    t.stored.remove(QStringLiteral("pendingLoad"));
    const Value status = LoadEventClasses::make(rt, "flash.events.HTTPStatusEvent", QStringLiteral("httpStatus"),
                                                {{"status", Value::integer(0)}, {"redirected", Value::boolean(false)}});
    if (!ok) {
        send(rt, self, status);
        send(rt, self, LoadEventClasses::make(rt, "flash.events.IOErrorEvent", QStringLiteral("ioError"),
                                              {{"text", Value::string(QStringLiteral("Error #2032: Stream Error"))},
                                               {"errorID", Value::integer(2032)}}));
        return;
    }
    const double size = double(data.size());
    send(rt, self, plainEvent(rt, "open"));
    t.stored.insert(QStringLiteral("bytesLoaded"), Value::number(size));
    t.stored.insert(QStringLiteral("bytesTotal"), Value::number(size));
    send(rt, self, LoadEventClasses::make(rt, "flash.events.ProgressEvent", QStringLiteral("progress"),
                                          {{"bytesLoaded", Value::number(size)}, {"bytesTotal", Value::number(size)}}));
    send(rt, self, status);
    t.stored.insert(QStringLiteral("data"), dataAs(rt, rt.toString(get_dataFormat(rt, self, {})), data));
    send(rt, self, plainEvent(rt, "complete"));
}

Value loadRequest(Runtime& rt, const Value& self, Args a) {
    if (a[0].isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("request")});
    const Value url = field(rt, a[0], "url");
    if (url.isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("url")});
    LoadRequests* loads = LoaderClasses::requests(rt);
    if (!loads) return Value();
    EventTargetObject& t = thisTarget(rt, self);
    if (const Value pending = t.stored.value(QStringLiteral("pendingLoad")); pending.isNumeric())
        loads->cancel(uint64_t(pending.numberValue()));
    std::weak_ptr<ScriptObject> weak = t.shared_from_this();
    const uint64_t ticket = loads->start(rt.toString(url), [&rt, weak](const QByteArray& data, bool ok) { answered(rt, weak, data, ok); });
    t.stored.insert(QStringLiteral("pendingLoad"), Value::number(double(ticket)));
    return Value();
}
Value closeLoad(Runtime& rt, const Value& self, Args) {
    EventTargetObject& t = thisTarget(rt, self);
    const Value pending = t.stored.take(QStringLiteral("pendingLoad"));
    if (LoadRequests* loads = LoaderClasses::requests(rt); loads && pending.isNumeric()) loads->cancel(uint64_t(pending.numberValue()));
    return Value();
}
Value constructLoader(Runtime& rt, const Value& self, Args a) {
    if (a.count > 0 && !a[0].isNullish()) loadRequest(rt, self, a);
    return Value();
}

// navigateToURL(request, window): the host opens the address when the movie may reach it.
Value navigateToUrl(Runtime& rt, const Value&, Args a) {
    if (a[0].isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("request")});
    const Value url = field(rt, a[0], "url");
    if (url.isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("url")});
    LoadRequests* loads = LoaderClasses::requests(rt);
    display::ScriptHost* player = rt.stage ? rt.stage->host() : nullptr;
    if (!loads || !player) return Value();
    const QString text = rt.toString(url);
    const QUrl resolved = loads->resolve(text);
    if (!loads->policy().allows(host::LoadPolicy::Use::Navigate, resolved)) rt.raise(QStringLiteral("SecurityError"), 2137, {text});
    const QString window = a.count > 1 && !a[1].isNullish() ? rt.toString(a[1]) : QStringLiteral("_blank");
    player->getUrl(QUrl(text).isRelative() ? resolved.toString() : text, window);
    return Value();
}

void constants(Runtime& rt, const char* name, std::initializer_list<std::pair<const char*, const char*>> values) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.net"), QString::fromLatin1(name), rt.builtin(QStringLiteral("Object")), {});
    cls->isFinal = true;
    for (const auto& [key, text] : values) rt.defineStaticConstant(*cls, QString::fromLatin1(key), Value::string(QString::fromLatin1(text)));
}

} // namespace net_natives

void NetClasses::install(Runtime& rt) {
    using namespace net_natives;
    const QString pkg = QStringLiteral("flash.net");
    ClassObject* object = rt.builtin(QStringLiteral("Object"));
    auto request = rt.defineNativeClass(pkg, QStringLiteral("URLRequest"), object, {});
    request->constructor = MethodRef{nullptr, 0, constructRequest, request.get()};
    request->isFinal = true;
    auto header = rt.defineNativeClass(pkg, QStringLiteral("URLRequestHeader"), object, {});
    header->constructor = MethodRef{nullptr, 0, constructHeader, header.get()};
    header->isFinal = true;
    auto variables = rt.defineNativeClass(pkg, QStringLiteral("URLVariables"), object,
                                          {{"decode", decodeVariables, 1}, {"toString", variablesToString}});
    variables->constructor = MethodRef{nullptr, 0, constructVariables, variables.get()};

    auto loader = rt.defineNativeClass(pkg, QStringLiteral("URLLoader"), rt.builtin(QStringLiteral("flash.events.EventDispatcher")), {});
    loader->constructor = MethodRef{nullptr, 0, constructLoader, loader.get()};
    addMembers(*loader, {NIMBREL_STORED_MEMBERS(loaderData, "data"), NIMBREL_STORED_MEMBERS(dataFormat, "dataFormat"),
                         {"get bytesLoaded", bytesLoaded}, {"get bytesTotal", bytesTotal}, {"load", loadRequest, 1},
                         {"close", closeLoad}});

    constants(rt, "URLLoaderDataFormat", {{"BINARY", "binary"}, {"TEXT", "text"}, {"VARIABLES", "variables"}});
    constants(rt, "URLRequestMethod", {{"DELETE", "DELETE"}, {"GET", "GET"}, {"HEAD", "HEAD"}, {"OPTIONS", "OPTIONS"},
                                       {"POST", "POST"}, {"PUT", "PUT"}});
    auto navigate = rt.makeFunction(MethodRef{nullptr, 0, navigateToUrl, nullptr, 1}, nullptr);
    rt.defineGlobalValue(pkg, QStringLiteral("navigateToURL"), Value::object(navigate));
}

} // namespace nimbrel::movie::avm2
