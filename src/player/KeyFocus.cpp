#include "player/KeyFocus.h"
#include "movie/KeyCodes.h"
#include "movie/MoviePlayer.h"
#include "player/FlashSurface.h"
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace nimbrel::player {

bool KeyFocus::isTextField(const QWidget* w) {
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w))
        return true;
    // Read-only text views take no typing; their keys stay the player's.
    if (auto* edit = qobject_cast<const QTextEdit*>(w))
        return !edit->isReadOnly();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(w))
        return !plain->isReadOnly();
    auto* combo = qobject_cast<const QComboBox*>(w);
    return combo && combo->isEditable();
}

bool KeyFocus::holdsKey(const QWidget* focus, FlashSurface* movie, int qtKey, bool keypad) {
    if (!focus)
        return false;
    if (isTextField(focus))
        return true;
    if (movie && focus == movie) {
        const int code = movie::KeyCodes::fromQtKey(qtKey, keypad);
        return code && movie->player().takesKey(code);
    }
    return false;
}

} // namespace nimbrel::player
