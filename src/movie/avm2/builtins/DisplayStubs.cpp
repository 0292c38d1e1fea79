#include "movie/avm2/builtins/DisplayStubs.h"
#include "movie/avm2/Runtime.h"

namespace nimbrel::movie::avm2 {

namespace {
Value nothing(Runtime&, const Value&, Args) { return Value(); }
} // namespace

void DisplayStubs::install(Runtime& rt) {
    struct Stub {
        const char* package;
        const char* name;
        const char* base;
    };
    const Stub stubs[] = {
        {"flash.events", "EventDispatcher", "Object"},
        {"flash.display", "DisplayObject", "flash.events.EventDispatcher"},
        {"flash.display", "InteractiveObject", "flash.display.DisplayObject"},
        {"flash.display", "DisplayObjectContainer", "flash.display.InteractiveObject"},
        {"flash.display", "Sprite", "flash.display.DisplayObjectContainer"},
        {"flash.display", "MovieClip", "flash.display.Sprite"},
    };
    for (const Stub& s : stubs) {
        auto cls = rt.defineNativeClass(QString::fromLatin1(s.package), QString::fromLatin1(s.name),
                                        rt.builtin(QString::fromLatin1(s.base)), {});
        cls->constructor = MethodRef{nullptr, 0, nothing, cls.get()};
    }
}

} // namespace nimbrel::movie::avm2
