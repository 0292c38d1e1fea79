#include "movie/avm2/EventTargetObject.h"
#include <algorithm>

namespace nimbrel::movie::avm2 {

namespace {
bool sameFunction(const EventTargetObject::Listener& l, const Value& fn) {
    if (l.fn.isObject()) return strictEquals(l.fn, fn);
    return fn.isObject() && l.weakFn.lock().get() == fn.obj();
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

} // namespace nimbrel::movie::avm2
