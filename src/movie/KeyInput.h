#pragma once
// The keyboard as a movie sees it: which keys are held, the last one pressed,
// and the key events handed to clips and to buttons' key-press conditions.
#include <QString>
#include <set>

namespace nimbrel::movie {

namespace display {
class MovieClip;
class ScriptEngine;
} // namespace display

class KeyInput {
public:
    // keyCode is the movie's key code (KeyCodes::fromQtKey); text what the key typed.
    void press(display::MovieClip& root, display::ScriptEngine& scripts, int keyCode, const QString& text);
    void release(display::MovieClip& root, display::ScriptEngine& scripts, int keyCode);
    void reset();

    bool isDown(int keyCode) const { return down_.count(keyCode) > 0; }
    int lastCode() const { return lastCode_; }
    int lastAscii() const { return lastAscii_; }

private:
    std::set<int> down_;
    int lastCode_ = 0;
    int lastAscii_ = 0;
};

} // namespace nimbrel::movie
