#include "movie/avm2/builtins/LoadEventClasses.h"
#include "movie/avm2/LoadEventObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include <vector>

namespace nimbrel::movie::avm2 {

namespace load_event_natives {

LoadEventObject& thisLoadEvent(Runtime& rt, const Value& self) {
    auto* e = self.isObject() ? dynamic_cast<LoadEventObject*>(self.obj()) : nullptr;
    if (!e) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("flash.events.Event")});
    return *e;
}
ObjectPtr allocate(const ClassObject&) { return std::make_shared<LoadEventObject>(); }

// One field an event class adds: its name, how its argument converts, its default.
struct Field {
    const char* name;
    Value (*convert)(Runtime&, const Value&);
    Value fallback;
};
Value toNumber(Runtime& rt, const Value& v) { return Value::number(rt.toNumber(v)); }
Value toInt(Runtime& rt, const Value& v) { return Value::integer(rt.toInt32(v)); }
Value toText(Runtime& rt, const Value& v) { return Value::string(v.isNullish() ? QString() : rt.toString(v)); }
Value toBool(Runtime&, const Value& v) { return Value::boolean(v.toBoolean()); }

struct Kind {
    const char* name;
    const char* base; // null: flash.events.Event
    std::vector<Field> fields; // constructor arguments after type, bubbles, cancelable
    std::vector<std::pair<const char*, const char*>> constants;
    const char* shown; // the fields toString lists
};

const std::vector<Kind>& kinds() {
    static const std::vector<Kind> all = {
        {"ProgressEvent", nullptr, {{"bytesLoaded", toNumber, Value::number(0)}, {"bytesTotal", toNumber, Value::number(0)}},
         {{"PROGRESS", "progress"}, {"SOCKET_DATA", "socketData"}}, "bytesLoaded bytesTotal"},
        {"TextEvent", nullptr, {{"text", toText, Value::string(QString())}}, {{"LINK", "link"}, {"TEXT_INPUT", "textInput"}}, "text"},
        {"ErrorEvent", "flash.events.TextEvent", {{"text", toText, Value::string(QString())}, {"errorID", toInt, Value::integer(0)}},
         {{"ERROR", "error"}}, "text"},
        {"IOErrorEvent", "flash.events.ErrorEvent", {{"text", toText, Value::string(QString())}, {"errorID", toInt, Value::integer(0)}},
         {{"IO_ERROR", "ioError"}, {"NETWORK_ERROR", "networkError"}, {"DISK_ERROR", "diskError"}, {"VERIFY_ERROR", "verifyError"}},
         "text"},
        {"SecurityErrorEvent", "flash.events.ErrorEvent", {{"text", toText, Value::string(QString())}, {"errorID", toInt, Value::integer(0)}},
         {{"SECURITY_ERROR", "securityError"}}, "text"},
        {"HTTPStatusEvent", nullptr, {{"status", toInt, Value::integer(0)}, {"redirected", toBool, Value::boolean(false)}},
         {{"HTTP_STATUS", "httpStatus"}, {"HTTP_RESPONSE_STATUS", "httpResponseStatus"}}, "status redirected responseURL"},
    };
    return all;
}

const Kind* kindOf(const ClassObject* cls) {
    for (; cls; cls = cls->base.get())
        for (const Kind& k : kinds())
            if (cls->package == QLatin1String("flash.events") && cls->name == QLatin1String(k.name)) return &k;
    return nullptr;
}

Value construct(Runtime& rt, const Value& self, Args a) {
    LoadEventObject& e = thisLoadEvent(rt, self);
    e.eventType = rt.toString(a[0]);
    e.bubbles = native::boolArg(a, 1, false);
    e.cancelable = native::boolArg(a, 2, false);
    if (const Kind* k = kindOf(e.cls))
        for (size_t i = 0; i < k->fields.size(); ++i) {
            const Field& f = k->fields[i];
            const int at = int(i) + 3;
            e.fields.insert(QString::fromLatin1(f.name), at < a.count && !a[at].isUndefined() ? f.convert(rt, a[at]) : f.fallback);
        }
    return Value();
}

