#include "movie/avm2/builtins/SimpleButtonClass.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/display/MovieClip.h"

namespace nimbrel::movie::avm2 {

using namespace native;

namespace {

const char* const kStates[] = {"upState", "overState", "downState", "hitTestState"};

// A state object belongs to the button alone: it leaves the display list it was on.
void takeState(Runtime& rt, EventTargetObject& button, const char* state, const Value& v) {
    if (!v.isNull() && !StageBridge::displayOf(v))
        rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(v), QStringLiteral("flash.display.DisplayObject")});
    if (display::DisplayObject* d = StageBridge::displayOf(v); d && d->parent() && rt.stage)
        rt.stage->removeChild(*d->parent(), *d);
    button.stored.insert(QString::fromLatin1(state), v.isUndefined() ? Value::null() : v);
}

Value construct(Runtime& rt, const Value& self, Args a) {
    EventTargetObject& t = thisTarget(rt, self);
    if (!t.displayObject && rt.stage) {
        // A script-made button stands on an empty clip of its own, named like any other.
        auto made = std::make_shared<display::MovieClip>(rt.stage->root()->context(), 0, nullptr);
        made->setName(rt.stage->nextInstanceName());
        rt.stage->bind(std::static_pointer_cast<EventTargetObject>(t.shared_from_this()), made);
    }
    for (int i = 0; i < 4; ++i)
        if (i < a.count && !a[i].isNullish()) takeState(rt, t, kStates[i], a[i]);
    return Value();
}

template <int I>
Value getState(Runtime& rt, const Value& s, Args) {
    return thisTarget(rt, s).stored.value(QString::fromLatin1(kStates[I]), Value::null());
}
template <int I>
Value setState(Runtime& rt, const Value& s, Args a) {
    takeState(rt, thisTarget(rt, s), kStates[I], a[0]);
    return Value();
}

NIMBREL_STORED_PROPERTY(enabled, "enabled", Value::boolean(true), asBoolean)
NIMBREL_STORED_PROPERTY(useHandCursor, "useHandCursor", Value::boolean(true), asBoolean)
NIMBREL_STORED_PROPERTY(trackAsMenu, "trackAsMenu", Value::boolean(false), asBoolean)

} // namespace

void SimpleButtonClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.display"), QStringLiteral("SimpleButton"),
                                    rt.builtin(QStringLiteral("flash.display.InteractiveObject")), {});
    cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 0};
    cls->dynamicInstances = false;
    addMembers(*cls, {{"get upState", getState<0>}, {"set upState", setState<0>, 1},
                      {"get overState", getState<1>}, {"set overState", setState<1>, 1},
                      {"get downState", getState<2>}, {"set downState", setState<2>, 1},
                      {"get hitTestState", getState<3>}, {"set hitTestState", setState<3>, 1},
                      NIMBREL_STORED_MEMBERS(enabled, "enabled"),
                      NIMBREL_STORED_MEMBERS(useHandCursor, "useHandCursor"),
                      NIMBREL_STORED_MEMBERS(trackAsMenu, "trackAsMenu")});
}

} // namespace nimbrel::movie::avm2
