#pragma once
// A text field bound to a timeline variable: the field shows the variable's
// value, and text set on the field is written back to it. The player checks
// bound fields once a frame; scripts reading a field see the value at once.
namespace nimbrel::movie::display {
class EditTextObject;
}

namespace nimbrel::movie::avm1 {

class Interpreter;

class TextFieldVariable {
public:
    // Takes the variable's value into the field; a variable not yet defined
    // takes the field's text instead, unless that is empty.
    static void pull(Interpreter& vm, display::EditTextObject& field);
    // Writes the field's text to its variable.
    static void push(Interpreter& vm, display::EditTextObject& field);
    // pull for every bound field on the stage.
    static void pullAll(Interpreter& vm);
};

} // namespace nimbrel::movie::avm1
