#pragma once
// flash.events ProgressEvent, TextEvent, ErrorEvent, IOErrorEvent,
// SecurityErrorEvent and HTTPStatusEvent: what loads tell their listeners.
#include "movie/avm2/Value.h"
#include <initializer_list>
#include <utility>

namespace nimbrel::movie::avm2 {
class Runtime;
class LoadEventClasses {
public:
    static void install(Runtime& rt);
    // A new event of the class ("flash.events.ProgressEvent"...) with its fields set.
    static Value make(Runtime& rt, const char* cls, const QString& type,
                      std::initializer_list<std::pair<const char*, Value>> fields = {});
};
} // namespace nimbrel::movie::avm2
