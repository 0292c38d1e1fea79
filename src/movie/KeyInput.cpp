#include "movie/KeyInput.h"
#include "movie/KeyCodes.h"
#include "movie/display/ButtonObject.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/ScriptEngine.h"
#include "movie/swf/ClipEvent.h"
#include <memory>
#include <vector>

namespace nimbrel::movie {

using display::ButtonObject;
using display::DisplayObject;
using display::MovieClip;

namespace {

// Clips and buttons below root, root first; held by shared pointers because
// the handlers they run may remove them.
void collect(MovieClip& clip, std::vector<std::shared_ptr<DisplayObject>>& out) {
    for (const auto& [depth, child] : clip.children()) {
        if (child->type() == DisplayObject::Type::Button) {
            out.push_back(child);
        } else if (child->type() == DisplayObject::Type::MovieClip) {
            out.push_back(child);
            collect(static_cast<MovieClip&>(*child), out);
        }
    }
}

std::vector<std::shared_ptr<DisplayObject>> everything(MovieClip& root) {
    std::vector<std::shared_ptr<DisplayObject>> all{root.shared_from_this()};
    collect(root, all);
    return all;
}

// Hidden buttons (or buttons in hidden clips) take no keys.
bool shown(const DisplayObject& o) {
    int guard = 0;
    for (const DisplayObject* p = &o; p && guard < 1000; p = p->parent(), ++guard)
        if (!p->visible) return false;
    return true;
}

bool stillPlaced(const DisplayObject& o, const MovieClip& root) {
    return &o == &root || o.parent() != nullptr;
}

// Key events reach a focused button or field besides the clips (which all hear them).
void tellFocused(DisplayObject* focused, display::ScriptEngine& scripts, swf::ClipEvent event, int keyCode) {
    if (focused && focused->type() != DisplayObject::Type::MovieClip) scripts.clipEvent(focused, event, keyCode);
}

// Enter and Space work a focused button (or clip acting as one) as a click does.
void activate(DisplayObject* focused, display::ScriptEngine& scripts, int keyCode) {
    constexpr int kEnter = 13, kSpace = 32;
    if (!focused || (keyCode != kEnter && keyCode != kSpace)) return;
    const bool button = focused->type() == DisplayObject::Type::Button;
    if (!button && !(focused->type() == DisplayObject::Type::MovieClip && scripts.actsAsButton(focused))) return;
    if (!scripts.isEnabled(focused)) return;
    if (button) static_cast<ButtonObject*>(focused)->fire(swf::CondOverUpToOverDown);
    scripts.clipEvent(focused, swf::ClipEventPress);
    if (button) static_cast<ButtonObject*>(focused)->fire(swf::CondOverDownToOverUp);
    scripts.clipEvent(focused, swf::ClipEventRelease);
}

} // namespace

bool KeyInput::press(MovieClip& root, display::ScriptEngine& scripts, int keyCode, const QString& text,
                     DisplayObject* focused, bool highlighted) {
    std::shared_ptr<DisplayObject> keep = focused ? focused->shared_from_this() : nullptr;
    down_.insert(keyCode);
    lastCode_ = keyCode;
    lastAscii_ = text.size() == 1 ? text.at(0).unicode() : 0;
    const int buttonKey = KeyCodes::buttonCode(keyCode, text);
    // Clips first (topmost first), then the Key listeners, then key-press conditions.
    for (const auto& clip : root.clipsTopmostFirst()) {
        if (!stillPlaced(*clip, root)) continue;
        scripts.clipEvent(clip.get(), swf::ClipEventKeyDown, keyCode);
        if (!buttonKey) continue;
        // Key-press handlers name one key each; only a clip with a matching one hears it.
        for (const swf::ClipAction& a : clip->clipActions) {
            if ((a.events & swf::ClipEventKeyPress) && a.keyCode == buttonKey) {
                scripts.clipEvent(clip.get(), swf::ClipEventKeyPress, buttonKey);
                break;
            }
        }
    }
    tellFocused(focused, scripts, swf::ClipEventKeyDown, keyCode);
    scripts.broadcastInput(swf::ClipEventKeyDown);
    if (highlighted) activate(focused, scripts, keyCode);
    // Keys that type a character reach key-press conditions as that character (typed()).
    if (!buttonKey || buttonKey >= kFirstCharacterCode) return false;
    return fireKeyConditions(root, scripts, buttonKey);
}

bool KeyInput::typed(MovieClip& root, display::ScriptEngine& scripts, QChar c) {
    const int code = c.unicode();
    if (code < kFirstCharacterCode || code > kLastCharacterCode) return false;
    return fireKeyConditions(root, scripts, code);
}

bool KeyInput::fireKeyConditions(MovieClip& root, display::ScriptEngine& scripts, int buttonKey) {
    // The first button with a condition for the key takes it; the others do not hear it.
    bool taken = false;
    for (const auto& o : everything(root)) {
        if (taken) break;
        if (!stillPlaced(*o, root) || o->type() != DisplayObject::Type::Button) continue;
        if (!scripts.isEnabled(o.get()) || !shown(*o)) continue;
        auto* button = static_cast<ButtonObject*>(o.get());
        for (const swf::ButtonAction& a : button->def().actions)
            if (a.keyCode == buttonKey) {
                scripts.buttonActions(button, a.actions);
                taken = true;
            }
    }
    return taken;
}

void KeyInput::release(MovieClip& root, display::ScriptEngine& scripts, int keyCode, DisplayObject* focused) {
    down_.erase(keyCode);
    lastCode_ = keyCode;
    for (const auto& clip : root.clipsTopmostFirst())
        if (stillPlaced(*clip, root)) scripts.clipEvent(clip.get(), swf::ClipEventKeyUp, keyCode);
    tellFocused(focused, scripts, swf::ClipEventKeyUp, keyCode);
    scripts.broadcastInput(swf::ClipEventKeyUp);
}

bool KeyInput::listensTo(MovieClip& root, display::ScriptEngine& scripts, int keyCode, const QString& text,
                         DisplayObject* focused) {
    if (focused && focused->type() == DisplayObject::Type::EditText &&
        static_cast<display::EditTextObject*>(focused)->input)
        return true;
    if (scripts.hearsKeys(focused)) return true;
    const int buttonKey = KeyCodes::buttonCode(keyCode, text);
    constexpr unsigned kKeyEvents = swf::ClipEventKeyDown | swf::ClipEventKeyUp;
    for (const auto& o : everything(root)) {
        if (o->type() == DisplayObject::Type::Button) {
            if (!buttonKey || !shown(*o) || !scripts.isEnabled(o.get())) continue;
            for (const swf::ButtonAction& a : static_cast<ButtonObject*>(o.get())->def().actions)
                if (a.keyCode == buttonKey) return true;
            continue;
        }
        for (const swf::ClipAction& a : o->clipActions) {
            if (a.events & kKeyEvents) return true;
            if (buttonKey && (a.events & swf::ClipEventKeyPress) && a.keyCode == buttonKey) return true;
        }
    }
    return false;
}

void KeyInput::reset() {
    down_.clear();
    lastCode_ = 0;
    lastAscii_ = 0;
}

} // namespace nimbrel::movie
