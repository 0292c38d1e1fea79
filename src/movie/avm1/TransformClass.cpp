// flash.geom.Transform: a view of one clip's matrix, colour transform and
// bounds; also the `transform` property of movie clips.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/ColorTransformObject.h"
#include "movie/avm1/FlashPackage.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/display/DisplayObject.h"
#include "movie/display/MovieClip.h"
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;
const QString kTransformTarget = QStringLiteral("__transformTarget");

display::DisplayObject* targetOf(const Value& self)
{
    Object* t = self.object();
    Property* p = t ? t->findOwn(kTransformTarget) : nullptr;
    Object* clip = p ? p->value.object() : nullptr;
    if (!clip || !clip->isMovieClip())
        return nullptr;
    auto* mc = static_cast<MovieClipObject*>(clip);
    return mc->isRemoved() ? nullptr : mc->display();
}

swf::Matrix concatenated(const display::DisplayObject& d)
{
    swf::Matrix m = d.matrix;
    int guard = 0;
    for (const display::DisplayObject* p = d.parent(); p && guard < 1024; p = p->parent(), ++guard)
        m = p->matrix * m;
    return m;
}

swf::ColorTransform concatenatedColor(const display::DisplayObject& d)
{
    swf::ColorTransform cx = d.cxform;
    int guard = 0;
    for (const display::DisplayObject* p = d.parent(); p && guard < 1024; p = p->parent(), ++guard)
        cx = p->cxform * cx;
    return cx;
}

Value matrixValue(Interpreter& vm, const swf::Matrix& m)
{
    return newPackageInstance(vm, QStringLiteral("geom"), QStringLiteral("Matrix"),
                              {Value(m.a), Value(m.b), Value(m.c), Value(m.d), Value(m.tx / 20.0), Value(m.ty / 20.0)});
}

Value colorValue(Interpreter& vm, const swf::ColorTransform& cx)
{
    Value v = newPackageInstance(vm, QStringLiteral("geom"), QStringLiteral("ColorTransform"), {});
    if (auto* ct = dynamic_cast<ColorTransformObject*>(v.object()))
        ct->setFromSwf(cx);
    return v;
}

} // namespace

void installTransformClass(Interpreter& vm)
{
    if (!hasFlashPackages(vm))
        return;
    Object* proto = vm.newObject();
    NativeFunction* ctor = vm.newClass(QString(), nullptr, [](Interpreter&, Object* obj, Args a) -> Value {
        Object* clip = arg(a, 0).object();
        if (clip && clip->isMovieClip())
            obj->define(kTransformTarget, Value(clip), DontEnum);
        return Value(obj);
    }, proto);
    flashPackage(vm, QStringLiteral("geom"))->define(QStringLiteral("Transform"), Value(static_cast<Object*>(ctor)));

    vm.addGetterSetter(proto, QStringLiteral("matrix"),
        [](Interpreter& vm, const Value& self, Args) -> Value {
            auto* d = targetOf(self);
            return d ? matrixValue(vm, d->matrix) : Value();
        },
        [](Interpreter& vm, const Value& self, Args a) -> Value {
            auto* d = targetOf(self);
            const Value m = arg(a, 0);
            if (!d || !m.isObject())
                return Value();
            auto n = [&](const char* k) {
                const double v = vm.toNumber(vm.getMember(m, QLatin1String(k)));
                return std::isfinite(v) ? v : 0.0;
            };
            d->matrix = swf::Matrix{n("a"), n("b"), n("c"), n("d"), n("tx") * 20.0, n("ty") * 20.0};
            return Value();
        });
    vm.addGetterSetter(proto, QStringLiteral("concatenatedMatrix"),
        [](Interpreter& vm, const Value& self, Args) -> Value {
            auto* d = targetOf(self);
            return d ? matrixValue(vm, concatenated(*d)) : Value();
        }, nullptr);
    vm.addGetterSetter(proto, QStringLiteral("colorTransform"),
        [](Interpreter& vm, const Value& self, Args) -> Value {
            auto* d = targetOf(self);
            return d ? colorValue(vm, d->cxform) : Value();
        },
        [](Interpreter&, const Value& self, Args a) -> Value {
            auto* d = targetOf(self);
            auto* ct = dynamic_cast<ColorTransformObject*>(arg(a, 0).object());
            if (d && ct)
                d->cxform = ct->toSwf();
            return Value();
        });
    vm.addGetterSetter(proto, QStringLiteral("concatenatedColorTransform"),
        [](Interpreter& vm, const Value& self, Args) -> Value {
            auto* d = targetOf(self);
            return d ? colorValue(vm, concatenatedColor(*d)) : Value();
        }, nullptr);
    vm.addGetterSetter(proto, QStringLiteral("pixelBounds"),
        [](Interpreter& vm, const Value& self, Args) -> Value {
            auto* d = targetOf(self);
            if (!d)
                return Value();
            const QRectF r = concatenated(*d).toQTransform().mapRect(d->localBounds());
            return newPackageInstance(vm, QStringLiteral("geom"), QStringLiteral("Rectangle"),
                                      {Value(std::floor(r.left() / 20.0)), Value(std::floor(r.top() / 20.0)),
                                       Value(std::ceil(r.width() / 20.0)), Value(std::ceil(r.height() / 20.0))});
        }, nullptr);

    // Every read of a clip's `transform` makes a fresh view; assigning one copies its matrix and colours.
    vm.addGetterSetter(vm.movieClipProto, QStringLiteral("transform"),
        [ctor](Interpreter& vm, const Value& self, Args) -> Value {
            if (!self.object() || !self.object()->isMovieClip())
                return Value();
            return vm.construct(Value(static_cast<Object*>(ctor)), {self});
        },
        [](Interpreter& vm, const Value& self, Args a) -> Value {
            const Value t = arg(a, 0);
            if (!t.isObject() || !self.object() || !self.object()->isMovieClip())
                return Value();
            Value view = vm.getMember(self, QStringLiteral("transform"));
            vm.setMember(view, QStringLiteral("matrix"), vm.getMember(t, QStringLiteral("matrix")));
            vm.setMember(view, QStringLiteral("colorTransform"), vm.getMember(t, QStringLiteral("colorTransform")));
            return Value();
        });
}

} // namespace nimbrel::movie::avm1
