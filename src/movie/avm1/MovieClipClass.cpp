// MovieClip: timeline control, clip creation and removal, depths, and the
// drawing calls (accepted; the headless player draws nothing).
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipLoaderClass.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/NumberFormat.h"
#include "movie/display/DisplayObject.h"
#include "movie/display/HitTest.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include <QTransform>
#include <cmath>
#include <optional>
#include "movie/avm1/LoadQueue.h"

namespace nimbrel::movie::avm1 {

namespace {

MovieClipObject* clipOf(const Value& v)
{
    Object* o = v.object();
    return o && o->isMovieClip() ? static_cast<MovieClipObject*>(o) : nullptr;
}

// A movie's main timeline counts the whole file; a sprite the bytes of its
// tags; a clip made by a script holds none.
Value bytesOf(const MovieClipObject* c)
{
    const display::DisplayObject* d = c ? c->display() : nullptr;
    if (!d || !d->context() || !d->context()->movie())
        return Value();
    const swf::Movie& movie = *d->context()->movie();
    if (!d->parent() || d->parent()->context() != d->context())
        return Value(double(movie.header.fileLength));
    if (const swf::Character* ch = movie.character(d->characterId()))
        if (const auto* sprite = std::get_if<std::shared_ptr<const swf::SpriteDef>>(ch))
            return Value(double((*sprite)->byteLength));
    return Value(0.0);
}

void gotoValue(Interpreter& vm, MovieClipObject* c, const Value& frame, bool play)
{
    if (!c)
        return;
    // An object names its frame by its string form (a label or a number).
    if (frame.isString() || frame.isObject()) {
        const QString s = frame.isString() ? frame.s : vm.toString(frame);
        double n = stringToNumber(s, 7);
        int f = std::isfinite(n) ? clampToInt(n) : c->frameOfLabel(s);
        if (f > 0)
            c->gotoFrame(f, play);
        return;
    }
    double n = vm.toNumber(frame);
    if (std::isfinite(n))
        c->gotoFrame(vm.toInt32(frame), play);
}

// The object's bounds on the stage, twips; none for an object without content.
std::optional<QRectF> stageBounds(const display::DisplayObject& d)
{
    const QRectF r = d.localBounds();
    if (r.isNull())
        return std::nullopt;
    return display::HitTest::toStage(d).mapRect(r);
}

// Bounds hold their edges, even when a zero scale has shrunk them to a line or a point.
bool boundsHold(const std::optional<QRectF>& r, const QPointF& p)
{
    return r && p.x() >= r->left() && p.x() <= r->right() && p.y() >= r->top() && p.y() <= r->bottom();
}

bool boundsMeet(const std::optional<QRectF>& a, const std::optional<QRectF>& b)
{
    return a && b && a->left() <= b->right() && b->left() <= a->right() && a->top() <= b->bottom() &&
           b->top() <= a->bottom();
}

// The rectangle around r's corners after t, each corner kept in whole twips
// as the player stores positions.
QRectF twipCorners(const QRectF& r, const QTransform& t)
{
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    bool first = true;
    for (const QPointF& corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
        const QPointF p = t.map(corner);
        const double x = std::round(p.x()), y = std::round(p.y());
        x0 = first ? x : std::min(x0, x);
        x1 = first ? x : std::max(x1, x);
        y0 = first ? y : std::min(y0, y);
        y1 = first ? y : std::max(y1, y);
        first = false;
    }
    return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

} // namespace

void installMovieClipClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.movieClipProto = proto;
    vm.newClass(QStringLiteral("MovieClip"), nullptr, nullptr, proto);
    installMovieClipLoaderClass(vm);
    using Args = const std::vector<Value>&;
    auto method = [&](const char* name, NativeFunction::Fn fn) { vm.addMethod(proto, QString::fromLatin1(name), std::move(fn)); };

