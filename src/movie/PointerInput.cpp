#include "movie/PointerInput.h"
#include "movie/display/HitTest.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptEngine.h"

namespace nimbrel::movie {

using display::ButtonObject;
using display::DisplayObject;
using display::HitTest;
using display::MovieClip;

namespace {

constexpr int kMaxDepth = 128;

// The object is still on the stage (its parent chain reaches a root).
DisplayObject* live(const std::weak_ptr<DisplayObject>& w) {
    auto p = w.lock();
    return p && p->parent() ? p.get() : nullptr;
}

bool inside(const DisplayObject* o, const DisplayObject* ancestor) {
    for (int guard = 0; o && guard < kMaxDepth; o = o->parent(), ++guard)
        if (o == ancestor) return true;
    return false;
}

// Mouse clip events reach the topmost clips first, children before parents.
void dispatchMouse(MovieClip& root, swf::ClipEvent event) {
    display::ScriptEngine& scripts = root.context()->scripts();
    for (const auto& clip : root.clipsTopmostFirst())
        if (clip.get() == &root || clip->parent()) scripts.clipEvent(clip.get(), event);
    scripts.broadcastInput(event);
}

} // namespace

DisplayObject* PointerInput::search(MovieClip& clip, const QTransform& parentToStage, const QPointF& twips,
                                    bool buttonsOnly, int depth) {
    if (depth > kMaxDepth) return nullptr;
    display::ScriptEngine& scripts = clip.context()->scripts();
    const auto& children = clip.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        DisplayObject& o = *it->second;
        if (!o.visible || o.clipDepth > 0) continue;
        const QTransform toStage = o.matrix.toQTransform() * parentToStage;
        bool invertible = false;
        const QPointF local = toStage.inverted(&invertible).map(twips);
        if (!invertible) continue;
        if (o.type() == DisplayObject::Type::Button) {
            if (auto inner = searchButton(static_cast<ButtonObject&>(o), toStage, twips, buttonsOnly, depth)) return inner;
            if (scripts.isEnabled(&o) && HitTest::hitsButtonArea(static_cast<ButtonObject&>(o), local)) return &o;
        } else if (o.type() == DisplayObject::Type::MovieClip) {
            auto& child = static_cast<MovieClip&>(o);
            // A clip with button handlers takes the pointer for everything it holds.
            if (!buttonsOnly && scripts.actsAsButton(&child) && scripts.isEnabled(&child)) {
                if (HitTest::contains(child, o.matrix.toQTransform().map(local), true)) return &child;
                continue;
            }
            if (auto b = search(child, toStage, twips, buttonsOnly, depth + 1)) return b;
        }
    }
    return nullptr;
}

DisplayObject* PointerInput::searchButton(ButtonObject& button, const QTransform& toStage, const QPointF& twips,
                                          bool buttonsOnly, int depth) {
    if (depth > kMaxDepth) return nullptr;
    display::ScriptEngine& scripts = button.context()->scripts();
    // Buttons and clips a button shows take the pointer before the button itself.
    const auto& children = button.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        DisplayObject& o = *it->second;
        if (!o.visible) continue;
        const QTransform childToStage = o.matrix.toQTransform() * toStage;
        if (o.type() == DisplayObject::Type::Button) {
            bool invertible = false;
            const QPointF local = childToStage.inverted(&invertible).map(twips);
            auto& inner = static_cast<ButtonObject&>(o);
            if (auto deeper = searchButton(inner, childToStage, twips, buttonsOnly, depth + 1)) return deeper;
            if (invertible && scripts.isEnabled(&o) && HitTest::hitsButtonArea(inner, local)) return &o;
        } else if (o.type() == DisplayObject::Type::MovieClip) {
            if (auto found = search(static_cast<MovieClip&>(o), childToStage, twips, buttonsOnly, depth + 1))
                return found;
        }
    }
    return nullptr;
}

DisplayObject* PointerInput::targetAt(MovieClip& root, const QPointF& twips) {
    return search(root, root.matrix.toQTransform(), twips, false, 0);
}

ButtonObject* PointerInput::buttonAt(MovieClip& root, const QPointF& twips) {
    return static_cast<ButtonObject*>(search(root, root.matrix.toQTransform(), twips, true, 0));
}

DisplayObject* PointerInput::clipAt(MovieClip& root, const QPointF& twips, const DisplayObject* skip) {
    MovieClip* clip = &root;
    QTransform toStage = root.matrix.toQTransform();
    // Walk down through the topmost clip drawing at the point, as deep as it goes.
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        MovieClip* next = nullptr;
        const auto& children = clip->children();
        for (auto it = children.rbegin(); it != children.rend() && !next; ++it) {
            DisplayObject& o = *it->second;
            if (&o == skip || o.type() != DisplayObject::Type::MovieClip) continue;
            bool invertible = false;
            const QPointF inClip = toStage.inverted(&invertible).map(twips);
            if (invertible && HitTest::contains(o, inClip, true)) next = static_cast<MovieClip*>(&o);
        }
        if (!next) break;
        toStage = next->matrix.toQTransform() * toStage;
        clip = next;
    }
    return clip == &root ? nullptr : clip;
}

