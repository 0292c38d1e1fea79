#include "movie/avm2/builtins/EventClasses.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include "movie/display/HitTest.h"
#include "movie/display/MovieClip.h"

namespace nimbrel::movie::avm2 {

using namespace native;

namespace {

// ---- EventDispatcher ----

ObjectPtr allocateTarget(const ClassObject&) { return std::make_shared<EventTargetObject>(); }
Value nothing(Runtime&, const Value&, Args) { return Value(); }
// new EventDispatcher(target): the object aggregating the dispatcher is what its events name as target.
Value constructDispatcher(Runtime& rt, const Value& self, Args a) {
    if (a.count > 0 && !a[0].isNullish()) thisTarget(rt, self).stored.insert(EventTargetObject::kAggregateKey, a[0]);
    return Value();
}

Value addEventListener(Runtime& rt, const Value& self, Args a) {
    EventTargetObject& t = thisTarget(rt, self);
    if (a[1].isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("listener")});
    const QString type = rt.toString(a[0]);
    t.addListener(type, a[1], boolArg(a, 2, false), a.count > 3 ? rt.toInt32(a[3]) : 0, boolArg(a, 4, false));
    if (rt.stage && StageBridge::isBroadcast(type)) rt.stage->noteBroadcastListener(t);
    return Value();
}

Value removeEventListener(Runtime& rt, const Value& self, Args a) {
    if (a[1].isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("listener")});
    thisTarget(rt, self).removeListener(rt.toString(a[0]), a[1], boolArg(a, 2, false));
    return Value();
}

Value hasEventListener(Runtime& rt, const Value& self, Args a) {
    return Value::boolean(thisTarget(rt, self).hasListener(rt.toString(a[0])));
}

// Whether a listener of type on the target or on its way to the stage would hear an event.
bool anyoneListens(Runtime& rt, EventTargetObject& t, const QString& type) {
    if (t.hasListener(type)) return true;
    if (!rt.stage || !t.displayObject) return false;
    for (display::MovieClip* p = t.displayObject->parent(); p; p = p->parent())
        if (rt.stage->wrap(p)->hasListener(type)) return true;
    return rt.stage->onStage(*t.displayObject) && rt.stage->stage()->hasListener(type);
}

Value willTrigger(Runtime& rt, const Value& self, Args a) {
    return Value::boolean(anyoneListens(rt, thisTarget(rt, self), rt.toString(a[0])));
}

Value dispatchEvent(Runtime& rt, const Value& self, Args a) {
    EventTargetObject& t = thisTarget(rt, self);
    if (a[0].isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("event")});
    Value ev = a[0];
    EventObject* e = &thisEvent(rt, ev);
    // An event already sent goes out again as its clone; a subclass may answer for its target.
    if (!PropertyAccess::get(rt, ev, Name::publicName(QStringLiteral("target"))).isNullish()) {
        ev = PropertyAccess::call(rt, ev, Name::publicName(QStringLiteral("clone")), {});
        if (ev.isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("event")});
        e = &thisEvent(rt, ev);
    }
    // With nobody to hear it the event stays as it was: not sent, no target.
    if (!anyoneListens(rt, t, e->eventType)) return Value::boolean(true);
    auto keep = ev.o;
    if (rt.stage) return Value::boolean(rt.stage->dispatch(t, *e));
    // Without a display list the event reaches only its target.
    e->target = t.eventFace();
    e->phase = EventObject::AtTarget;
    e->currentTarget = e->target;
    const Value arg = ev;
    for (const Value& fn : t.listenersFor(e->eventType, false)) {
        if (e->stoppedAtOnce) break;
        rt.call(fn, Value::null(), Args{&arg, 1});
    }
    e->phase = EventObject::None;
    e->currentTarget = Value::null();
    return Value::boolean(!e->defaultPrevented);
}

// ---- Event ----

ObjectPtr allocateEvent(const ClassObject&) { return std::make_shared<EventObject>(); }

