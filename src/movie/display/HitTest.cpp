#include "movie/display/HitTest.h"
#include "movie/display/ButtonObject.h"
#include "movie/display/DrawingCanvas.h"
#include "movie/display/MorphShapeObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ShapeObject.h"
#include "movie/render/ShapePainter.h"

namespace nimbrel::movie::display {

namespace {

// Nesting is bounded by MovieContext::maxNesting; this guards the walk anyway.
constexpr int kMaxHitDepth = 128;

bool onShape(const swf::ShapeDef& s, const QPointF& p) {
    return s.bounds.toQRectF().contains(p) && render::shapeOutline(s).contains(p);
}

bool containsLocal(const DisplayObject& o, const QPointF& local, bool onlyVisible, int depth);

bool anyChild(const std::map<int, std::shared_ptr<DisplayObject>>& children, const QPointF& local,
              bool onlyVisible, int depth) {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const DisplayObject& child = *it->second;
        if (onlyVisible && (child.clipDepth > 0 || !child.visible)) continue;
        bool invertible = false;
        const QPointF p = child.matrix.toQTransform().inverted(&invertible).map(local);
        if (invertible && containsLocal(child, p, onlyVisible, depth + 1)) return true;
    }
    return false;
}

bool containsLocal(const DisplayObject& o, const QPointF& local, bool onlyVisible, int depth) {
    if (depth > kMaxHitDepth) return false;
    switch (o.type()) {
    case DisplayObject::Type::Shape:
        return onShape(static_cast<const ShapeObject&>(o).def(), local);
    case DisplayObject::Type::MovieClip: {
        const auto& clip = static_cast<const MovieClip&>(o);
        if (anyChild(clip.children(), local, onlyVisible, depth)) return true;
        if (clip.drawing && !clip.drawing->isEmpty()) return onShape(clip.drawing->shape(), local);
        // Content a clip draws itself (outside the display list) counts by its bounds.
        const QRectF own = clip.localBounds();
        return clip.children().empty() && !own.isEmpty() && own.contains(local);
    }
    case DisplayObject::Type::Button:
        return anyChild(static_cast<const ButtonObject&>(o).children(), local, onlyVisible, depth);
    default:
        return o.localBounds().contains(local);
    }
}

} // namespace

bool HitTest::contains(const DisplayObject& object, const QPointF& inParent, bool onlyVisible) {
    if (onlyVisible && (object.clipDepth > 0 || !object.visible)) return false;
    bool invertible = false;
    const QPointF p = object.matrix.toQTransform().inverted(&invertible).map(inParent);
    return invertible && containsLocal(object, p, onlyVisible, 0);
}

namespace {

bool hitsButtonDef(const swf::ButtonDef& def, const swf::Movie& movie, const QPointF& local, int depth) {
    if (depth > 8) return false; // buttons used as hit areas of buttons, a few levels at most
    for (const swf::ButtonRecord& rec : def.records) {
        if (!(rec.states & swf::ButtonHitTest)) continue;
        bool invertible = false;
        const QPointF p = rec.matrix.toQTransform().inverted(&invertible).map(local);
        if (!invertible) continue;
        const swf::Character* c = movie.character(rec.characterId);
        if (!c) continue;
        if (auto s = std::get_if<std::shared_ptr<const swf::ShapeDef>>(c)) {
            if (onShape(**s, p)) return true;
        } else if (auto t = std::get_if<std::shared_ptr<const swf::TextDef>>(c)) {
            if ((*t)->bounds.toQRectF().contains(p)) return true;
        } else if (auto m = std::get_if<std::shared_ptr<const swf::MorphShapeDef>>(c)) {
            if ((*m)->startBounds.toQRectF().contains(p)) return true;
        } else if (auto b = std::get_if<std::shared_ptr<const swf::ButtonDef>>(c)) {
            if (b->get() != &def && hitsButtonDef(**b, movie, p, depth + 1)) return true;
        } else if (auto sp = std::get_if<std::shared_ptr<const swf::SpriteDef>>(c)) {
            // A sprite as hit area: the shapes its first frame places.
            for (const auto& tag : (*sp)->timeline.frame(0).tags) {
                auto po = std::get_if<swf::PlaceObject>(&tag);
                if (!po || !po->characterId) continue;
                auto inner = movie.character(*po->characterId);
                auto shape = inner ? std::get_if<std::shared_ptr<const swf::ShapeDef>>(inner) : nullptr;
                if (!shape) continue;
                bool ok = false;
                const QTransform m = po->matrix ? po->matrix->toQTransform() : QTransform();
                const QPointF q = m.inverted(&ok).map(p);
                if (ok && onShape(**shape, q)) return true;
            }
        }
    }
    return false;
}

} // namespace

bool HitTest::hitsButtonArea(const ButtonObject& button, const QPointF& local) {
    return hitsButtonDef(button.def(), *button.context()->movie(), local, 0);
}

QTransform HitTest::toStage(const DisplayObject& object) {
    QTransform t;
    int guard = 0;
    for (const DisplayObject* o = &object; o && guard < kMaxHitDepth; o = o->parent(), ++guard)
        t = t * o->matrix.toQTransform();
    return t;
}

bool HitTest::stageToLocal(const DisplayObject& object, const QPointF& stage, QPointF* local) {
    bool invertible = false;
    const QTransform inv = toStage(object).inverted(&invertible);
    if (invertible) *local = inv.map(stage);
    return invertible;
}

} // namespace nimbrel::movie::display