template <int Index> Value getField(Runtime& rt, const Value& s, Args) {
    LoadEventObject& e = thisLoadEvent(rt, s);
    const Kind* k = kindOf(e.cls);
    if (!k || Index >= int(k->fields.size())) return Value();
    const Field& f = k->fields[size_t(Index)];
    return e.fields.value(QString::fromLatin1(f.name), f.fallback);
}
template <int Index> Value setField(Runtime& rt, const Value& s, Args a) {
    LoadEventObject& e = thisLoadEvent(rt, s);
    if (const Kind* k = kindOf(e.cls); k && Index < int(k->fields.size()))
        e.fields.insert(QString::fromLatin1(k->fields[size_t(Index)].name), k->fields[size_t(Index)].convert(rt, a[0]));
    return Value();
}
Value responseUrl(Runtime& rt, const Value& s, Args) { return thisLoadEvent(rt, s).fields.value(QStringLiteral("responseURL"), Value::null()); }

Value toString(Runtime& rt, const Value& s, Args) {
    LoadEventObject& e = thisLoadEvent(rt, s);
    const Kind* k = kindOf(e.cls);
    std::vector<Value> args{Value::string(e.cls ? e.cls->name : QStringLiteral("Event"))};
    for (const char* n : {"type", "bubbles", "cancelable", "eventPhase"}) args.push_back(Value::string(QString::fromLatin1(n)));
    if (k)
        for (const QString& n : QString::fromLatin1(k->shown).split(QLatin1Char(' '))) args.push_back(Value::string(n));
    return PropertyAccess::call(rt, s, Name::publicName(QStringLiteral("formatToString")), Args{args.data(), int(args.size())});
}

Value clone(Runtime& rt, const Value& s, Args) {
    LoadEventObject& e = thisLoadEvent(rt, s);
    std::vector<Value> args{Value::string(e.eventType), Value::boolean(e.bubbles), Value::boolean(e.cancelable)};
    if (const Kind* k = kindOf(e.cls))
        for (const Field& f : k->fields) args.push_back(e.fields.value(QString::fromLatin1(f.name), f.fallback));
    return rt.constructClass(*e.cls, Args{args.data(), int(args.size())});
}

} // namespace load_event_natives

Value LoadEventClasses::make(Runtime& rt, const char* cls, const QString& type, std::initializer_list<std::pair<const char*, Value>> fields) {
    ClassObject* c = rt.builtin(QString::fromLatin1(cls));
    const Value typeArg = Value::string(type);
    Value made = rt.constructClass(*c, Args{&typeArg, 1});
    if (auto* e = dynamic_cast<LoadEventObject*>(made.obj()))
        for (const auto& [name, v] : fields) e->fields.insert(QString::fromLatin1(name), v);
    return made;
}

void LoadEventClasses::install(Runtime& rt) {
    using namespace load_event_natives;
    const NativeFn getters[] = {getField<0>, getField<1>};
    const NativeFn setters[] = {setField<0>, setField<1>};
    for (const Kind& k : kinds()) {
        const QString qualified = QStringLiteral("flash.events.") + QString::fromLatin1(k.name);
        if (rt.builtin(qualified)) continue; // already there
        ClassObject* base = rt.builtin(QString::fromLatin1(k.base ? k.base : "flash.events.Event"));
        auto cls = rt.defineNativeClass(QStringLiteral("flash.events"), QString::fromLatin1(k.name), base, {});
        cls->nativeAllocate = allocate;
        cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 1};
        cls->dynamicInstances = false;
        std::vector<NativeMethod> members{{"toString", toString}, {"clone", clone}};
        static std::vector<QByteArray> names; // the member tables keep the names' bytes
        for (size_t i = 0; i < k.fields.size() && i < 2; ++i) {
            names.push_back("get " + QByteArray(k.fields[i].name));
            members.push_back({names.back().constData(), getters[i]});
            names.push_back("set " + QByteArray(k.fields[i].name));
            members.push_back({names.back().constData(), setters[i], 1});
        }
        if (QLatin1String(k.name) == QLatin1String("HTTPStatusEvent")) members.push_back({"get responseURL", responseUrl});
        native::addInstanceMembers(*cls, members);
        for (const auto& [key, text] : k.constants)
            rt.defineStaticConstant(*cls, QString::fromLatin1(key), Value::string(QString::fromLatin1(text)));
    }
}

} // namespace nimbrel::movie::avm2