Value constructEvent(Runtime& rt, const Value& self, Args a) {
    EventObject& e = thisEvent(rt, self);
    e.eventType = rt.toString(a[0]);
    e.bubbles = boolArg(a, 1, false);
    e.cancelable = boolArg(a, 2, false);
    return Value();
}

Value type(Runtime& rt, const Value& s, Args) { return Value::string(thisEvent(rt, s).eventType); }
Value bubbles(Runtime& rt, const Value& s, Args) { return Value::boolean(thisEvent(rt, s).bubbles); }
Value cancelable(Runtime& rt, const Value& s, Args) { return Value::boolean(thisEvent(rt, s).cancelable); }
Value target(Runtime& rt, const Value& s, Args) {
    const Value& t = thisEvent(rt, s).target;
    return t.isUndefined() ? Value::null() : t;
}
Value currentTarget(Runtime& rt, const Value& s, Args) {
    const Value& t = thisEvent(rt, s).currentTarget;
    return t.isUndefined() ? Value::null() : t;
}
Value eventPhase(Runtime& rt, const Value& s, Args) { return Value::integer(thisEvent(rt, s).phase); }
Value stopPropagation(Runtime& rt, const Value& s, Args) {
    thisEvent(rt, s).stopped = true;
    return Value();
}
Value stopImmediatePropagation(Runtime& rt, const Value& s, Args) {
    EventObject& e = thisEvent(rt, s);
    e.stopped = e.stoppedAtOnce = true;
    return Value();
}
Value preventDefault(Runtime& rt, const Value& s, Args) {
    EventObject& e = thisEvent(rt, s);
    if (e.cancelable) e.defaultPrevented = true;
    return Value();
}
Value isDefaultPrevented(Runtime& rt, const Value& s, Args) { return Value::boolean(thisEvent(rt, s).defaultPrevented); }

Value clone(Runtime& rt, const Value& s, Args) {
    EventObject& e = thisEvent(rt, s);
    // A script's subclass that does not override clone gets a copy of the built-in class it extends.
    ClassObject* cls = e.cls ? e.cls : rt.builtin(QStringLiteral("flash.events.Event"));
    while (cls->constructor.unit && cls->base) cls = cls->base.get();
    const Value args[] = {Value::string(e.eventType), Value::boolean(e.bubbles), Value::boolean(e.cancelable)};
    Value copy = rt.constructClass(*cls, Args{args, 3});
    if (auto* c = dynamic_cast<EventObject*>(copy.obj())) {
        c->localX = e.localX;
        c->localY = e.localY;
        c->buttonDown = e.buttonDown;
        c->ctrlKey = e.ctrlKey;
        c->altKey = e.altKey;
        c->shiftKey = e.shiftKey;
        c->delta = e.delta;
        c->relatedObject = e.relatedObject;
        c->charCode = e.charCode;
        c->keyCode = e.keyCode;
        c->keyLocation = e.keyLocation;
    }
    return copy;
}

// "[Class name=value ...]": strings quoted, other values as they convert.
Value formatToString(Runtime& rt, const Value& self, Args a) {
    QString out = QLatin1Char('[') + rt.toString(a[0]);
    for (int i = 1; i < a.count; ++i) {
        // Names arrive as Strings: undefined is null by then.
        const QString name = a[i].isNullish() ? QStringLiteral("null") : rt.toString(a[i]);
        const Value v = PropertyAccess::get(rt, self, Name::publicName(name));
        out += QLatin1Char(' ') + name + QLatin1Char('=');
        out += v.isString() ? QLatin1Char('"') + v.s + QLatin1Char('"') : rt.toString(v);
    }
    return Value::string(out + QLatin1Char(']'));
}

Value formatWith(Runtime& rt, const Value& self, std::initializer_list<const char*> names) {
    std::vector<Value> args;
    for (const char* n : names) args.push_back(Value::string(QString::fromLatin1(n)));
    return formatToString(rt, self, Args{args.data(), int(args.size())});
}

Value eventToString(Runtime& rt, const Value& s, Args) {
    return formatWith(rt, s, {"Event", "type", "bubbles", "cancelable", "eventPhase"});
}

