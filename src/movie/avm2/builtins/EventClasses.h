#pragma once
// flash.events: EventDispatcher, Event, MouseEvent, KeyboardEvent, TimerEvent.
namespace nimbrel::movie::avm2 {
class Runtime;
class EventClasses {
public:
    static void install(Runtime& rt);
};
} // namespace nimbrel::movie::avm2
