#pragma once
// Keyboard focus of one movie: the object that has it, the Tab order that
// moves it, and the losses that happen when that object leaves the stage or
// is hidden. Every change is told to the script engine, which runs the
// onKillFocus/onSetFocus handlers and the Selection listeners.
#include "movie/display/DisplayObject.h"
#include <QPointF>
#include <memory>
#include <vector>

namespace nimbrel::movie::display {

class MovieClip;

class FocusManager {
public:
    // The focused object while it is still on the stage, else nullptr.
    DisplayObject* focused() const;
    // Gives object the focus (nullptr takes it away). False when object
    // cannot hold focus; then nothing changes.
    bool setFocus(DisplayObject* object);
    // Tab (or Shift+Tab): focus moves to the next (previous) object of the
    // order, wrapping around; nothing happens when the order is empty.
    void tab(MovieClip& root, bool backwards);
    // The focus is at object or inside it and that part of the stage goes
    // away (removed or hidden): nothing has focus any more.
    void dropWithin(const DisplayObject* object);
    // The pointer went down at twips (stage): a text field there that can be
    // typed in or selected takes the focus, anything else takes it away.
    // onButton: a button (or a clip acting as one) took the press.
    void pointerPressed(MovieClip& root, const QPointF& twips, bool onButton);
    void reset() { focused_.reset(); }
    // Focus given by Tab or by a script stays in the keyboard's hands (the
    // focused object hears keys and Enter works it) until the pointer moves.
    bool keyboardDriven() const { return keyboardDriven_ && focused(); }
    void pointerMoved() { keyboardDriven_ = false; }

    // Whether a script may put the focus on object.
    static bool canFocus(DisplayObject& object);
    // The objects Tab visits, in visiting order.
    static std::vector<DisplayObject*> tabOrder(MovieClip& root);
    // Topmost visible text field whose box holds the stage point, or nullptr.
    static DisplayObject* fieldAt(MovieClip& root, const QPointF& twips);

private:
    void moveTo(DisplayObject* object);

    std::weak_ptr<DisplayObject> focused_;
    bool keyboardDriven_ = false;
};

} // namespace nimbrel::movie::display