// ---- MouseEvent ----

Value constructMouseEvent(Runtime& rt, const Value& self, Args a) {
    EventObject& e = thisEvent(rt, self);
    e.eventType = rt.toString(a[0]);
    e.bubbles = boolArg(a, 1, true);
    e.cancelable = boolArg(a, 2, false);
    // An event a script makes has no point unless it is given one.
    e.localX = numberArg(rt, a, 3, qQNaN());
    e.localY = numberArg(rt, a, 4, qQNaN());
    e.relatedObject = a.count > 5 ? a[5] : Value::null();
    e.ctrlKey = boolArg(a, 6, false);
    e.altKey = boolArg(a, 7, false);
    e.shiftKey = boolArg(a, 8, false);
    e.buttonDown = boolArg(a, 9, false);
    e.delta = a.count > 10 ? rt.toInt32(a[10]) : 0;
    return Value();
}
Value localX(Runtime& rt, const Value& s, Args) { return Value::number(thisEvent(rt, s).localX); }
Value localY(Runtime& rt, const Value& s, Args) { return Value::number(thisEvent(rt, s).localY); }
Value setLocalX(Runtime& rt, const Value& s, Args a) { thisEvent(rt, s).localX = rt.toNumber(a[0]); return Value(); }
Value setLocalY(Runtime& rt, const Value& s, Args a) { thisEvent(rt, s).localY = rt.toNumber(a[0]); return Value(); }
// Stage coordinates: the local point through the target's place on the stage.
QPointF stagePoint(Runtime& rt, const EventObject& e) {
    QPointF p(e.localX, e.localY);
    auto* t = asTarget(e.target);
    // Away from the display list the point has no place: 0, or NaN where it is unknown.
    if (!t || !t->displayObject) return p * 0.0;
    (void)rt;
    // The same place localToGlobal gives.
    return display::HitTest::toStage(*t->displayObject).map(p * 20.0) / 20.0;
}
Value stageX(Runtime& rt, const Value& s, Args) { return Value::number(stagePoint(rt, thisEvent(rt, s)).x()); }
Value stageY(Runtime& rt, const Value& s, Args) { return Value::number(stagePoint(rt, thisEvent(rt, s)).y()); }
Value buttonDown(Runtime& rt, const Value& s, Args) { return Value::boolean(thisEvent(rt, s).buttonDown); }
Value ctrlKey(Runtime& rt, const Value& s, Args) { return Value::boolean(thisEvent(rt, s).ctrlKey); }
Value altKey(Runtime& rt, const Value& s, Args) { return Value::boolean(thisEvent(rt, s).altKey); }
Value shiftKey(Runtime& rt, const Value& s, Args) { return Value::boolean(thisEvent(rt, s).shiftKey); }
Value delta(Runtime& rt, const Value& s, Args) { return Value::integer(thisEvent(rt, s).delta); }
Value relatedObject(Runtime& rt, const Value& s, Args) {
    const Value& r = thisEvent(rt, s).relatedObject;
    return r.isUndefined() ? Value::null() : r;
}
Value mouseToString(Runtime& rt, const Value& s, Args) {
    return formatWith(rt, s, {"MouseEvent", "type", "bubbles", "cancelable", "eventPhase", "localX", "localY",
                              "stageX", "stageY", "relatedObject", "ctrlKey", "altKey", "shiftKey", "buttonDown",
                              "delta"});
}

// ---- KeyboardEvent ----

