#include "movie/PointerInput.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptEngine.h"
#include "movie/render/ShapePainter.h"

namespace nimbrel::movie {

using display::ButtonObject;
using display::DisplayObject;

namespace {
ButtonObject* asButton(const std::weak_ptr<DisplayObject>& w) {
    auto p = w.lock();
    return p && p->type() == DisplayObject::Type::Button && p->parent() ? static_cast<ButtonObject*>(p.get()) : nullptr;
}
} // namespace

bool PointerInput::hits(const ButtonObject& button, const QPointF& local) {
    const swf::Movie& movie = *button.context()->movie();
    for (const swf::ButtonRecord& rec : button.def().records) {
        if (!(rec.states & swf::ButtonHitTest)) continue;
        bool invertible = false;
        const QPointF p = rec.matrix.toQTransform().inverted(&invertible).map(local);
        if (!invertible) continue;
        const swf::Character* c = movie.character(rec.characterId);
        if (!c) continue;
        if (auto s = std::get_if<std::shared_ptr<const swf::ShapeDef>>(c)) {
            if ((*s)->bounds.toQRectF().contains(p) && render::shapeOutline(**s).contains(p)) return true;
        } else if (auto t = std::get_if<std::shared_ptr<const swf::TextDef>>(c)) {
            if ((*t)->bounds.toQRectF().contains(p)) return true;
        } else if (auto m = std::get_if<std::shared_ptr<const swf::MorphShapeDef>>(c)) {
            if ((*m)->startBounds.toQRectF().contains(p)) return true;
        }
    }
    return false;
}

ButtonObject* PointerInput::search(const std::map<int, std::shared_ptr<DisplayObject>>& children,
                                   const QTransform& parentToStage, const QPointF& twips) {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        DisplayObject& o = *it->second;
        if (!o.visible || o.clipDepth > 0) continue;
        const QTransform toStage = o.matrix.toQTransform() * parentToStage;
        if (o.type() == DisplayObject::Type::Button) {
            bool invertible = false;
            const QPointF local = toStage.inverted(&invertible).map(twips);
            if (invertible && hits(static_cast<ButtonObject&>(o), local)) return static_cast<ButtonObject*>(&o);
        } else if (o.type() == DisplayObject::Type::MovieClip) {
            if (auto b = search(static_cast<display::MovieClip&>(o).children(), toStage, twips)) return b;
        }
    }
    return nullptr;
}

ButtonObject* PointerInput::buttonAt(display::MovieClip& root, const QPointF& twips) {
    return search(root.children(), root.matrix.toQTransform(), twips);
}

void PointerInput::broadcast(display::MovieClip& root, swf::ClipEvent event) {
    root.dispatchEvent(event);
}

void PointerInput::move(display::MovieClip& root, const QPointF& twips) {
    ButtonObject* under = buttonAt(root, twips);
    ButtonObject* was = asButton(hovered_);
    ButtonObject* down = asButton(pressed_);
    if (under != was) {
        if (was) {
            if (down == was) {
                was->setState(swf::ButtonOver);
                was->fire(swf::CondOverDownToOutDown);
            } else {
                was->setState(swf::ButtonUp);
                was->fire(swf::CondOverUpToIdle);
            }
        }
        if (under) {
            if (down == under) {
                under->setState(swf::ButtonDown);
                under->fire(swf::CondOutDownToOverDown);
            } else if (!down) {
                under->setState(swf::ButtonOver);
                under->fire(swf::CondIdleToOverUp);
            }
        }
        hovered_ = under ? under->weak_from_this() : std::weak_ptr<DisplayObject>();
    }
    broadcast(root, swf::ClipEventMouseMove);
}

void PointerInput::press(display::MovieClip& root, const QPointF& twips) {
    move(root, twips);
    if (ButtonObject* b = asButton(hovered_)) {
        b->setState(swf::ButtonDown);
        b->fire(swf::CondOverUpToOverDown);
        pressed_ = b->weak_from_this();
    }
    broadcast(root, swf::ClipEventMouseDown);
}

void PointerInput::release(display::MovieClip& root, const QPointF& twips) {
    move(root, twips);
    ButtonObject* down = asButton(pressed_);
    ButtonObject* under = asButton(hovered_);
    pressed_.reset();
    if (down) {
        if (down == under) {
            down->setState(swf::ButtonOver);
            down->fire(swf::CondOverDownToOverUp);
        } else {
            down->setState(swf::ButtonUp);
            down->fire(swf::CondOutDownToIdle);
        }
    }
    broadcast(root, swf::ClipEventMouseUp);
}

void PointerInput::reset() {
    hovered_.reset();
    pressed_.reset();
}

} // namespace nimbrel::movie
