// flash.filters: BitmapFilter and its nine filters as data objects. Each
// property is clamped when set, as the player does; MovieClip.filters turns
// them into the display object's filter list and back.
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/FilterObject.h"
#include "movie/avm1/FlashPackage.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/display/DisplayObject.h"
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;
using Kind = FilterObject::Kind;

enum class Rule { Number, Clamp255, Quality, Angle, Color, Alpha, Bool, Type, Int, List, Any, Mode };

struct Prop {
    const char* name;
    Rule rule;
    Value initial;
};

struct ClassSpec {
    const char* name;
    Kind kind;
    std::vector<Prop> props;         // constructor argument order
    std::vector<const char*> listed; // order scripts enumerate them in, when it differs
};

double finite(double v)
{
    return std::isnan(v) ? 0.0 : v;
}

Value normalize(Interpreter& vm, Rule rule, const Value& v)
{
    switch (rule) {
    case Rule::Number: return Value(vm.toNumber(v));
    case Rule::Clamp255: return Value(std::clamp(finite(vm.toNumber(v)), 0.0, 255.0));
    case Rule::Quality: return Value(std::clamp(double(vm.toInt32(v)), 0.0, 15.0));
    case Rule::Angle: return Value(std::fmod(finite(vm.toNumber(v)), 360.0));
    case Rule::Color: return Value(double(uint32_t(vm.toInt32(v)) & 0xFFFFFFu));
    // Alpha is kept as a byte.
    case Rule::Alpha: return Value(std::floor(std::clamp(finite(vm.toNumber(v)), 0.0, 1.0) * 255.0) / 255.0);
    case Rule::Bool: return Value(vm.toBoolean(v));
    case Rule::Type: {
        const QString t = vm.toString(v);
        return Value(t == QLatin1String("inner") || t == QLatin1String("outer") ? t : QStringLiteral("full"));
    }
    case Rule::Int: return Value(std::clamp(double(vm.toInt32(v)), 0.0, 15.0));
    case Rule::Mode: {
        const QString m = vm.toString(v);
        const bool known = m == QLatin1String("wrap") || m == QLatin1String("clamp") || m == QLatin1String("ignore") ||
                           m == QLatin1String("color");
        return Value(known ? m : QStringLiteral("wrap"));
    }
    case Rule::List:
    case Rule::Any: return v;
    }
    return v;
}

// Numbers of an array argument, at most `limit` of them.
std::vector<double> numbers(Interpreter& vm, const Value& v, size_t limit)
{
    std::vector<double> out;
    if (auto* a = dynamic_cast<ArrayObject*>(v.object()))
        for (size_t i = 0; i < a->elements.size() && out.size() < limit; ++i)
            out.push_back(vm.toNumber(a->elements[i]));
    return out;
}

void setList(Interpreter& vm, FilterObject& f, const QString& name, const Value& v)
{
    if (v.isNullish())
        return;
    if (f.kind == Kind::ColorMatrix) {
        // Always twenty entries; missing ones are NaN.
        std::vector<double> m = numbers(vm, v, 20);
        m.resize(20, std::nan(""));
        f.lists[name] = m;
        return;
    }
    f.lists[name] = numbers(vm, v, 1024);
}