Value constructKeyboardEvent(Runtime& rt, const Value& self, Args a) {
    EventObject& e = thisEvent(rt, self);
    e.eventType = rt.toString(a[0]);
    e.bubbles = boolArg(a, 1, true);
    e.cancelable = boolArg(a, 2, false);
    e.charCode = a.count > 3 ? rt.toUint32(a[3]) : 0;
    e.keyCode = a.count > 4 ? rt.toUint32(a[4]) : 0;
    e.keyLocation = a.count > 5 ? rt.toUint32(a[5]) : 0;
    e.ctrlKey = boolArg(a, 6, false);
    e.altKey = boolArg(a, 7, false);
    e.shiftKey = boolArg(a, 8, false);
    return Value();
}
Value charCode(Runtime& rt, const Value& s, Args) { return Value::unsignedInt(thisEvent(rt, s).charCode); }
Value keyCode(Runtime& rt, const Value& s, Args) { return Value::unsignedInt(thisEvent(rt, s).keyCode); }
Value keyLocation(Runtime& rt, const Value& s, Args) { return Value::unsignedInt(thisEvent(rt, s).keyLocation); }
Value keyToString(Runtime& rt, const Value& s, Args) {
    return formatWith(rt, s, {"KeyboardEvent", "type", "bubbles", "cancelable", "eventPhase", "charCode", "keyCode",
                              "keyLocation", "ctrlKey", "altKey", "shiftKey"});
}

Value timerToString(Runtime& rt, const Value& s, Args) {
    return formatWith(rt, s, {"TimerEvent", "type", "bubbles", "cancelable", "eventPhase"});
}

void constants(Runtime& rt, ClassObject& cls, std::initializer_list<std::pair<const char*, const char*>> list) {
    for (const auto& [key, text] : list)
        rt.defineStaticConstant(cls, QString::fromLatin1(key), Value::string(QString::fromLatin1(text)));
}

} // namespace

