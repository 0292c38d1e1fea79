#pragma once
// flash.events.TextEvent and FocusEvent, and the player's news that reaches
// text fields through them: characters about to be typed (textInput, which a
// listener may cancel) and focus moving (focusOut, then focusIn).
#include "movie/avm2/Value.h"

namespace nimbrel::movie::display {
class DisplayObject;
}

namespace nimbrel::movie::avm2 {
class Runtime;
class TextEventClasses {
public:
    static void install(Runtime& rt);
    // False when a listener prevented the text from going in.
    static bool textTyped(Runtime& rt, display::DisplayObject* field, const QString& text);
    static void focusChanged(Runtime& rt, display::DisplayObject* lost, display::DisplayObject* gained);
};
} // namespace nimbrel::movie::avm2