const std::vector<ClassSpec>& specs()
{
    static const std::vector<ClassSpec> all = {
        {"BlurFilter", Kind::Blur, {{"blurX", Rule::Clamp255, Value(4.0)}, {"blurY", Rule::Clamp255, Value(4.0)},
                                    {"quality", Rule::Quality, Value(1.0)}}},
        {"DropShadowFilter", Kind::DropShadow,
         {{"distance", Rule::Number, Value(4.0)}, {"angle", Rule::Angle, Value(45.0)}, {"color", Rule::Color, Value(0.0)},
          {"alpha", Rule::Alpha, Value(1.0)}, {"blurX", Rule::Clamp255, Value(4.0)}, {"blurY", Rule::Clamp255, Value(4.0)},
          {"strength", Rule::Clamp255, Value(1.0)}, {"quality", Rule::Quality, Value(1.0)},
          {"inner", Rule::Bool, Value(false)}, {"knockout", Rule::Bool, Value(false)},
          {"hideObject", Rule::Bool, Value(false)}},
         {"distance", "angle", "color", "alpha", "quality", "inner", "knockout", "blurX", "blurY", "strength", "hideObject"}},
        {"GlowFilter", Kind::Glow,
         {{"color", Rule::Color, Value(double(0xFF0000))}, {"alpha", Rule::Alpha, Value(1.0)},
          {"blurX", Rule::Clamp255, Value(6.0)}, {"blurY", Rule::Clamp255, Value(6.0)},
          {"strength", Rule::Clamp255, Value(2.0)}, {"quality", Rule::Quality, Value(1.0)},
          {"inner", Rule::Bool, Value(false)}, {"knockout", Rule::Bool, Value(false)}},
         {"color", "alpha", "quality", "inner", "knockout", "blurX", "blurY", "strength"}},
        {"BevelFilter", Kind::Bevel,
         {{"distance", Rule::Number, Value(4.0)}, {"angle", Rule::Angle, Value(45.0)},
          {"highlightColor", Rule::Color, Value(double(0xFFFFFF))}, {"highlightAlpha", Rule::Alpha, Value(1.0)},
          {"shadowColor", Rule::Color, Value(0.0)}, {"shadowAlpha", Rule::Alpha, Value(1.0)},
          {"blurX", Rule::Clamp255, Value(4.0)}, {"blurY", Rule::Clamp255, Value(4.0)},
          {"strength", Rule::Clamp255, Value(1.0)}, {"quality", Rule::Quality, Value(1.0)},
          {"type", Rule::Type, Value("inner")}, {"knockout", Rule::Bool, Value(false)}},
         {"distance", "angle", "highlightColor", "highlightAlpha", "shadowColor", "shadowAlpha", "quality", "strength",
          "knockout", "blurX", "blurY", "type"}},
        {"GradientGlowFilter", Kind::GradientGlow,
         {{"distance", Rule::Number, Value(4.0)}, {"angle", Rule::Angle, Value(45.0)}, {"colors", Rule::List, Value()},
          {"alphas", Rule::List, Value()}, {"ratios", Rule::List, Value()}, {"blurX", Rule::Clamp255, Value(4.0)},
          {"blurY", Rule::Clamp255, Value(4.0)}, {"strength", Rule::Clamp255, Value(1.0)},
          {"quality", Rule::Quality, Value(1.0)}, {"type", Rule::Type, Value("inner")},
          {"knockout", Rule::Bool, Value(false)}},
         {"distance", "angle", "colors", "alphas", "ratios", "blurX", "blurY", "quality", "strength", "knockout", "type"}},
        {"GradientBevelFilter", Kind::GradientBevel,
         {{"distance", Rule::Number, Value(4.0)}, {"angle", Rule::Angle, Value(45.0)}, {"colors", Rule::List, Value()},
          {"alphas", Rule::List, Value()}, {"ratios", Rule::List, Value()}, {"blurX", Rule::Clamp255, Value(4.0)},
          {"blurY", Rule::Clamp255, Value(4.0)}, {"strength", Rule::Clamp255, Value(1.0)},
          {"quality", Rule::Quality, Value(1.0)}, {"type", Rule::Type, Value("inner")},
          {"knockout", Rule::Bool, Value(false)}},
         {"distance", "angle", "colors", "alphas", "ratios", "blurX", "blurY", "quality", "strength", "knockout", "type"}},
        {"ColorMatrixFilter", Kind::ColorMatrix, {{"matrix", Rule::List, Value()}}},
        {"ConvolutionFilter", Kind::Convolution,
         {{"matrixX", Rule::Int, Value(0.0)}, {"matrixY", Rule::Int, Value(0.0)}, {"matrix", Rule::List, Value()},
          {"divisor", Rule::Number, Value(1.0)}, {"bias", Rule::Number, Value(0.0)},
          {"preserveAlpha", Rule::Bool, Value(true)}, {"clamp", Rule::Bool, Value(true)},
          {"color", Rule::Color, Value(0.0)}, {"alpha", Rule::Alpha, Value(0.0)}}},
        {"DisplacementMapFilter", Kind::DisplacementMap,
         {{"mapBitmap", Rule::Any, Value()}, {"mapPoint", Rule::Any, Value()}, {"componentX", Rule::Number, Value(0.0)},
          {"componentY", Rule::Number, Value(0.0)}, {"scaleX", Rule::Number, Value(0.0)},
          {"scaleY", Rule::Number, Value(0.0)}, {"mode", Rule::Mode, Value("wrap")}, {"color", Rule::Color, Value(0.0)},
          {"alpha", Rule::Alpha, Value(0.0)}}},
    };
    return all;
}

const ClassSpec& specOf(Kind kind)
{
    for (const ClassSpec& s : specs())
        if (s.kind == kind)
            return s;
    return specs().front();
}

FilterObject* makeFilter(Interpreter& vm, const ClassSpec& spec, Args a)
{
    Value ctor = flashPackage(vm, QStringLiteral("filters"))->get(QLatin1String(spec.name));
    Object* proto = vm.getMember(ctor, QStringLiteral("prototype")).object();
    auto* f = vm.make<FilterObject>(proto, spec.kind);
    for (size_t i = 0; i < spec.props.size(); ++i) {
        const Prop& p = spec.props[i];
        const QString name = QLatin1String(p.name);
        if (p.rule == Rule::List) {
            f->lists[name] = {};
            if (spec.kind == Kind::ColorMatrix)
                f->lists[name] = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
            if (i < a.size())
                setList(vm, *f, name, a[i]);
            continue;
        }
        f->values[name] = normalize(vm, p.rule, i < a.size() && !a[i].isUndefined() ? a[i] : p.initial);
    }
    return f;
}