void EventClasses::install(Runtime& rt) {
    const QString pkg = QStringLiteral("flash.events");
    auto dispatcher = rt.defineNativeClass(pkg, QStringLiteral("EventDispatcher"), rt.builtin(QStringLiteral("Object")), {});
    dispatcher->nativeAllocate = allocateTarget;
    dispatcher->constructor = MethodRef{nullptr, 0, constructDispatcher, dispatcher.get()};
    dispatcher->dynamicInstances = false;
    addMembers(*dispatcher, {{"addEventListener", addEventListener, 2}, {"removeEventListener", removeEventListener, 2},
                             {"dispatchEvent", dispatchEvent, 1}, {"hasEventListener", hasEventListener, 1},
                             {"willTrigger", willTrigger, 1}});

    auto event = rt.defineNativeClass(pkg, QStringLiteral("Event"), rt.builtin(QStringLiteral("Object")), {});
    event->nativeAllocate = allocateEvent;
    event->constructor = MethodRef{nullptr, 0, constructEvent, event.get(), 1};
    event->dynamicInstances = false;
    addMembers(*event, {{"get type", type}, {"get bubbles", bubbles}, {"get cancelable", cancelable},
                        {"get target", target}, {"get currentTarget", currentTarget}, {"get eventPhase", eventPhase},
                        {"stopPropagation", stopPropagation}, {"stopImmediatePropagation", stopImmediatePropagation},
                        {"preventDefault", preventDefault}, {"isDefaultPrevented", isDefaultPrevented},
                        {"clone", clone}, {"toString", eventToString}, {"formatToString", formatToString, 1}});
    constants(rt, *event, {{"ACTIVATE", "activate"}, {"ADDED", "added"}, {"ADDED_TO_STAGE", "addedToStage"},
                           {"CANCEL", "cancel"}, {"CHANGE", "change"}, {"CLEAR", "clear"}, {"CLOSE", "close"},
                           {"COMPLETE", "complete"}, {"CONNECT", "connect"}, {"COPY", "copy"}, {"CUT", "cut"},
                           {"DEACTIVATE", "deactivate"}, {"ENTER_FRAME", "enterFrame"}, {"EXIT_FRAME", "exitFrame"},
                           {"FRAME_CONSTRUCTED", "frameConstructed"}, {"FULLSCREEN", "fullScreen"}, {"ID3", "id3"},
                           {"INIT", "init"}, {"MOUSE_LEAVE", "mouseLeave"}, {"OPEN", "open"}, {"PASTE", "paste"},
                           {"REMOVED", "removed"}, {"REMOVED_FROM_STAGE", "removedFromStage"}, {"RENDER", "render"},
                           {"RESIZE", "resize"}, {"SCROLL", "scroll"}, {"SELECT", "select"},
                           {"SELECT_ALL", "selectAll"}, {"SOUND_COMPLETE", "soundComplete"},
                           {"TAB_CHILDREN_CHANGE", "tabChildrenChange"}, {"TAB_ENABLED_CHANGE", "tabEnabledChange"},
                           {"TAB_INDEX_CHANGE", "tabIndexChange"}, {"UNLOAD", "unload"}});

    auto mouse = rt.defineNativeClass(pkg, QStringLiteral("MouseEvent"), event.get(), {});
    mouse->constructor = MethodRef{nullptr, 0, constructMouseEvent, mouse.get(), 1};
    mouse->dynamicInstances = false;
    addMembers(*mouse, {{"get localX", localX}, {"set localX", setLocalX}, {"get localY", localY},
                        {"set localY", setLocalY}, {"get stageX", stageX}, {"get stageY", stageY},
                        {"get buttonDown", buttonDown}, {"get ctrlKey", ctrlKey}, {"get altKey", altKey},
                        {"get shiftKey", shiftKey}, {"get delta", delta}, {"get relatedObject", relatedObject},
                        {"updateAfterEvent", nothing}, {"toString", mouseToString}});
    constants(rt, *mouse, {{"CLICK", "click"}, {"DOUBLE_CLICK", "doubleClick"}, {"MOUSE_DOWN", "mouseDown"},
                           {"MOUSE_MOVE", "mouseMove"}, {"MOUSE_OUT", "mouseOut"}, {"MOUSE_OVER", "mouseOver"},
                           {"MOUSE_UP", "mouseUp"}, {"MOUSE_WHEEL", "mouseWheel"}, {"ROLL_OUT", "rollOut"},
                           {"ROLL_OVER", "rollOver"}, {"RIGHT_CLICK", "rightClick"},
                           {"RIGHT_MOUSE_DOWN", "rightMouseDown"}, {"RIGHT_MOUSE_UP", "rightMouseUp"},
                           {"MIDDLE_CLICK", "middleClick"}, {"MIDDLE_MOUSE_DOWN", "middleMouseDown"},
                           {"MIDDLE_MOUSE_UP", "middleMouseUp"}, {"CONTEXT_MENU", "contextMenu"},
                           {"RELEASE_OUTSIDE", "releaseOutside"}});

    auto key = rt.defineNativeClass(pkg, QStringLiteral("KeyboardEvent"), event.get(), {});
    key->constructor = MethodRef{nullptr, 0, constructKeyboardEvent, key.get(), 1};
    key->dynamicInstances = false;
    addMembers(*key, {{"get charCode", charCode}, {"get keyCode", keyCode}, {"get keyLocation", keyLocation},
                      {"get ctrlKey", ctrlKey}, {"get altKey", altKey}, {"get shiftKey", shiftKey},
                      {"updateAfterEvent", nothing}, {"toString", keyToString}});
    constants(rt, *key, {{"KEY_DOWN", "keyDown"}, {"KEY_UP", "keyUp"}});

    auto timer = rt.defineNativeClass(pkg, QStringLiteral("TimerEvent"), event.get(), {});
    timer->constructor = MethodRef{nullptr, 0, constructEvent, timer.get(), 1};
    timer->dynamicInstances = false;
    addMembers(*timer, {{"updateAfterEvent", nothing}, {"toString", timerToString}});
    constants(rt, *timer, {{"TIMER", "timer"}, {"TIMER_COMPLETE", "timerComplete"}});

    auto phase = rt.defineNativeClass(pkg, QStringLiteral("EventPhase"), rt.builtin(QStringLiteral("Object")), {});
    rt.defineStaticConstant(*phase, QStringLiteral("CAPTURING_PHASE"), Value::integer(1));
    rt.defineStaticConstant(*phase, QStringLiteral("AT_TARGET"), Value::integer(2));
    rt.defineStaticConstant(*phase, QStringLiteral("BUBBLING_PHASE"), Value::integer(3));
}

} // namespace nimbrel::movie::avm2
