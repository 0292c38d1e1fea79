#include "movie/avm2/builtins/TextEventClasses.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include "movie/display/EditTextObject.h"

namespace nimbrel::movie::avm2 {

using namespace native;

namespace {
namespace textevents {

class TextEventObject : public EventObject {
public:
    QString text;
};

ObjectPtr allocateTextEvent(const ClassObject&) { return std::make_shared<TextEventObject>(); }

TextEventObject& thisTextEvent(Runtime& rt, const Value& self) {
    auto* e = self.isObject() ? dynamic_cast<TextEventObject*>(self.obj()) : nullptr;
    if (!e) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("flash.events.TextEvent")});
    return *e;
}

// new TextEvent(type, bubbles = false, cancelable = false, text = "")
Value constructTextEvent(Runtime& rt, const Value& self, Args a) {
    TextEventObject& e = thisTextEvent(rt, self);
    e.eventType = rt.toString(a[0]);
    e.bubbles = boolArg(a, 1, false);
    e.cancelable = boolArg(a, 2, false);
    e.text = stringArg(rt, a, 3);
    return Value();
}
Value text(Runtime& rt, const Value& s, Args) { return Value::string(thisTextEvent(rt, s).text); }
Value setText(Runtime& rt, const Value& s, Args a) {
    thisTextEvent(rt, s).text = rt.toString(a[0]);
    return Value();
}
Value formatted(Runtime& rt, const Value& s, std::initializer_list<const char*> names) {
    std::vector<Value> args;
    for (const char* n : names) args.push_back(Value::string(QString::fromLatin1(n)));
    return PropertyAccess::call(rt, s, Name::publicName(QStringLiteral("formatToString")), Args{args.data(), int(args.size())});
}
Value textEventToString(Runtime& rt, const Value& s, Args) {
    return formatted(rt, s, {"TextEvent", "type", "bubbles", "cancelable", "eventPhase", "text"});
}
Value cloneTextEvent(Runtime& rt, const Value& s, Args) {
    TextEventObject& e = thisTextEvent(rt, s);
    const Value args[] = {Value::string(e.eventType), Value::boolean(e.bubbles), Value::boolean(e.cancelable),
                          Value::string(e.text)};
    return rt.constructClass(e.cls ? *e.cls : *rt.builtin(QStringLiteral("flash.events.TextEvent")), Args{args, 4});
}

// new FocusEvent(type, bubbles = true, cancelable = false, relatedObject = null, shiftKey = false, keyCode = 0)
Value constructFocusEvent(Runtime& rt, const Value& self, Args a) {
    EventObject& e = thisEvent(rt, self);
    e.eventType = rt.toString(a[0]);
    e.bubbles = boolArg(a, 1, true);
    e.cancelable = boolArg(a, 2, false);
    e.relatedObject = a[3].isUndefined() ? Value::null() : a[3];
    e.shiftKey = boolArg(a, 4, false);
    e.keyCode = a.count > 5 ? rt.toUint32(a[5]) : 0;
    return Value();
}
Value relatedObject(Runtime& rt, const Value& s, Args) {
    const Value& r = thisEvent(rt, s).relatedObject;
    return r.isUndefined() ? Value::null() : r;
}
Value setRelatedObject(Runtime& rt, const Value& s, Args a) {
    thisEvent(rt, s).relatedObject = a[0];
    return Value();
}
Value shiftKey(Runtime& rt, const Value& s, Args) { return Value::boolean(thisEvent(rt, s).shiftKey); }
Value keyCode(Runtime& rt, const Value& s, Args) { return Value::unsignedInt(thisEvent(rt, s).keyCode); }
Value focusEventToString(Runtime& rt, const Value& s, Args) {
    return formatted(rt, s, {"FocusEvent", "type", "bubbles", "cancelable", "eventPhase", "relatedObject", "shiftKey",
                             "keyCode"});
}
Value cloneFocusEvent(Runtime& rt, const Value& s, Args) {
    EventObject& e = thisEvent(rt, s);
    const Value args[] = {Value::string(e.eventType), Value::boolean(e.bubbles), Value::boolean(e.cancelable),
                          relatedObject(rt, s, {}), Value::boolean(e.shiftKey), Value::unsignedInt(e.keyCode)};
    return rt.constructClass(e.cls ? *e.cls : *rt.builtin(QStringLiteral("flash.events.FocusEvent")), Args{args, 6});
}

void constants(Runtime& rt, ClassObject& cls, std::initializer_list<std::pair<const char*, const char*>> list) {
    for (const auto& [key, value] : list)
        rt.defineStaticConstant(cls, QString::fromLatin1(key), Value::string(QString::fromLatin1(value)));
}

} // namespace textevents
} // namespace

