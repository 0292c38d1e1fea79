#include "movie/avm2/builtins/DisplayClasses.h"
#include "movie/avm2/builtins/ContainerMethods.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/avm2/builtins/GraphicsClass.h"
#include "movie/avm2/builtins/LoaderClasses.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include "movie/avm2/builtins/SoundClasses.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/display/HitTest.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptHost.h"
#include "movie/swf/Movie.h"
#include <optional>

namespace nimbrel::movie::avm2 {

using namespace native;
using display::DisplayObject;
using display::MovieClip;

namespace {

Value nothing(Runtime&, const Value&, Args) { return Value(); }

// A script-made Sprite, MovieClip or Shape gets its own (empty) clip on the
// display list's side; one of a class the movie links to a symbol gets that symbol.
Value constructDisplay(Runtime& rt, const Value& self, Args) {
    EventTargetObject& t = thisTarget(rt, self);
    if (t.displayObject || !rt.stage) return Value();
    MovieClip* root = rt.stage->root();
    // The object is named before anything it holds is made.
    const QString name = rt.stage->nextInstanceName();
    std::shared_ptr<DisplayObject> made;
    const QString qualified =
        t.cls ? (t.cls->package.isEmpty() ? t.cls->name : t.cls->package + QLatin1Char('.') + t.cls->name) : QString();
    for (uint16_t id : rt.stage->symbolsOf(qualified)) {
        made = root->context()->instantiate(id, nullptr);
        if (made) break;
    }
    if (!made) made = std::make_shared<MovieClip>(root->context(), 0, nullptr);
    if (made->type() == DisplayObject::Type::MovieClip) static_cast<MovieClip*>(made.get())->start();
    made->setName(name);
    rt.stage->bind(std::static_pointer_cast<EventTargetObject>(t.shared_from_this()), made);
    // What its first frame holds is made and announced now, before anyone listens.
    if (rt.stage->constructPlaced) rt.stage->constructPlaced();
    return Value();
}

// The abstract display classes: only the player makes their instances.
Value constructAbstract(Runtime& rt, const Value& self, Args) {
    EventTargetObject& t = thisTarget(rt, self);
    if (!t.displayObject)
        rt.raise(QStringLiteral("ArgumentError"), 2012, {(t.cls ? t.cls->name : QStringLiteral("DisplayObject")) + QLatin1Char('$')});
    return Value();
}

Value constructShape(Runtime& rt, const Value& self, Args a) {
    thisTarget(rt, self).isShape = true;
    return constructDisplay(rt, self, a);
}

#define DISPLAY_NUMBER(getterName, expr)                                                          \
    Value getterName(Runtime& rt, const Value& s, Args) {                                         \
        const DisplayObject* d = thisDisplay(rt, s);                                              \
        return d ? Value::number(expr) : Value::integer(0);                                       \
    }
DISPLAY_NUMBER(getX, d->x())
DISPLAY_NUMBER(getY, d->y())
DISPLAY_NUMBER(getRotation, d->rotation())
DISPLAY_NUMBER(getWidth, d->width())
DISPLAY_NUMBER(getHeight, d->height())
#undef DISPLAY_NUMBER

Value getScaleX(Runtime& rt, const Value& s, Args) {
    const DisplayObject* d = thisDisplay(rt, s);
    return Value::number(d ? d->xScale() / 100.0 : 1.0);
}
Value getScaleY(Runtime& rt, const Value& s, Args) {
    const DisplayObject* d = thisDisplay(rt, s);
    return Value::number(d ? d->yScale() / 100.0 : 1.0);
}
Value getAlpha(Runtime& rt, const Value& s, Args) {
    const DisplayObject* d = thisDisplay(rt, s);
    return Value::number(d ? d->cxform.aMult / 256.0 : 1.0);
}

// A setter that ignores what is not a finite number, as the player does.
template <void (*apply)(DisplayObject&, double)>
Value setNumber(Runtime& rt, const Value& s, Args a) {
    const double v = rt.toNumber(a[0]);
    if (DisplayObject* d = thisDisplay(rt, s); d && std::isfinite(v)) {
        apply(*d, v);
        d->transformedByScript = true;
    }
    return Value();
}
// Positions are whole twips in 32 bits; one out of that range becomes the
// lowest, as the player's conversion makes it.
double positionTwips(double px) {
    const double twips = std::trunc(px * 20.0);
    return twips >= -2147483648.0 && twips <= 2147483647.0 ? twips : -2147483648.0;
}
void applyX(DisplayObject& d, double v) { d.matrix.tx = positionTwips(v); }
void applyY(DisplayObject& d, double v) { d.matrix.ty = positionTwips(v); }
void applyScaleX(DisplayObject& d, double v) { d.setXScale(v * 100.0); }
void applyScaleY(DisplayObject& d, double v) { d.setYScale(v * 100.0); }
void applyRotation(DisplayObject& d, double v) { d.setRotation(v); }
void applyAlpha(DisplayObject& d, double v) { d.setAlpha(v * 100.0); }
void applyWidth(DisplayObject& d, double v) { d.setWidth(v); }
void applyHeight(DisplayObject& d, double v) { d.setHeight(v); }

Value getVisible(Runtime& rt, const Value& s, Args) {
    const DisplayObject* d = thisDisplay(rt, s);
    return Value::boolean(!d || d->visible);
}
Value setVisible(Runtime& rt, const Value& s, Args a) {
    if (DisplayObject* d = thisDisplay(rt, s)) d->visible = a[0].toBoolean();
    return Value();
}
Value getName(Runtime& rt, const Value& s, Args) {
    const DisplayObject* d = thisDisplay(rt, s);
    return d ? Value::string(d->name()) : Value::null();
}
Value setName(Runtime& rt, const Value& s, Args a) {
    if (DisplayObject* d = thisDisplay(rt, s)) d->setName(rt.toString(a[0]));
    return Value();
}
Value getParent(Runtime& rt, const Value& s, Args) {
    const DisplayObject* d = thisDisplay(rt, s);
    if (!d || !rt.stage) return Value::null();
    if (d == rt.stage->root()) return rt.stage->stageValue();
    return rt.stage->valueOf(d->parent());
}
Value getRoot(Runtime& rt, const Value& s, Args) {
    const DisplayObject* d = thisDisplay(rt, s);
    if (!d || !rt.stage || !rt.stage->onStage(*d)) return Value::null();
    return rt.stage->valueOf(rt.stage->root());
}
Value getStage(Runtime& rt, const Value& s, Args) {
    const DisplayObject* d = thisDisplay(rt, s);
    if (!d || !rt.stage || !rt.stage->onStage(*d)) return Value::null();
    return rt.stage->stageValue();
}

QPointF pointerIn(Runtime& rt, const DisplayObject* d) {
    QPointF local;
    if (d && rt.stage && rt.stage->host() &&
        display::HitTest::stageToLocal(*d, rt.stage->host()->pointerPosition(), &local))
        return local / 20.0;
    return {};
}
Value mouseX(Runtime& rt, const Value& s, Args) { return Value::number(pointerIn(rt, thisDisplay(rt, s)).x()); }
Value mouseY(Runtime& rt, const Value& s, Args) { return Value::number(pointerIn(rt, thisDisplay(rt, s)).y()); }

// flash.geom.Point and Rectangle as plain objects of their classes, when those exist.
Value makeGeom(Runtime& rt, const char* cls, std::initializer_list<double> values) {
    std::vector<Value> args;
    for (double v : values) args.push_back(Value::number(v));
    ClassObject* c = rt.builtin(QString::fromLatin1(cls));
    if (!c) return Value::null();
    return rt.constructClass(*c, Args{args.data(), int(args.size())});
}
QPointF pointArg(Runtime& rt, const Value& p) {
    if (p.isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("point")});
    return {rt.toNumber(PropertyAccess::get(rt, p, Name::publicName(QStringLiteral("x")))),
            rt.toNumber(PropertyAccess::get(rt, p, Name::publicName(QStringLiteral("y"))))};
}
Value localToGlobal(Runtime& rt, const Value& s, Args a) {
    const QPointF p = pointArg(rt, a[0]);
    const DisplayObject* d = thisDisplay(rt, s);
    const QPointF g = d ? display::HitTest::toStage(*d).map(p * 20.0) / 20.0 : p;
    return makeGeom(rt, "flash.geom.Point", {g.x(), g.y()});
}
Value globalToLocal(Runtime& rt, const Value& s, Args a) {
    const QPointF p = pointArg(rt, a[0]);
    QPointF local = p * 20.0;
    if (const DisplayObject* d = thisDisplay(rt, s)) display::HitTest::stageToLocal(*d, p * 20.0, &local);
    return makeGeom(rt, "flash.geom.Point", {local.x() / 20.0, local.y() / 20.0});
}
Value getBounds(Runtime& rt, const Value& s, Args a) {
    const DisplayObject* d = thisDisplay(rt, s);
    if (!d) return makeGeom(rt, "flash.geom.Rectangle", {0, 0, 0, 0});
    QRectF r = d->localBounds();
    if (r.isEmpty()) r = QRectF();
    QTransform toStage = display::HitTest::toStage(*d);
    if (const DisplayObject* space = StageBridge::displayOf(a[0])) {
        r = (toStage * display::HitTest::toStage(*space).inverted()).mapRect(r);
    } else if (!a[0].isNullish()) {
        r = toStage.mapRect(r);
    }
    return makeGeom(rt, "flash.geom.Rectangle", {r.x() / 20.0, r.y() / 20.0, r.width() / 20.0, r.height() / 20.0});
}
Value hitTestPoint(Runtime& rt, const Value& s, Args a) {
    const DisplayObject* d = thisDisplay(rt, s);
    if (!d) return Value::boolean(false);
    const QPointF stage(numberArg(rt, a, 0, 0) * 20.0, numberArg(rt, a, 1, 0) * 20.0);
    QPointF inParent;
    if (!d->parent()) return Value::boolean(false);
    if (!display::HitTest::stageToLocal(*d->parent(), stage, &inParent)) return Value::boolean(false);
    if (!a[2].toBoolean()) return Value::boolean(d->boundsInParent().contains(inParent));
    return Value::boolean(display::HitTest::contains(*d, inParent, false));
}

Value getGraphics(Runtime& rt, const Value& s, Args) {
    EventTargetObject& t = thisTarget(rt, s);
    if (t.graphics.isUndefined()) t.graphics = GraphicsClass::make(rt, t);
    return t.graphics;
}

// Bounds of both on the stage overlap.
Value hitTestObject(Runtime& rt, const Value& s, Args a) {
    const DisplayObject* d = thisDisplay(rt, s);
    if (a[0].isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("obj")});
    const DisplayObject* other = StageBridge::displayOf(a[0]);
    if (!d || !other) return Value::boolean(false);
    const QRectF mine = display::HitTest::toStage(*d).mapRect(d->localBounds());
    const QRectF theirs = display::HitTest::toStage(*other).mapRect(other->localBounds());
    return Value::boolean(mine.intersects(theirs));
}

