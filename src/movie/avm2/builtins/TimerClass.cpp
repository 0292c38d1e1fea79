#include "movie/avm2/builtins/TimerClass.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include "movie/avm2/FunctionObject.h"

namespace nimbrel::movie::avm2 {

using namespace native;

namespace {

class TimerObject : public EventTargetObject {
public:
    double delay = 0;
    int repeatCount = 0;
    int currentCount = 0;
    bool running = false;
    bool reachedCount = false; // a listener lowered repeatCount to what has run: the run is complete
    double due = 0;
};

TimerObject& thisTimer(Runtime& rt, const Value& self) {
    auto* t = self.isObject() ? dynamic_cast<TimerObject*>(self.obj()) : nullptr;
    if (!t) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("flash.utils.Timer")});
    return *t;
}

ObjectPtr allocate(const ClassObject&) { return std::make_shared<TimerObject>(); }

void checkDelay(Runtime& rt, double delay) {
    if (!(delay >= 0) || !std::isfinite(delay)) rt.raise(QStringLiteral("RangeError"), 2066);
}

Value construct(Runtime& rt, const Value& self, Args a) {
    TimerObject& t = thisTimer(rt, self);
    t.delay = rt.toNumber(a[0]);
    checkDelay(rt, t.delay);
    t.repeatCount = a.count > 1 ? rt.toInt32(a[1]) : 0;
    return Value();
}
Value delay(Runtime& rt, const Value& s, Args) { return Value::number(thisTimer(rt, s).delay); }
Value setDelay(Runtime& rt, const Value& s, Args a) {
    TimerObject& t = thisTimer(rt, s);
    const double d = rt.toNumber(a[0]);
    checkDelay(rt, d);
    t.due += d - t.delay;
    t.delay = d;
    return Value();
}
Value repeatCount(Runtime& rt, const Value& s, Args) { return Value::integer(thisTimer(rt, s).repeatCount); }
Value setRepeatCount(Runtime& rt, const Value& s, Args a) {
    TimerObject& t = thisTimer(rt, s);
    t.repeatCount = rt.toInt32(a[0]);
    if (t.running && t.repeatCount > 0 && t.currentCount >= t.repeatCount) {
        t.running = false;
        t.reachedCount = true;
    }
    return Value();
}
Value currentCount(Runtime& rt, const Value& s, Args) { return Value::integer(thisTimer(rt, s).currentCount); }
Value isRunning(Runtime& rt, const Value& s, Args) { return Value::boolean(thisTimer(rt, s).running); }

Value start(Runtime& rt, const Value& s, Args) {
    TimerObject& t = thisTimer(rt, s);
    if (t.running) return Value();
    t.running = true;
    t.reachedCount = false;
    if (!rt.stage) return Value();
    t.due = rt.stage->timeMs + t.delay;
    auto& list = rt.stage->runningTimers;
    const ObjectPtr self = t.shared_from_this();
    if (std::find(list.begin(), list.end(), self) == list.end()) list.push_back(self);
    return Value();
}
Value stop(Runtime& rt, const Value& s, Args) {
    thisTimer(rt, s).running = false;
    return Value();
}
Value reset(Runtime& rt, const Value& s, Args) {
    TimerObject& t = thisTimer(rt, s);
    t.running = false;
    t.currentCount = 0;
    return Value();
}

void send(Runtime& rt, TimerObject& t, const char* type) {
    if (!rt.stage) return;
    auto e = rt.stage->newEvent(QStringLiteral("flash.events.TimerEvent"), QString::fromLatin1(type));
    rt.stage->dispatch(t, *e);
}

