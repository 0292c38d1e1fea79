#include "movie/avm2/builtins/NetConnectionClasses.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/builtins/DisplayNative.h"

namespace nimbrel::movie::avm2 {

using namespace native;

namespace {

const QString kInfo = QStringLiteral(" info"); // NetStatusEvent.info, out of the script's sight

// ---- NetStatusEvent ----
Value constructStatusEvent(Runtime& rt, const Value& self, Args a) {
    rt.runConstructor(*rt.builtin(QStringLiteral("flash.events.Event")), self, Args{a.values, std::min(a.count, 3)});
    thisEvent(rt, self).setOwn(kInfo, a[3].isUndefined() ? Value::null() : a[3], false);
    return Value();
}
Value statusInfo(Runtime& rt, const Value& s, Args) {
    const Value* info = thisEvent(rt, s).findOwn(kInfo);
    return info ? *info : Value::null();
}
Value setStatusInfo(Runtime& rt, const Value& s, Args a) {
    thisEvent(rt, s).setOwn(kInfo, a[0].isUndefined() ? Value::null() : a[0], false);
    return Value();
}
Value cloneStatusEvent(Runtime& rt, const Value& s, Args) {
    EventObject& e = thisEvent(rt, s);
    const Value args[] = {Value::string(e.eventType), Value::boolean(e.bubbles), Value::boolean(e.cancelable),
                          statusInfo(rt, s, {})};
    return rt.constructClass(*(e.cls ? e.cls : rt.builtin(QStringLiteral("flash.events.NetStatusEvent"))), Args{args, 4});
}
Value statusToString(Runtime& rt, const Value& s, Args) {
    std::vector<Value> names;
    for (const char* n : {"NetStatusEvent", "type", "bubbles", "cancelable", "eventPhase", "info"})
        names.push_back(Value::string(QString::fromLatin1(n)));
    return PropertyAccess::call(rt, s, Name::publicName(QStringLiteral("formatToString")), Args{names.data(), int(names.size())});
}

// ---- NetConnection ----
bool connected(EventTargetObject& t) { return t.stored.value(QStringLiteral("connected")).toBoolean(); }

// Tells the connection's listeners what happened: info is {code, level: "status"}.
void sendStatus(Runtime& rt, const Value& self, const QString& code) {
    ObjectPtr info = rt.newObject();
    info->setOwn(QStringLiteral("code"), Value::string(code));
    info->setOwn(QStringLiteral("level"), Value::string(QStringLiteral("status")));
    const Value args[] = {Value::string(QStringLiteral("netStatus")), Value::boolean(false), Value::boolean(false),
                          Value::object(info)};
    const Value event = rt.constructClass(*rt.builtin(QStringLiteral("flash.events.NetStatusEvent")), Args{args, 4});
    PropertyAccess::call(rt, self, Name::publicName(QStringLiteral("dispatchEvent")), Args{&event, 1});
}

Value constructConnection(Runtime& rt, const Value& self, Args) {
    thisTarget(rt, self).stored.insert(QStringLiteral("client"), self);
    return Value();
}
// connect(null) opens the local connection at once; a URL is kept but nothing answers there.
Value connect(Runtime& rt, const Value& self, Args a) {
    EventTargetObject& t = thisTarget(rt, self);
    const bool local = a[0].isNullish();
    // Connecting again closes what was open first.
    if (connected(t)) sendStatus(rt, self, QStringLiteral("NetConnection.Connect.Closed"));
    t.stored.insert(QStringLiteral("uri"), Value::string(local ? QStringLiteral("null") : rt.toString(a[0])));
    t.stored.insert(QStringLiteral("connected"), Value::boolean(local));
    if (local) sendStatus(rt, self, QStringLiteral("NetConnection.Connect.Success"));
    return Value();
}
Value close(Runtime& rt, const Value& self, Args) {
    EventTargetObject& t = thisTarget(rt, self);
    const bool was = connected(t);
    t.stored.insert(QStringLiteral("connected"), Value::boolean(false));
    t.stored.insert(QStringLiteral("uri"), Value::null());
    if (was) sendStatus(rt, self, QStringLiteral("NetConnection.Connect.Closed"));
    return Value();
}
Value isConnected(Runtime& rt, const Value& s, Args) { return Value::boolean(connected(thisTarget(rt, s))); }
Value uri(Runtime& rt, const Value& s, Args) { return thisTarget(rt, s).stored.value(QStringLiteral("uri"), Value::null()); }
Value client(Runtime& rt, const Value& s, Args) { return thisTarget(rt, s).stored.value(QStringLiteral("client"), Value::null()); }
Value setClient(Runtime& rt, const Value& s, Args a) {
    if (a[0].isNullish()) rt.raise(QStringLiteral("TypeError"), 2004);
    thisTarget(rt, s).stored.insert(QStringLiteral("client"), a[0]);
    return Value();
}
NIMBREL_STORED_PROPERTY(objectEncoding, "objectEncoding", Value::unsignedInt(3), asInt)
NIMBREL_STORED_PROPERTY(proxyType, "proxyType", Value::string(QStringLiteral("none")), asString)
NIMBREL_STORED_PROPERTY(maxPeerConnections, "maxPeerConnections", Value::unsignedInt(8), asInt)

// What only an open connection can tell.
template <Value (*what)(Runtime&)>
Value whenConnected(Runtime& rt, const Value& s, Args) {
    if (!connected(thisTarget(rt, s))) rt.raise(QStringLiteral("ArgumentError"), 2126);
    return what(rt);
}
Value none(Runtime&) { return Value::string(QStringLiteral("none")); }
Value emptyId(Runtime&) { return Value::string(QString()); }
Value zeroNonce(Runtime&) { return Value::string(QString(64, QLatin1Char('0'))); }
Value rtmp(Runtime&) { return Value::string(QStringLiteral("rtmp")); }
Value noStreams(Runtime& rt) { return Value::object(rt.newArray()); }
Value no(Runtime&) { return Value::boolean(false); }
Value nothing(Runtime&, const Value&, Args) { return Value(); }

} // namespace

void NetConnectionClasses::install(Runtime& rt) {
    ClassObject* event = rt.builtin(QStringLiteral("flash.events.Event"));
    auto status = rt.defineNativeClass(QStringLiteral("flash.events"), QStringLiteral("NetStatusEvent"), event, {});
    status->constructor = MethodRef{nullptr, 0, constructStatusEvent, status.get(), 1};
    status->dynamicInstances = false;
    addMembers(*status, {{"get info", statusInfo}, {"set info", setStatusInfo, 1}, {"clone", cloneStatusEvent},
                         {"toString", statusToString}});
    rt.defineStaticConstant(*status, QStringLiteral("NET_STATUS"), Value::string(QStringLiteral("netStatus")));

    auto connection = rt.defineNativeClass(QStringLiteral("flash.net"), QStringLiteral("NetConnection"),
                                           rt.builtin(QStringLiteral("flash.events.EventDispatcher")), {},
                                           {{"get defaultObjectEncoding", [](Runtime&, const Value&, Args) {
                                                 return Value::unsignedInt(3);
                                             }},
                                            {"set defaultObjectEncoding", nothing, 1}});
    connection->constructor = MethodRef{nullptr, 0, constructConnection, connection.get(), 0};
    connection->dynamicInstances = false;
    addMembers(*connection, {{"connect", connect, 1}, {"close", close}, {"call", nothing, 2}, {"addHeader", nothing, 1},
                             {"get connected", isConnected}, {"get uri", uri}, {"get client", client},
                             {"set client", setClient, 1}, NIMBREL_STORED_MEMBERS(objectEncoding, "objectEncoding"),
                             NIMBREL_STORED_MEMBERS(proxyType, "proxyType"),
                             NIMBREL_STORED_MEMBERS(maxPeerConnections, "maxPeerConnections"),
                             {"get connectedProxyType", whenConnected<none>}, {"get farID", whenConnected<emptyId>},
                             {"get farNonce", whenConnected<zeroNonce>}, {"get nearID", whenConnected<emptyId>},
                             {"get nearNonce", whenConnected<zeroNonce>}, {"get protocol", whenConnected<rtmp>},
                             {"get unconnectedPeerStreams", whenConnected<noStreams>},
                             {"get usingTLS", whenConnected<no>}});
}

} // namespace nimbrel::movie::avm2
