#pragma once
// Editing an input text field from the keyboard: typed text replaces the
// selection (restrict and maxChars apply), and the editing commands a
// keyboard or menu gives (new line, deleting, moving the caret, selecting,
// copying, cutting and pasting through the player's clipboard).
#include <QString>

namespace nimbrel::movie {

namespace display {
class EditTextObject;
}

class TextEntry {
public:
    enum class Command { Enter, Backspace, Delete, MoveLeft, MoveRight, SelectAll, Copy, Cut, Paste };

    // True when the field's text changed.
    static bool type(display::EditTextObject& field, const QString& text);
    static bool command(display::EditTextObject& field, Command command, QString& clipboard);

    // Longest text one edit may insert; a paste beyond it is cut short.
    static constexpr int kMaxInsert = 1 << 20;
};

} // namespace nimbrel::movie