    method("play", [](Interpreter&, const Value& self, Args) { if (auto* c = clipOf(self)) c->setPlaying(true); return Value(); });
    method("stop", [](Interpreter&, const Value& self, Args) { if (auto* c = clipOf(self)) c->setPlaying(false); return Value(); });
    method("gotoAndPlay", [](Interpreter& vm, const Value& self, Args a) { gotoValue(vm, clipOf(self), arg(a, 0), true); return Value(); });
    method("gotoAndStop", [](Interpreter& vm, const Value& self, Args a) { gotoValue(vm, clipOf(self), arg(a, 0), false); return Value(); });
    method("nextFrame", [](Interpreter& vm, const Value& self, Args) {
        if (auto* c = clipOf(self)) c->gotoFrame(c->currentFrame() + 1, false);
        return Value();
    });
    method("prevFrame", [](Interpreter& vm, const Value& self, Args) {
        if (auto* c = clipOf(self); c && c->currentFrame() > 1) c->gotoFrame(c->currentFrame() - 1, false);
        return Value();
    });
    method("getDepth", [](Interpreter&, const Value& self, Args) -> Value {
        auto* c = clipOf(self);
        return c ? Value(double(c->depth())) : Value();
    });
    method("getNextHighestDepth", [](Interpreter&, const Value& self, Args) -> Value {
        auto* c = clipOf(self);
        if (!c)
            return Value();
        int d = 0;
        for (MovieClipObject* child : c->childList())
            if (child->depth() >= d)
                d = child->depth() + 1;
        return Value(double(d));
    });
    method("getInstanceAtDepth", [](Interpreter& vm, const Value& self, Args a) -> Value {
        auto* c = clipOf(self);
        if (!c)
            return Value();
        MovieClipObject* child = c->childAtDepth(vm.toInt32(arg(a, 0)));
        return child ? Value(static_cast<Object*>(child)) : Value();
    });
    method("createEmptyMovieClip", [](Interpreter& vm, const Value& self, Args a) -> Value {
        auto* c = clipOf(self);
        if (!c || a.size() < 2)
            return Value();
        auto* n = c->createEmptyClip(vm.toString(a[0]), vm.toInt32(a[1]));
        return n ? Value(static_cast<Object*>(n)) : Value();
    });
    method("createTextField", [](Interpreter& vm, const Value& self, Args a) -> Value {
        auto* c = clipOf(self);
        if (!c || a.size() < 6)
            return Value();
        // Position and size are whole pixels.
        auto* n = c->createTextField(vm.toString(a[0]), vm.toInt32(a[1]), vm.toInt32(a[2]), vm.toInt32(a[3]),
                                     vm.toInt32(a[4]), vm.toInt32(a[5]));
        return vm.version() >= 8 && n ? Value(static_cast<Object*>(n)) : Value();
    });
    method("attachMovie", [](Interpreter& vm, const Value& self, Args a) -> Value {
        auto* c = clipOf(self);
        if (!c || a.size() < 3)
            return Value();
        auto* n = c->attachClip(vm.toString(a[0]), vm.toString(a[1]), vm.toInt32(a[2]), arg(a, 3).object());
        return n ? Value(static_cast<Object*>(n)) : Value();
    });
    method("duplicateMovieClip", [](Interpreter& vm, const Value& self, Args a) -> Value {
        auto* c = clipOf(self);
        if (!c || a.size() < 2 || !c->parentClip())
            return Value();
        auto* n = c->duplicateClip(vm.toString(a[0]), vm.toInt32(a[1]), arg(a, 2).object());
        return n ? Value(static_cast<Object*>(n)) : Value();
    });
    method("removeMovieClip", [](Interpreter& vm, const Value& self, Args) {
        if (auto* c = clipOf(self); c && c->depth() >= 0 && c->parentClip())
            c->removeClip();
        return Value();
    });
    method("swapDepths", [](Interpreter& vm, const Value& self, Args a) {
        auto* c = clipOf(self);
        if (!c || a.empty() || !c->parentClip())
            return Value();
        if (a[0].isUndefined())
            return Value();
        // A clip, or a path naming one, trades places with this clip when they share a parent.
        MovieClipObject* other = a[0].isString() ? vm.resolveTarget(a[0].s, c) : clipOf(a[0]);
        if (other) {
            if (other->parentClip() == c->parentClip())
                c->swapDepths(other->depth());
        } else {
            // Depths wrap to 32 bits as other integer arguments do; NaN is depth 0.
            c->swapDepths(vm.toInt32(a[0]));
        }
        return Value();
    });
    // Everything is loaded before it plays, so loaded and total are the same.
    method("getBytesLoaded", [](Interpreter&, const Value& self, Args) { return bytesOf(clipOf(self)); });
    method("getBytesTotal", [](Interpreter&, const Value& self, Args) { return bytesOf(clipOf(self)); });
    method("getSWFVersion", [](Interpreter&, const Value& self, Args) {
        const auto* c = clipOf(self);
        const display::DisplayObject* d = c ? c->display() : nullptr;
        if (!d || !d->context() || !d->context()->movie())
            return Value();
        return Value(double(d->context()->movie()->header.version));
    });
    method("getURL", [](Interpreter& vm, const Value&, Args a) {
        LoadQueue::navigate(vm, vm.toString(arg(a, 0)), vm.toString(arg(a, 1)));
        return Value();
    });
    method("loadMovie", [](Interpreter& vm, const Value& self, Args a) {
        if (auto* c = clipOf(self); c && !a.empty())
            c->loadMovie(vm.toString(a[0]));
        return Value();
    });
    method("unloadMovie", [](Interpreter&, const Value& self, Args) {
        if (auto* c = clipOf(self))
            c->unloadMovie();
        return Value();
    });
    method("hitTest", [](Interpreter& vm, const Value& self, Args a) -> Value {
        auto* c = clipOf(self);
        display::DisplayObject* d = c ? c->display() : nullptr;
        if (!d || a.empty())
            return Value(false);
        if (a.size() >= 2) {
            const double x = vm.toNumber(a[0]), y = vm.toNumber(a[1]);
            if (!std::isfinite(x) || !std::isfinite(y))
                return Value(false);
            // The point is in the coordinates of the clip's root, which may itself be moved.
            const display::DisplayObject* root = d;
            while (root->parent())
                root = root->parent();
            const QPointF stage = display::HitTest::toStage(*root).map(QPointF(x * 20.0, y * 20.0));
            if (vm.toBoolean(arg(a, 2))) {
                QPointF inParent = stage;
                if (d->parent() && !display::HitTest::stageToLocal(*d->parent(), stage, &inParent))
                    return Value(false);
                return Value(display::HitTest::contains(*d, inParent, false));
            }
            return Value(boundsHold(stageBounds(*d), stage));
        }
        // The other clip as an object or as a target path from this one; an empty path names none.
        MovieClipObject* other = clipOf(a[0]);
        if (a[0].type == Value::Type::String) {
            const QString path = vm.toString(a[0]);
            other = path.isEmpty() ? nullptr : vm.resolveTarget(path, c);
        }
        if (!other || !other->display())
            return Value(false);
        return Value(boundsMeet(stageBounds(*d), stageBounds(*other->display())));
    });
    auto bounds = [](bool withStrokes) {
        return [withStrokes](Interpreter& vm, const Value& self, Args a) -> Value {
            auto* c = clipOf(self);
            display::DisplayObject* d = c ? c->display() : nullptr;
            if (!d)
                return Value();
            display::DisplayObject* space = d;
            if (!a.empty() && !a[0].isUndefined()) {
                auto* target = a[0].isString() ? vm.resolveTarget(a[0].s, c) : clipOf(a[0]);
                if (!target || !target->display())
                    return Value();
                space = target->display();
            }
            // The clip measured from stands for the calling code (usually `this`).
            if (space->context()->movie()->header.version >= 8)
                d->context()->useSinglePrecisionTransforms();
            QRectF r = d->localBounds();
            Object* o = vm.newObject();
            if (r.isNull()) {
                // An empty clip reports the largest coordinate a position may hold
                // (2^27 - 1 twips). Measured from another clip in single
                // precision, that marker comes out as 2^27 twips.
                const bool rounded = space != d && d->context()->singlePrecisionTransforms();
                const double marker = rounded ? 134217728.0 / 20.0 : 134217727.0 / 20.0;
                for (const char* k : {"xMin", "xMax", "yMin", "yMax"})
                    o->set(QLatin1String(k), Value(marker));
                return Value(o);
            }
            if (space != d) {
                bool invertible = false;
                const QTransform back = display::HitTest::toStage(*space).inverted(&invertible);
                r = twipCorners(r, display::HitTest::toStage(*d) * back);
            }
            (void)withStrokes;
            o->set(QStringLiteral("xMin"), Value(r.left() / 20.0));
            o->set(QStringLiteral("xMax"), Value(r.right() / 20.0));
            o->set(QStringLiteral("yMin"), Value(r.top() / 20.0));
            o->set(QStringLiteral("yMax"), Value(r.bottom() / 20.0));
            return Value(o);
        };
    };
    method("getBounds", bounds(true));
    method("getRect", bounds(false));
    auto translate = [](bool toGlobal) {
        return [toGlobal](Interpreter& vm, const Value& self, Args a) -> Value {
            Object* pt = arg(a, 0).object();
            auto* c = clipOf(self);
            if (!pt || !c || !c->display())
                return Value();
            const QPointF in(vm.toNumber(pt->get(QStringLiteral("x"))) * 20.0,
                             vm.toNumber(pt->get(QStringLiteral("y"))) * 20.0);
            QPointF out;
            if (toGlobal) {
                out = display::HitTest::toStage(*c->display()).map(in);
            } else if (!display::HitTest::stageToLocal(*c->display(), in, &out)) {
                return Value();
            }
            pt->set(QStringLiteral("x"), Value(out.x() / 20.0));
            pt->set(QStringLiteral("y"), Value(out.y() / 20.0));
            return Value();
        };
    };
    method("localToGlobal", translate(true));
    method("globalToLocal", translate(false));
    method("startDrag", [](Interpreter& vm, const Value& self, Args a) {
        auto* c = clipOf(self);
        if (!c)
            return Value();
        std::optional<QRectF> limits;
        if (a.size() >= 5) {
            const double l = vm.toNumber(a[1]), t = vm.toNumber(a[2]), r = vm.toNumber(a[3]), b = vm.toNumber(a[4]);
            if (std::isfinite(l) && std::isfinite(t) && std::isfinite(r) && std::isfinite(b))
                limits = QRectF(QPointF(l, t), QPointF(r, b));
        }
        c->startDrag(vm.toBoolean(arg(a, 0)), limits);
        return Value();
    });
    method("stopDrag", [](Interpreter&, const Value& self, Args) {
        if (auto* c = clipOf(self))
            c->stopDrag();
        return Value();
    });
    for (const char* noop : {"setMask", "beginFill", "beginGradientFill", "beginBitmapFill",
                             "lineStyle", "lineGradientStyle", "moveTo", "lineTo", "curveTo", "endFill", "clear",
                             "attachAudio", "attachBitmap", "loadVariables"})
        method(noop, [](Interpreter&, const Value&, Args) { return Value(); });
}

} // namespace nimbrel::movie::avm1
