#include "movie/avm2/EventTargetObject.h"
#include "movie/avm2/ReferenceVisitor.h"
#include "movie/avm2/FunctionObject.h"
#include <algorithm>

namespace nimbrel::movie::avm2 {

namespace {
// Taking a method off its object twice gives two closures: they are the same listener.
bool sameCallable(const ScriptObject* a, const ScriptObject* b) {
    if (a == b) return true;
    auto* fa = dynamic_cast<const FunctionObject*>(a);
    auto* fb = dynamic_cast<const FunctionObject*>(b);
    return fa && fb && fa->bound && fb->bound && fa->method.unit == fb->method.unit &&
           fa->method.index == fb->method.index && fa->method.native == fb->method.native &&
           strictEquals(fa->boundThis, fb->boundThis);
}
bool sameFunction(const EventTargetObject::Listener& l, const Value& fn) {
    if (!fn.isObject()) return false;
    if (l.fn.isObject()) return sameCallable(l.fn.obj(), fn.obj());
    return sameCallable(l.weakFn.lock().get(), fn.obj());
}
} // namespace

void EventTargetObject::addListener(const QString& type, const Value& fn, bool useCapture, int priority, bool weak) {
    for (const Listener& l : listeners)
        if (l.type == type && l.useCapture == useCapture && sameFunction(l, fn)) return;
    Listener l;
    l.type = type;
    if (weak) l.weakFn = fn.o;
    else l.fn = fn;
    l.useCapture = useCapture;
    l.priority = priority;
    l.order = nextOrder_++;
    listeners.push_back(std::move(l));
}

void EventTargetObject::removeListener(const QString& type, const Value& fn, bool useCapture) {
    listeners.erase(std::remove_if(listeners.begin(), listeners.end(),
                                   [&](const Listener& l) {
                                       return l.type == type && l.useCapture == useCapture && sameFunction(l, fn);
                                   }),
                    listeners.end());
}

Value EventTargetObject::eventFace() {
    const auto it = stored.constFind(kAggregateKey);
    return it != stored.constEnd() ? it.value() : Value::object(shared_from_this());
}

bool EventTargetObject::hasListener(const QString& type) const {
    for (const Listener& l : listeners)
        if (l.type == type && (l.fn.isObject() || !l.weakFn.expired())) return true;
    return false;
}

std::vector<Value> EventTargetObject::listenersFor(const QString& type, bool capture) const {
    std::vector<const Listener*> chosen;
    for (const Listener& l : listeners)
        if (l.type == type && l.useCapture == capture) chosen.push_back(&l);
    std::stable_sort(chosen.begin(), chosen.end(), [](const Listener* a, const Listener* b) {
        return a->priority != b->priority ? a->priority > b->priority : a->order < b->order;
    });
    std::vector<Value> out;
    for (const Listener* l : chosen) {
        if (l->fn.isObject()) out.push_back(l->fn);
        else if (auto alive = l->weakFn.lock()) out.push_back(Value::object(std::move(alive)));
    }
    return out;
}

void EventTargetObject::visitReferences(ReferenceVisitor& visit) const {
    ScriptObject::visitReferences(visit);
    for (const Listener& l : listeners)
        visit.value(l.fn);
    for (const auto& [frame, fn] : frameScripts)
        visit.value(fn);
    visit.value(graphics);
    for (const Value& v : stored)
        visit.value(v);
}

void EventTargetObject::dropReferences() {
    ScriptObject::dropReferences();
    listeners.clear();
    frameScripts.clear();
    graphics = Value();
    stored.clear();
}

} // namespace nimbrel::movie::avm2