// setTimeout(fn, delay, ...args) / setInterval: an id for clearTimeout / clearInterval.
Value schedule(Runtime& rt, Args a, bool repeats) {
    if (!rt.stage) return Value::integer(0);
    StageBridge::Delayed d;
    d.id = rt.stage->nextDelayedId++;
    d.fn = a[0];
    d.interval = std::max(numberArg(rt, a, 1, 0), 0.0);
    if (std::isnan(d.interval)) d.interval = 0;
    d.due = rt.stage->timeMs + d.interval;
    d.repeats = repeats;
    for (int i = 2; i < a.count; ++i) d.args.push_back(a[i]);
    rt.stage->delayedCalls.push_back(std::move(d));
    return Value::unsignedInt(rt.stage->delayedCalls.back().id);
}
Value setTimeout(Runtime& rt, const Value&, Args a) { return schedule(rt, a, false); }
Value setInterval(Runtime& rt, const Value&, Args a) { return schedule(rt, a, true); }
Value clearDelayed(Runtime& rt, const Value&, Args a) {
    if (!rt.stage) return Value();
    const uint32_t id = rt.toUint32(a[0]);
    std::erase_if(rt.stage->delayedCalls, [id](const StageBridge::Delayed& d) { return d.id == id; });
    return Value();
}

void runDelayed(Runtime& rt, double nowMs) {
    std::vector<uint32_t> due;
    for (const auto& d : rt.stage->delayedCalls)
        if (d.due <= nowMs) due.push_back(d.id);
    for (uint32_t id : due) {
        auto& list = rt.stage->delayedCalls;
        auto it = std::find_if(list.begin(), list.end(), [id](const StageBridge::Delayed& d) { return d.id == id; });
        if (it == list.end()) continue; // cleared by an earlier call
        const Value fn = it->fn;
        const std::vector<Value> args = it->args;
        if (it->repeats) it->due = std::max(it->due + std::max(it->interval, 1.0), nowMs);
        else list.erase(it);
        rt.call(fn, Value::null(), Args{args.data(), int(args.size())});
    }
}

} // namespace

void TimerClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.utils"), QStringLiteral("Timer"),
                                    rt.builtin(QStringLiteral("flash.events.EventDispatcher")), {});
    cls->nativeAllocate = allocate;
    cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 1};
    cls->dynamicInstances = false;
    addMembers(*cls, {{"get delay", delay}, {"set delay", setDelay}, {"get repeatCount", repeatCount},
                      {"set repeatCount", setRepeatCount}, {"get currentCount", currentCount},
                      {"get running", isRunning}, {"start", start}, {"stop", stop}, {"reset", reset}});
    const std::pair<const char*, NativeFn> functions[] = {{"setTimeout", setTimeout}, {"setInterval", setInterval},
                                                          {"clearTimeout", clearDelayed}, {"clearInterval", clearDelayed}};
    for (const auto& [name, fn] : functions) {
        auto f = rt.makeFunction(MethodRef{nullptr, 0, fn, nullptr, 2}, nullptr);
        f->name = QString::fromLatin1(name);
        rt.defineGlobalValue(QStringLiteral("flash.utils"), f->name, Value::object(f));
    }
}

void TimerClass::tick(Runtime& rt, double nowMs) {
    if (!rt.stage) return;
    rt.stage->timeMs = nowMs;
    std::vector<std::shared_ptr<TimerObject>> list;
    for (const ObjectPtr& o : rt.stage->runningTimers) list.push_back(std::static_pointer_cast<TimerObject>(o));
    for (const auto& t : list) {
        if (!t->running || t->due > nowMs) continue;
        // One tick per check at most: a short delay fires once a frame.
        t->due = std::max(t->due + std::max(t->delay, 1.0), nowMs);
        ++t->currentCount;
        send(rt, *t, "timer");
        if (t->repeatCount > 0 && t->currentCount >= t->repeatCount && (t->running || t->reachedCount)) {
            t->running = false;
            t->reachedCount = false;
            send(rt, *t, "timerComplete");
        }
    }
    runDelayed(rt, nowMs);
    std::erase_if(rt.stage->runningTimers, [](const ObjectPtr& o) { return !static_cast<TimerObject&>(*o).running; });
}

} // namespace nimbrel::movie::avm2
