#pragma once
// flash.text.TextField: the script face of the engine's dynamic and input
// text fields, made by `new TextField()` or placed by the timeline.
#include "movie/avm2/Value.h"

namespace nimbrel::movie::display {
class EditTextObject;
class DisplayObject;
}

namespace nimbrel::movie::avm2 {
class ClassObject;
class Runtime;
class TextFieldClass {
public:
    static void install(Runtime& rt, ClassObject& interactiveObject);
    // The field behind a TextField value; null when there is none.
    static display::EditTextObject* fieldOf(const Value& v);
    // The user edited a field's text: its listeners hear "change".
    static void textEdited(Runtime& rt, display::DisplayObject* field);
};
} // namespace nimbrel::movie::avm2