Value startDrag(Runtime& rt, const Value& s, Args a) {
    DisplayObject* d = thisDisplay(rt, s);
    if (!d || !rt.stage || !rt.stage->host()) return Value();
    std::optional<QRectF> bounds;
    if (!a[1].isNullish()) {
        auto field = [&](const char* n) {
            return rt.toNumber(PropertyAccess::get(rt, a[1], Name::publicName(QString::fromLatin1(n)))) * 20.0;
        };
        bounds = QRectF(field("x"), field("y"), field("width"), field("height"));
    }
    rt.stage->host()->startDrag(d, a[0].toBoolean(), bounds);
    return Value();
}
Value stopDrag(Runtime& rt, const Value&, Args) {
    if (rt.stage && rt.stage->host()) rt.stage->host()->stopDrag();
    return Value();
}

Value getCacheAsBitmap(Runtime& rt, const Value& s, Args) {
    const DisplayObject* d = thisDisplay(rt, s);
    return Value::boolean(d && d->cacheAsBitmap);
}
Value setCacheAsBitmap(Runtime& rt, const Value& s, Args a) {
    if (DisplayObject* d = thisDisplay(rt, s)) d->cacheAsBitmap = a[0].toBoolean();
    return Value();
}

NIMBREL_STORED_PROPERTY(mouseEnabled, "mouseEnabled", Value::boolean(true), asBoolean)
NIMBREL_STORED_PROPERTY(doubleClickEnabled, "doubleClickEnabled", Value::boolean(false), asBoolean)
NIMBREL_STORED_PROPERTY(tabEnabled, "tabEnabled", Value::boolean(false), asBoolean)
NIMBREL_STORED_PROPERTY(tabIndex, "tabIndex", Value::integer(-1), asInt)
NIMBREL_STORED_PROPERTY(focusRect, "focusRect", Value::null(), asIs)
NIMBREL_STORED_PROPERTY(contextMenu, "contextMenu", Value::null(), asIs)
NIMBREL_STORED_PROPERTY(buttonMode, "buttonMode", Value::boolean(false), asBoolean)
NIMBREL_STORED_PROPERTY(useHandCursor, "useHandCursor", Value::boolean(true), asBoolean)
NIMBREL_STORED_PROPERTY(hitArea, "hitArea", Value::null(), asIs)
NIMBREL_STORED_PROPERTY(mask, "mask", Value::null(), asIs)
NIMBREL_STORED_PROPERTY(scrollRect, "scrollRect", Value::null(), asIs)
NIMBREL_STORED_PROPERTY(opaqueBackground, "opaqueBackground", Value::null(), asIs)
NIMBREL_STORED_PROPERTY(blendMode, "blendMode", Value::string(QStringLiteral("normal")), asString)
NIMBREL_STORED_PROPERTY(scaleMode, "scaleMode", Value::string(QStringLiteral("showAll")), asString)
NIMBREL_STORED_PROPERTY(align, "align", Value::string(QString()), asString)
NIMBREL_STORED_PROPERTY(quality, "quality", Value::string(QStringLiteral("HIGH")), asString)
NIMBREL_STORED_PROPERTY(displayState, "displayState", Value::string(QStringLiteral("normal")), asString)
NIMBREL_STORED_PROPERTY(stageFocusRect, "stageFocusRect", Value::boolean(true), asBoolean)