Value listValue(Interpreter& vm, const std::vector<double>& list)
{
    std::vector<Value> v;
    for (double d : list)
        v.push_back(Value(d));
    return Value(static_cast<Object*>(vm.newArray(std::move(v))));
}

void installClass(Interpreter& vm, Object* baseProto, const ClassSpec& spec)
{
    Object* proto = vm.newObject(baseProto);
    auto* ctor = vm.newClass(QString(), nullptr, [&spec](Interpreter& vm, Object*, Args a) -> Value {
        return Value(static_cast<Object*>(makeFilter(vm, spec, a)));
    }, proto);
    flashPackage(vm, QStringLiteral("filters"))->define(QLatin1String(spec.name), Value(static_cast<Object*>(ctor)));
    std::vector<const Prop*> order;
    for (const Prop& p : spec.props)
        order.push_back(&p);
    if (!spec.listed.empty()) {
        order.clear();
        for (const char* n : spec.listed)
            for (const Prop& p : spec.props)
                if (qstrcmp(p.name, n) == 0)
                    order.push_back(&p);
    }
    for (const Prop* p : order) {
        const QString name = QLatin1String(p->name);
        const Rule rule = p->rule;
        auto get = [name, rule](Interpreter& vm, const Value& self, Args) -> Value {
            auto* f = dynamic_cast<FilterObject*>(self.object());
            if (!f)
                return Value();
            return rule == Rule::List ? listValue(vm, f->lists.value(name)) : f->values.value(name);
        };
        auto set = [name, rule](Interpreter& vm, const Value& self, Args a) -> Value {
            auto* f = dynamic_cast<FilterObject*>(self.object());
            if (!f)
                return Value();
            if (rule == Rule::List)
                setList(vm, *f, name, arg(a, 0));
            else
                f->values[name] = normalize(vm, rule, arg(a, 0));
            return Value();
        };
        proto->defineAccessor(name, vm.newFunction(get), vm.newFunction(set));
    }
    // Enumerable, in the player's order, clone last.
    proto->define(QStringLiteral("clone"), Value(static_cast<Object*>(vm.newFunction([](Interpreter& vm, const Value& self, Args) -> Value {
        auto* f = dynamic_cast<FilterObject*>(self.object());
        if (!f)
            return Value();
        auto* copy = vm.make<FilterObject>(f->proto(), f->kind);
        copy->values = f->values;
        copy->lists = f->lists;
        return Value(static_cast<Object*>(copy));
    }))));
}

} // namespace

void installFilterClasses(Interpreter& vm)
{
    if (!hasFlashPackages(vm))
        return;
    Object* baseProto = vm.newObject();
    auto* base = vm.newClass(QString(), nullptr, nullptr, baseProto);
    flashPackage(vm, QStringLiteral("filters"))->define(QStringLiteral("BitmapFilter"), Value(static_cast<Object*>(base)));
    // BitmapFilter itself cannot be copied.
    vm.addMethod(baseProto, QStringLiteral("clone"), [](Interpreter&, const Value&, Args) { return Value(); });
    for (const ClassSpec& spec : specs())
        installClass(vm, baseProto, spec);

    // A clip's filters: copies in, copies out; what the display list cannot draw is left out.
    vm.addGetterSetter(vm.movieClipProto, QStringLiteral("filters"),
        [](Interpreter& vm, const Value& self, Args) -> Value {
            auto* clip = dynamic_cast<MovieClipObject*>(self.object());
            if (!clip || clip->isRemoved() || !clip->display())
                return Value();
            std::vector<Value> out;
            for (const swf::Filter& sf : clip->display()->filters) {
                FilterObject* f = makeFilter(vm, specOf(FilterObject::kindOf(sf.type)), {});
                f->setFromSwf(sf);
                out.push_back(Value(static_cast<Object*>(f)));
            }
            return Value(static_cast<Object*>(vm.newArray(std::move(out))));
        },
        [](Interpreter&, const Value& self, Args a) -> Value {
            auto* clip = dynamic_cast<MovieClipObject*>(self.object());
            auto* list = dynamic_cast<ArrayObject*>(arg(a, 0).object());
            if (!clip || clip->isRemoved() || !clip->display() || !list)
                return Value();
            std::vector<swf::Filter> filters;
            const size_t count = std::min<size_t>(list->elements.size(), 1024);
            for (size_t i = 0; i < count; ++i) {
                auto* f = dynamic_cast<FilterObject*>(list->elements[i].object());
                if (!f)
                    continue;
                if (auto sf = f->toSwf())
                    filters.push_back(*sf);
                if (filters.size() >= 64)
                    break;
            }
            clip->display()->filters = std::move(filters);
            return Value();
        });
}

} // namespace nimbrel::movie::avm1
