// What the player hears from the user: the pointer, keys, typed text and
// the clipboard, handed to the movie's scripts in the reference player's order.
#include "movie/MoviePlayerImpl.h"

namespace nimbrel::movie {

namespace {
// Movie key codes of the keys that move the focus.
constexpr int kTabKey = 9;
constexpr int kShiftKey = 16;
} // namespace

QPointF MoviePlayer::stagePoint(const QPointF& pos, const QSize& viewport) const {
    const QTransform t = render::StageLayout::transform(d->view, QSizeF(viewport), render::ScaleMode(d->scaleMode));
    bool invertible = false;
    const QTransform inv = t.inverted(&invertible);
    return invertible ? inv.map(pos) : QPointF();
}

void MoviePlayer::mouseMove(const QPointF& pos, const QSize& viewport) {
    if (!d->root || d->busy) return;
    Impl::Busy busy(*d);
    Impl::ScriptRun run(*d->scripts);
    auto root = d->root;
    d->lastPointer = stagePoint(pos, viewport);
    d->focus.pointerMoved();
    d->pointer.move(*root, *d->lastPointer);
    d->scripts->runQueuedActions();
    emit repaintNeeded();
}

void MoviePlayer::mousePress(const QPointF& pos, const QSize& viewport) {
    if (!d->root || d->busy) return;
    Impl::Busy busy(*d);
    Impl::ScriptRun run(*d->scripts);
    d->navigation.pressed();
    Impl::UserInput input(d->navigation);
    auto root = d->root;
    d->lastPointer = stagePoint(pos, viewport);
    const QPointF at = *d->lastPointer;
    d->pointer.press(*root, at, [&] {
        // The clips hear the button go down before the focus moves.
        d->scripts->runQueuedActions();
        if (d->root == root) d->focus.pointerPressed(*root, at, PointerInput::targetAt(*root, at) != nullptr);
    });
    d->scripts->runQueuedActions();
    emit repaintNeeded();
}

void MoviePlayer::mouseRelease(const QPointF& pos, const QSize& viewport) {
    if (!d->root || d->busy) return;
    Impl::Busy busy(*d);
    Impl::ScriptRun run(*d->scripts);
    auto root = d->root;
    d->lastPointer = stagePoint(pos, viewport);
    {
        Impl::UserInput input(d->navigation);
        d->pointer.release(*root, *d->lastPointer);
        d->scripts->runQueuedActions();
    }
    d->navigation.released();
    emit repaintNeeded();
}

bool MoviePlayer::pointerOverButton() const {
    // Asking the scripts' objects is itself script work: not while one runs.
    if (!d->root || !d->lastPointer || d->busy) return false;
    display::DisplayObject* target = PointerInput::targetAt(*d->root, *d->lastPointer);
    if (!target || !d->scripts->usesHandCursor(target)) return false;
    // A button shows the hand when it does something when clicked.
    if (target->type() == display::DisplayObject::Type::Button)
        return !static_cast<display::ButtonObject*>(target)->def().actions.empty() || d->scripts->actsAsButton(target);
    return true;
}

void MoviePlayer::keyPress(int keyCode, const QString& text) {
    if (!d->root || keyCode <= 0 || d->busy) return;
    Impl::Busy busy(*d);
    Impl::ScriptRun run(*d->scripts);
    d->navigation.pressed();
    Impl::UserInput input(d->navigation);
    auto root = d->root;
    const bool taken = d->keys.press(*root, *d->scripts, keyCode, text, d->keyFocus(), d->focusHighlight);
    d->scripts->runQueuedActions();
    // Tab moves the focus once the movie has heard the key.
    if (keyCode == kTabKey && !taken && d->root == root) {
        d->focus.tab(*root, d->keys.isDown(kShiftKey));
        d->scripts->runQueuedActions();
    }
    emit repaintNeeded();
}

bool MoviePlayer::takesKey(int keyCode, const QString& text) const {
    if (!d->root || keyCode <= 0) return false;
    return KeyInput::listensTo(*d->root, *d->scripts, keyCode, text, d->focus.focused());
}

void MoviePlayer::keyRelease(int keyCode) {
    if (!d->root || keyCode <= 0 || d->busy) return;
    Impl::Busy busy(*d);
    Impl::ScriptRun run(*d->scripts);
    auto root = d->root;
    {
        Impl::UserInput input(d->navigation);
        d->keys.release(*root, *d->scripts, keyCode, d->keyFocus());
        d->scripts->runQueuedActions();
    }
    d->navigation.released();
    emit repaintNeeded();
}

namespace {

display::EditTextObject* focusedField(const display::FocusManager& focus) {
    display::DisplayObject* d = focus.focused();
    if (!d || d->type() != display::DisplayObject::Type::EditText) return nullptr;
    return static_cast<display::EditTextObject*>(d);
}

} // namespace

void MoviePlayer::textInput(const QString& text) {
    if (!d->root || d->busy) return;
    Impl::Busy busy(*d);
    Impl::ScriptRun run(*d->scripts);
    Impl::UserInput input(d->navigation); // the characters of the key just pressed
    auto root = d->root;
    // Buttons' key-press conditions take the characters they name first.
    QString rest;
    for (QChar c : text)
        if (!d->keys.typed(*root, *d->scripts, c)) rest += c;
    display::EditTextObject* field = focusedField(d->focus);
    // Listeners of the typed text may take the field away: it lives until the edit is done.
    const auto keepField = field ? field->shared_from_this() : nullptr;
    if (field && d->root == root && !rest.isEmpty() && !d->scripts->textTyped(field, rest)) rest.clear();
    if (field && d->root == root && TextEntry::type(*field, rest)) d->scripts->textEdited(field);
    d->scripts->runQueuedActions();
    emit repaintNeeded();
}

void MoviePlayer::textCommand(TextEntry::Command command) {
    display::EditTextObject* field = focusedField(d->focus);
    if (!d->root || !field || d->busy) return;
    Impl::Busy busy(*d);
    Impl::ScriptRun run(*d->scripts);
    auto root = d->root;
    const auto keepField = field->shared_from_this();
    // Pasted text is typed text to the movie's scripts, which may refuse it.
    if (command == TextEntry::Command::Paste && field->input && !d->scripts->textTyped(field, d->clipboard)) {
        d->scripts->runQueuedActions();
        return;
    }
    if (d->root == root && TextEntry::command(*field, command, d->clipboard)) d->scripts->textEdited(field);
    d->scripts->runQueuedActions();
    emit repaintNeeded();
}

void MoviePlayer::setClipboardText(const QString& text) { d->clipboard = text; }
QString MoviePlayer::clipboardText() const { return d->clipboard; }

bool MoviePlayer::isKeyDown(int keyCode) const { return d->keys.isDown(keyCode); }
int MoviePlayer::lastKeyCode() const { return d->keys.lastCode(); }

} // namespace nimbrel::movie
