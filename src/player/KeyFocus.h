#pragma once
// Who the keyboard belongs to when the shortcut keys are served: a text field
// of the program with the focus keeps every key it types or edits with, and
// the movie surface with the focus keeps the keys its movie takes.
class QWidget;

namespace nimbrel::player {

class FlashSurface;

class KeyFocus {
public:
    // focus: the focused widget (may be null); movie: the main movie surface.
    static bool holdsKey(const QWidget* focus, FlashSurface* movie, int qtKey, bool keypad);
    static bool isTextField(const QWidget* w);
};

} // namespace nimbrel::player