// ---- Stage ----
const swf::Movie* movieOf(Runtime& rt) { return rt.stage ? rt.stage->root()->context()->movie().get() : nullptr; }
Value stageWidth(Runtime& rt, const Value&, Args) {
    const swf::Movie* m = movieOf(rt);
    return Value::number(m ? m->header.stage.width() / 20.0 : 0);
}
Value stageHeight(Runtime& rt, const Value&, Args) {
    const swf::Movie* m = movieOf(rt);
    return Value::number(m ? m->header.stage.height() / 20.0 : 0);
}
Value frameRate(Runtime& rt, const Value& s, Args) {
    const Value set = thisTarget(rt, s).stored.value(QStringLiteral("frameRate"));
    if (!set.isUndefined()) return set;
    const swf::Movie* m = movieOf(rt);
    return Value::number(m ? m->header.frameRate : 24);
}
// Kept within what the player can run (0.01 to 1000 frames a second); NaN stays NaN.
Value setFrameRate(Runtime& rt, const Value& s, Args a) {
    const double v = rt.toNumber(a[0]);
    thisTarget(rt, s).stored.insert(QStringLiteral("frameRate"),
                                    Value::number(std::isnan(v) ? v : std::clamp(v, 0.01, 1000.0)));
    return Value();
}
// The keyboard focus is the player's: setting it to null takes it away.
Value stageFocus(Runtime& rt, const Value&, Args) {
    display::ScriptHost* host = rt.stage ? rt.stage->host() : nullptr;
    DisplayObject* focused = host ? host->focusedObject() : nullptr;
    return focused ? rt.stage->valueOf(focused) : Value::null();
}
Value setStageFocus(Runtime& rt, const Value&, Args a) {
    if (display::ScriptHost* host = rt.stage ? rt.stage->host() : nullptr) host->setFocus(StageBridge::displayOf(a[0]));
    return Value();
}
// The next frame tells render listeners, once.
Value invalidate(Runtime& rt, const Value&, Args) {
    if (rt.stage) rt.stage->renderRequested = true;
    return Value();
}

} // namespace