void TextEventClasses::install(Runtime& rt) {
    const QString pkg = QStringLiteral("flash.events");
    ClassObject* event = rt.builtin(QStringLiteral("flash.events.Event"));
    if (!event) return;
    auto textEvent = rt.defineNativeClass(pkg, QStringLiteral("TextEvent"), event, {});
    textEvent->nativeAllocate = textevents::allocateTextEvent;
    textEvent->constructor = MethodRef{nullptr, 0, textevents::constructTextEvent, textEvent.get(), 1};
    textEvent->dynamicInstances = false;
    static const NativeMethod textMembers[] = {{"get text", textevents::text}, {"set text", textevents::setText, 1},
                                               {"toString", textevents::textEventToString},
                                               {"clone", textevents::cloneTextEvent}};
    addInstanceMembers(*textEvent, textMembers);
    textevents::constants(rt, *textEvent, {{"LINK", "link"}, {"TEXT_INPUT", "textInput"}});

    auto focusEvent = rt.defineNativeClass(pkg, QStringLiteral("FocusEvent"), event, {});
    focusEvent->constructor = MethodRef{nullptr, 0, textevents::constructFocusEvent, focusEvent.get(), 1};
    focusEvent->dynamicInstances = false;
    static const NativeMethod focusMembers[] = {
        {"get relatedObject", textevents::relatedObject}, {"set relatedObject", textevents::setRelatedObject, 1},
        {"get shiftKey", textevents::shiftKey}, {"get keyCode", textevents::keyCode},
        {"toString", textevents::focusEventToString}, {"clone", textevents::cloneFocusEvent}};
    addInstanceMembers(*focusEvent, focusMembers);
    textevents::constants(rt, *focusEvent, {{"FOCUS_IN", "focusIn"}, {"FOCUS_OUT", "focusOut"},
                                            {"KEY_FOCUS_CHANGE", "keyFocusChange"},
                                            {"MOUSE_FOCUS_CHANGE", "mouseFocusChange"}});
}

bool TextEventClasses::textTyped(Runtime& rt, display::DisplayObject* object, const QString& typed) {
    auto* field = dynamic_cast<display::EditTextObject*>(object);
    // Control characters (Escape, Backspace...) are keys, not text.
    QString text;
    for (QChar c : typed)
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F) text += c;
    if (!rt.stage || !field || !field->input || text.isEmpty()) return true;
    auto target = rt.stage->wrap(object);
    auto e = std::dynamic_pointer_cast<textevents::TextEventObject>(
        rt.stage->newEvent(QStringLiteral("flash.events.TextEvent"), QStringLiteral("textInput"), true, true));
    if (!e) return true;
    e->text = text;
    return rt.stage->dispatch(*target, *e);
}

void TextEventClasses::focusChanged(Runtime& rt, display::DisplayObject* lost, display::DisplayObject* gained) {
    if (!rt.stage) return;
    const Value lostValue = rt.stage->valueOf(lost), gainedValue = rt.stage->valueOf(gained);
    auto send = [&rt](display::DisplayObject* to, const char* type, const Value& related) {
        if (!to) return;
        auto target = rt.stage->wrap(to);
        auto e = rt.stage->newEvent(QStringLiteral("flash.events.FocusEvent"), QString::fromLatin1(type), true);
        e->relatedObject = related;
        rt.stage->dispatch(*target, *e);
    };
    send(lost, "focusOut", gainedValue);
    send(gained, "focusIn", lostValue);
}

} // namespace nimbrel::movie::avm2
