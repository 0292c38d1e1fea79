#pragma once
// flash.utils.Timer and setTimeout/setInterval: tick on movie time, checked once per frame, each tick a
// TimerEvent.TIMER and the last of a counted run a TIMER_COMPLETE.
namespace nimbrel::movie::avm2 {
class Runtime;
class TimerClass {
public:
    static void install(Runtime& rt);
    // Fires what is due by nowMs (movie time); without a player timers never tick.
    static void tick(Runtime& rt, double nowMs);
};
} // namespace nimbrel::movie::avm2
