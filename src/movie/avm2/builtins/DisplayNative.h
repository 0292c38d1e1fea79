#pragma once
// What the display and event classes share: reaching the display object
// behind `this`, and installing natives as instance traits so that a method
// taken alone is bound to its object.
#include "movie/avm2/EventObject.h"
#include "movie/avm2/EventTargetObject.h"
#include "movie/avm2/Runtime.h"
#include "movie/avm2/StageBridge.h"
#include "movie/avm2/builtins/NativeSupport.h"

namespace nimbrel::movie::avm2::native {

inline void addMembers(ClassObject& cls, std::initializer_list<NativeMethod> members) {
    addInstanceMembers(cls, std::span<const NativeMethod>(members.begin(), members.size()));
}

inline EventTargetObject* asTarget(const Value& v) {
    return v.isObject() ? dynamic_cast<EventTargetObject*>(v.obj()) : nullptr;
}
inline EventTargetObject& thisTarget(Runtime& rt, const Value& self) {
    EventTargetObject* t = asTarget(self);
    if (!t) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("flash.events.EventDispatcher")});
    return *t;
}
// The display object behind `this`; null where no player runs.
inline display::DisplayObject* thisDisplay(Runtime& rt, const Value& self) {
    return thisTarget(rt, self).displayObject.get();
}
inline EventObject& thisEvent(Runtime& rt, const Value& self) {
    auto* e = self.isObject() ? dynamic_cast<EventObject*>(self.obj()) : nullptr;
    if (!e) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("flash.events.Event")});
    return *e;
}
// A property the object keeps as set (converted as its declared type
// converts), with its default until then.
inline Value asBoolean(Runtime&, const Value& v) { return Value::boolean(v.toBoolean()); }
inline Value asInt(Runtime& rt, const Value& v) { return Value::integer(rt.toInt32(v)); }
inline Value asString(Runtime& rt, const Value& v) { return v.isNullish() ? Value::null() : Value::string(rt.toString(v)); }
inline Value asIs(Runtime&, const Value& v) { return v.isUndefined() ? Value::null() : v; }
#define NIMBREL_STORED_PROPERTY(fnName, key, fallback, convert)                                    \
    Value get_##fnName(Runtime& rt, const Value& s, Args) {                                      \
        return thisTarget(rt, s).stored.value(QStringLiteral(key), fallback);                     \
    }                                                                                             \
    Value set_##fnName(Runtime& rt, const Value& s, Args a) {                                    \
        thisTarget(rt, s).stored.insert(QStringLiteral(key), convert(rt, a[0]));                  \
        return Value();                                                                           \
    }
#define NIMBREL_STORED_MEMBERS(fnName, key) {"get " key, get_##fnName}, {"set " key, set_##fnName, 1}

inline bool boolArg(Args a, int i, bool fallback) { return i < a.count ? a[i].toBoolean() : fallback; }

} // namespace nimbrel::movie::avm2::native
