#pragma once
// flash.display.Graphics: the drawing API of a Sprite or Shape, drawn onto
// the clip's drawing canvas (beneath its children).
#include "movie/avm2/Value.h"

namespace nimbrel::movie::avm2 {
class EventTargetObject;
class Runtime;
class GraphicsClass {
public:
    static void install(Runtime& rt);
    // The Graphics of a display object.
    static Value make(Runtime& rt, EventTargetObject& owner);
};
} // namespace nimbrel::movie::avm2