void PointerInput::fire(DisplayObject* target, uint16_t condition, swf::ClipEvent event, swf::ButtonState state) {
    if (!target) return;
    if (target->type() == DisplayObject::Type::Button) {
        auto* b = static_cast<ButtonObject*>(target);
        b->setState(state);
        b->fire(condition);
    }
    target->context()->scripts().clipEvent(target, event);
}

std::vector<MovieClip*> PointerInput::stageRoots(MovieClip& root) const {
    std::vector<MovieClip*> roots = levelsAbove ? levelsAbove() : std::vector<MovieClip*>();
    roots.push_back(&root);
    return roots;
}

void PointerInput::move(MovieClip& root, const QPointF& twips) {
    updateDrag(twips);
    const std::vector<MovieClip*> roots = stageRoots(root);
    DisplayObject* under = nullptr;
    for (size_t i = 0; i < roots.size() && !under; ++i) under = targetAt(*roots[i], twips);
    DisplayObject* was = live(hovered_);
    DisplayObject* down = live(pressed_);
    if (under != was) {
        if (was) {
            if (down == was) fire(was, swf::CondOverDownToOutDown, swf::ClipEventDragOut, swf::ButtonOver);
            else if (!down) fire(was, swf::CondOverUpToIdle, swf::ClipEventRollOut, swf::ButtonUp);
        }
        if (under) {
            if (down == under) fire(under, swf::CondOutDownToOverDown, swf::ClipEventDragOver, swf::ButtonDown);
            else if (!down) fire(under, swf::CondIdleToOverUp, swf::ClipEventRollOver, swf::ButtonOver);
        }
        hovered_ = under ? under->weak_from_this() : std::weak_ptr<DisplayObject>();
    }
    for (MovieClip* r : roots) dispatchMouse(*r, swf::ClipEventMouseMove);
}

void PointerInput::press(MovieClip& root, const QPointF& twips, const std::function<void()>& beforePress) {
    move(root, twips);
    for (MovieClip* r : stageRoots(root)) dispatchMouse(*r, swf::ClipEventMouseDown);
    if (beforePress) beforePress();
    if (DisplayObject* target = live(hovered_)) {
        pressed_ = target->weak_from_this();
        fire(target, swf::CondOverUpToOverDown, swf::ClipEventPress, swf::ButtonDown);
    }
}

void PointerInput::release(MovieClip& root, const QPointF& twips) {
    move(root, twips);
    for (MovieClip* r : stageRoots(root)) dispatchMouse(*r, swf::ClipEventMouseUp);
    DisplayObject* down = live(pressed_);
    pressed_.reset();
    if (!down) return;
    DisplayObject* under = live(hovered_);
    if (down == under) {
        fire(down, swf::CondOverDownToOverUp, swf::ClipEventRelease, swf::ButtonOver);
        return;
    }
    fire(down, swf::CondOutDownToIdle, swf::ClipEventReleaseOutside, swf::ButtonUp);
    // What the pointer came to rest on while held elsewhere is entered now.
    if (under) fire(under, swf::CondIdleToOverUp, swf::ClipEventRollOver, swf::ButtonOver);
}

void PointerInput::reset() {
    hovered_.reset();
    pressed_.reset();
    dragged_.reset();
}

void PointerInput::startDrag(DisplayObject* object, bool lockCenter, const std::optional<QRectF>& bounds,
                             const QPointF& pointer) {
    if (!object || !object->parent()) return;
    dragged_ = object->weak_from_this();
    lockCenter_ = lockCenter;
    dragBounds_ = bounds;
    dragOffset_ = {};
    if (!lockCenter) {
        QPointF inParent;
        if (HitTest::stageToLocal(*object->parent(), pointer, &inParent))
            dragOffset_ = QPointF(object->matrix.tx, object->matrix.ty) - inParent;
    }
    updateDrag(pointer);
}

DisplayObject* PointerInput::dragged() const { return live(dragged_); }

void PointerInput::updateDrag(const QPointF& pointer) {
    DisplayObject* o = dragged();
    if (!o) return;
    QPointF inParent;
    if (!HitTest::stageToLocal(*o->parent(), pointer, &inParent)) return;
    QPointF at = inParent + dragOffset_;
    if (dragBounds_) {
        const QRectF r = dragBounds_->normalized();
        at.setX(std::clamp(at.x(), r.left(), r.right()));
        at.setY(std::clamp(at.y(), r.top(), r.bottom()));
    }
    o->matrix.tx = at.x();
    o->matrix.ty = at.y();
}

} // namespace nimbrel::movie