void DisplayClasses::install(Runtime& rt) {
    const QString pkg = QStringLiteral("flash.display");
    auto object = rt.defineNativeClass(pkg, QStringLiteral("DisplayObject"), rt.builtin(QStringLiteral("flash.events.EventDispatcher")), {});
    object->constructor = MethodRef{nullptr, 0, constructAbstract, object.get()};
    object->dynamicInstances = false;
    addMembers(*object, {{"get x", getX}, {"set x", setNumber<applyX>}, {"get y", getY}, {"set y", setNumber<applyY>},
                         {"get scaleX", getScaleX}, {"set scaleX", setNumber<applyScaleX>}, {"get scaleY", getScaleY},
                         {"set scaleY", setNumber<applyScaleY>}, {"get rotation", getRotation},
                         {"set rotation", setNumber<applyRotation>}, {"get alpha", getAlpha},
                         {"set alpha", setNumber<applyAlpha>}, {"get width", getWidth},
                         {"set width", setNumber<applyWidth>}, {"get height", getHeight},
                         {"set height", setNumber<applyHeight>}, {"get visible", getVisible},
                         {"set visible", setVisible}, {"get name", getName}, {"set name", setName},
                         {"get parent", getParent}, {"get root", getRoot}, {"get stage", getStage},
                         {"get mouseX", mouseX}, {"get mouseY", mouseY}, {"localToGlobal", localToGlobal, 1},
                         {"globalToLocal", globalToLocal, 1}, {"getBounds", getBounds, 1},
                         {"getRect", getBounds, 1}, {"hitTestPoint", hitTestPoint, 2},
                         {"hitTestObject", hitTestObject, 1}, {"get cacheAsBitmap", getCacheAsBitmap},
                         {"set cacheAsBitmap", setCacheAsBitmap}, NIMBREL_STORED_MEMBERS(mask, "mask"),
                         NIMBREL_STORED_MEMBERS(scrollRect, "scrollRect"),
                         NIMBREL_STORED_MEMBERS(opaqueBackground, "opaqueBackground"),
                         NIMBREL_STORED_MEMBERS(blendMode, "blendMode")});
    LoaderClasses::addDisplayMembers(*object);
    SoundClasses::addDisplayMembers(*object);

    auto interactive = rt.defineNativeClass(pkg, QStringLiteral("InteractiveObject"), object.get(), {});
    interactive->constructor = MethodRef{nullptr, 0, constructAbstract, interactive.get()};
    interactive->dynamicInstances = false;
    addMembers(*interactive, {NIMBREL_STORED_MEMBERS(mouseEnabled, "mouseEnabled"),
                              NIMBREL_STORED_MEMBERS(doubleClickEnabled, "doubleClickEnabled"),
                              NIMBREL_STORED_MEMBERS(tabEnabled, "tabEnabled"),
                              NIMBREL_STORED_MEMBERS(tabIndex, "tabIndex"),
                              NIMBREL_STORED_MEMBERS(focusRect, "focusRect"),
                              NIMBREL_STORED_MEMBERS(contextMenu, "contextMenu")});

    auto shape = rt.defineNativeClass(pkg, QStringLiteral("Shape"), object.get(), {});
    shape->constructor = MethodRef{nullptr, 0, constructShape, shape.get()};
    shape->dynamicInstances = false;
    addMembers(*shape, {{"get graphics", getGraphics}});

    auto morph = rt.defineNativeClass(pkg, QStringLiteral("MorphShape"), object.get(), {});
    morph->constructor = MethodRef{nullptr, 0, constructAbstract, morph.get()};
    morph->dynamicInstances = false;
    morph->isFinal = true;

    auto container = ContainerMethods::install(rt, *interactive);
    auto sprite = rt.defineNativeClass(pkg, QStringLiteral("Sprite"), container, {});
    sprite->constructor = MethodRef{nullptr, 0, constructDisplay, sprite.get()};
    sprite->dynamicInstances = false;
    addMembers(*sprite, {{"get graphics", getGraphics}, {"startDrag", startDrag}, {"stopDrag", stopDrag},
                         NIMBREL_STORED_MEMBERS(buttonMode, "buttonMode"),
                         NIMBREL_STORED_MEMBERS(useHandCursor, "useHandCursor"),
                         NIMBREL_STORED_MEMBERS(hitArea, "hitArea")});
    ContainerMethods::installMovieClip(rt, *sprite, constructDisplay);

    auto stage = rt.defineNativeClass(pkg, QStringLiteral("Stage"), container, {});
    stage->constructor = MethodRef{nullptr, 0, nothing, stage.get()};
    stage->dynamicInstances = false;
    addMembers(*stage, {{"get stageWidth", stageWidth}, {"get stageHeight", stageHeight},
                        {"get frameRate", frameRate}, {"set frameRate", setFrameRate, 1},
                        {"invalidate", invalidate}, NIMBREL_STORED_MEMBERS(scaleMode, "scaleMode"),
                        NIMBREL_STORED_MEMBERS(align, "align"), NIMBREL_STORED_MEMBERS(quality, "quality"),
                        NIMBREL_STORED_MEMBERS(displayState, "displayState"),
                        {"get focus", stageFocus}, {"set focus", setStageFocus, 1},
                        NIMBREL_STORED_MEMBERS(stageFocusRect, "stageFocusRect")});
}

} // namespace nimbrel::movie::avm2
