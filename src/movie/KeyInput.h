#pragma once
// The keyboard as a movie sees it: which keys are held, the last one pressed,
// and the key events handed to clips and to buttons' key-press conditions.
#include <QString>
#include <set>

namespace nimbrel::movie {

namespace display {
class DisplayObject;
class MovieClip;
class ScriptEngine;
} // namespace display

class KeyInput {
public:
    // keyCode is the movie's key code (KeyCodes::fromQtKey); text what the key
    // typed. focused (may be null) has the keyboard focus: it hears the key,
    // and, while highlighted, Enter or Space press it when it is a button or
    // a clip acting as one.
    // True when a button's key-press condition took the key: it then neither
    // moves the focus nor types into a field.
    bool press(display::MovieClip& root, display::ScriptEngine& scripts, int keyCode, const QString& text,
               display::DisplayObject* focused = nullptr, bool highlighted = true);
    // A character typed (after the key that typed it went down): the first
    // button with a key-press condition for it takes it (true), else it may
    // go into the focused text field.
    bool typed(display::MovieClip& root, display::ScriptEngine& scripts, QChar c);
    void release(display::MovieClip& root, display::ScriptEngine& scripts, int keyCode,
                 display::DisplayObject* focused = nullptr);
    void reset();
    // The movie hears keyCode now (text what it types): a clip's key handler,
    // a key-press condition for it, the scripts' own key listeners, or an
    // input field with the focus. A host leaves such a key to the movie.
    static bool listensTo(display::MovieClip& root, display::ScriptEngine& scripts, int keyCode,
                          const QString& text, display::DisplayObject* focused);

    bool isDown(int keyCode) const { return down_.count(keyCode) > 0; }
    int lastCode() const { return lastCode_; }
    int lastAscii() const { return lastAscii_; }

private:
    // Button key-press codes below this name special keys (arrows, Enter, Tab...).
    static constexpr int kFirstCharacterCode = 32;
    static constexpr int kLastCharacterCode = 126;
    static bool fireKeyConditions(display::MovieClip& root, display::ScriptEngine& scripts, int buttonKey);

    std::set<int> down_;
    int lastCode_ = 0;
    int lastAscii_ = 0;
};

} // namespace nimbrel::movie
