#include "movie/KeyInput.h"
#include "movie/KeyCodes.h"
#include "movie/display/ButtonObject.h"
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

bool stillPlaced(const DisplayObject& o, const MovieClip& root) {
    return &o == &root || o.parent() != nullptr;
}

} // namespace

void KeyInput::press(MovieClip& root, display::ScriptEngine& scripts, int keyCode, const QString& text) {
    down_.insert(keyCode);
    lastCode_ = keyCode;
    lastAscii_ = text.size() == 1 ? text.at(0).unicode() : 0;
    const int buttonKey = KeyCodes::buttonCode(keyCode, text);
    for (const auto& o : everything(root)) {
        if (!stillPlaced(*o, root)) continue;
        if (o->type() == DisplayObject::Type::Button) {
            if (!buttonKey) continue;
            auto* button = static_cast<ButtonObject*>(o.get());
            for (const swf::ButtonAction& a : button->def().actions)
                if (a.keyCode == buttonKey) scripts.buttonActions(button, a.actions);
            continue;
        }
        scripts.clipEvent(o.get(), swf::ClipEventKeyDown, keyCode);
        if (!buttonKey) continue;
        // Key-press handlers name one key each; only a clip with a matching one hears it.
        for (const swf::ClipAction& a : o->clipActions) {
            if ((a.events & swf::ClipEventKeyPress) && a.keyCode == buttonKey) {
                scripts.clipEvent(o.get(), swf::ClipEventKeyPress, buttonKey);
                break;
            }
        }
    }
}

void KeyInput::release(MovieClip& root, display::ScriptEngine& scripts, int keyCode) {
    down_.erase(keyCode);
    for (const auto& o : everything(root))
        if (stillPlaced(*o, root) && o->type() == DisplayObject::Type::MovieClip)
            scripts.clipEvent(o.get(), swf::ClipEventKeyUp, keyCode);
}

void KeyInput::reset() {
    down_.clear();
    lastCode_ = 0;
    lastAscii_ = 0;
}

} // namespace nimbrel::movie
