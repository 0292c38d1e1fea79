#pragma once
// Key numbering as movies see it. Scripts read the virtual key codes
// (Key.getCode); button key-press conditions use their own small codes for
// the special keys and ASCII for the rest.
#include <QString>

namespace nimbrel::movie {

struct KeyCodes {
    // The movie's key code for a Qt key (Qt::Key values); keypad keys differ
    // from their main-block twins. 0 when movies have no code for the key.
    static int fromQtKey(int qtKey, bool keypad = false);
    // The code a button condition is written with for this key, 0 when no
    // condition can name it.
    static int buttonCode(int keyCode, const QString& text);
};

} // namespace nimbrel::movie
