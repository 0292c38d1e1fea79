// Conversions between values, the arithmetic and comparison rules of the
// actions, and member access (which finds a removed clip's replacement).
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/NumberFormat.h"
#include "movie/avm1/SuperObject.h"
#include <cmath>
#include <limits>

namespace nimbrel::movie::avm1 {

namespace {
// A reference to a removed clip stands for whatever clip now holds its path (a
// movie loaded in its place, a new clip of that name); null when none does.
MovieClipObject* liveClip(Interpreter& vm, MovieClipObject* clip)
{
    if (!clip->isRemoved())
        return clip;
    MovieClipObject* now = vm.resolveTarget(clip->targetPath(), vm.root);
    return now && now != clip && !now->isRemoved() ? now : nullptr;
}

QString clipText(Interpreter& vm, MovieClipObject* clip)
{
    MovieClipObject* now = liveClip(vm, clip);
    return now ? now->targetPath() : QString();
}

// The object a member access reaches: removed clips are looked up again by path.
Object* memberTarget(Interpreter& vm, Object* o)
{
    if (!o->isMovieClip())
        return o;
    auto* clip = static_cast<MovieClipObject*>(o);
    if (!clip->isRemoved())
        return o;
    MovieClipObject* now = liveClip(vm, clip);
    return now ? now : o;
}
} // namespace

Value Interpreter::toPrimitive(const Value& v, bool preferString)
{
    Object* o = v.object();
    if (!o)
        return v;
    // Clips have no primitive value: arithmetic on them gives NaN, text gives their path.
    if (o->isMovieClip())
        return preferString ? Value(clipText(*this, static_cast<MovieClipObject*>(o))) : v;
    // `super` itself has no text of its own.
    if (dynamic_cast<SuperObject*>(o))
        return preferString ? Value(QStringLiteral("[type Object]")) : v;
    // One method is asked: an object answer gives back the object itself (to be
    // converted again by whoever needs text or a number), no method gives undefined.
    Value f = o->get(preferString ? QStringLiteral("toString") : QStringLiteral("valueOf"));
    if (!f.isObject() || !f.o->isFunction())
        return Value();
    Value r = call(f, v, {});
    return r.isObject() ? v : r;
}

Value Interpreter::add(const Value& a, const Value& b)
{
    // Dates prefer their text (SWF 6 and later); the right operand is converted first.
    auto isDate = [this](const Value& v) {
        if (version_ < 6)
            return false;
        int guard = 0;
        for (Object* p = v.object() ? v.o->proto() : nullptr; p && guard < 256; p = p->proto(), ++guard)
            if (p == dateProto)
                return true;
        return false;
    };
    const Value pb = toPrimitive(b, isDate(b)), pa = toPrimitive(a, isDate(a));
    if (pa.isString() || pb.isString()) {
        const QString right = toString(pb);
        return Value(toString(pa) + right);
    }
    const double y = toNumber(pb), x = toNumber(pa);
    return Value(x + y);
}

double Interpreter::toNumber(const Value& v)
{
    switch (v.type) {
    case Value::Type::Undefined:
    case Value::Type::Null: return version_ >= 7 ? std::numeric_limits<double>::quiet_NaN() : 0.0;
    case Value::Type::Boolean: return v.b ? 1.0 : 0.0;
    case Value::Type::Number: return v.n;
    case Value::Type::String: return stringToNumber(v.s, version_);
    case Value::Type::Object: {
        if (v.o->isMovieClip())
            return std::numeric_limits<double>::quiet_NaN();
        Value p = toPrimitive(v);
        // SWF 4 movies know no objects: one without a number counts as 0 there.
        if (p.isObject())
            return version_ < 5 ? 0.0 : std::numeric_limits<double>::quiet_NaN();
        return toNumber(p);
    }
    }
    return 0;
}

QString Interpreter::toString(const Value& v)
{
    switch (v.type) {
    case Value::Type::Undefined: return version_ >= 7 ? QStringLiteral("undefined") : QString();
    case Value::Type::Null: return QStringLiteral("null");
    case Value::Type::Boolean: return v.b ? QStringLiteral("true") : QStringLiteral("false");
    case Value::Type::Number: return numberToString(v.n);
    case Value::Type::String: return v.s;
    case Value::Type::Object: {
        if (v.o->isMovieClip())
            return clipText(*this, static_cast<MovieClipObject*>(v.o));
        if (dynamic_cast<SuperObject*>(v.o))
            return QStringLiteral("[type Object]");
        // Only toString is asked, and only a string answer counts.
        Value f = v.o->get(QStringLiteral("toString"));
        if (f.isObject() && f.o->isFunction()) {
            Value r = call(f, v, {});
            if (r.isString())
                return r.s;
        }
        return v.o->isFunction() ? QStringLiteral("[type Function]") : QStringLiteral("[type Object]");
    }
    }
    return QString();
}

bool Interpreter::toBoolean(const Value& v)
{
    switch (v.type) {
    case Value::Type::Undefined:
    case Value::Type::Null: return false;
    case Value::Type::Boolean: return v.b;
    case Value::Type::Number: return v.n != 0 && !std::isnan(v.n);
    case Value::Type::String: {
        if (version_ >= 7)
            return !v.s.isEmpty();
        double n = stringToNumber(v.s, version_);
        return n != 0 && !std::isnan(n);
    }
    case Value::Type::Object: return true;
    }
    return false;
}

Object* Interpreter::toObject(const Value& v)
{
    switch (v.type) {
    case Value::Type::Object: return v.o;
    case Value::Type::String:
    case Value::Type::Number:
    case Value::Type::Boolean: {
        Object* proto = v.isString() ? stringProto : v.isNumber() ? numberProto : booleanProto;
        Object* o = newObject(proto);
        o->hasPrimitive = true;
        o->primitive = v;
        if (v.isString())
            o->define(QStringLiteral("length"), Value(double(v.s.size())), DontEnum | DontDelete | ReadOnly);
        return o;
    }
    default: return nullptr;
    }
}

QString Interpreter::typeOf(const Value& v)
{
    switch (v.type) {
    case Value::Type::Undefined: return QStringLiteral("undefined");
    case Value::Type::Null: return QStringLiteral("null");
    case Value::Type::Boolean: return QStringLiteral("boolean");
    case Value::Type::Number: return QStringLiteral("number");
    case Value::Type::String: return QStringLiteral("string");
    case Value::Type::Object:
        if (v.o->isFunction())
            return QStringLiteral("function");
        if (v.o->isMovieClip()) {
            auto* c = static_cast<MovieClipObject*>(v.o);
            // Version 5 players had no text field type of their own.
            if (c->kind == MovieClipObject::Kind::Sprite || (c->kind == MovieClipObject::Kind::Text && version_ < 6))
                return QStringLiteral("movieclip");
            return QStringLiteral("object");
        }
        return QStringLiteral("object");
    }
    return QStringLiteral("undefined");
}

double Interpreter::toInteger(const Value& v)
{
    double n = toNumber(v);
    if (std::isnan(n))
        return 0;
    if (std::isinf(n))
        return n;
    return std::trunc(n);
}

int32_t Interpreter::toInt32(const Value& v)
{
    return avm1::toInt32(toNumber(v));
}

// ---- member access: removed clips are looked up again by path ------------------

Value Interpreter::getMember(const Value& target, const QString& name)
{
    switch (target.type) {
    case Value::Type::Object: return memberTarget(*this, target.o)->get(name);
    case Value::Type::String:
        if (name == QLatin1String("length"))
            return Value(double(target.s.size()));
        return stringProto->get(name);
    case Value::Type::Number: return numberProto->get(name);
    case Value::Type::Boolean: return booleanProto->get(name);
    default: return Value();
    }
}

void Interpreter::setMember(const Value& target, const QString& name, const Value& v)
{
    if (Object* o = target.object())
        memberTarget(*this, o)->set(name, v);
}

// ---- comparisons --------------------------------------------------------------

bool Interpreter::instanceOf(const Value& v, Object* ctor)
{
    Object* o = v.object();
    if (!o || !ctor)
        return false;
    Object* proto = ctor->get(QStringLiteral("prototype")).object();
    if (!proto)
        return false;
    int guard = 0;
    for (Object* p = o->proto(); p && guard < 256; p = p->proto(), ++guard) {
        if (p == proto)
            return true;
        for (Object* iface : p->interfaces) {
            if (iface == ctor)
                return true;
            // Interfaces extending interfaces.
            if (Object* ip = iface->get(QStringLiteral("prototype")).object())
                for (Object* sub : ip->interfaces)
                    if (sub == ctor)
                        return true;
        }
    }
    return false;
}

bool Interpreter::strictEquals(const Value& a, const Value& b)
{
    if (a.type != b.type)
        return false;
    switch (a.type) {
    case Value::Type::Undefined:
    case Value::Type::Null: return true;
    case Value::Type::Boolean: return a.b == b.b;
    case Value::Type::Number: return a.n == b.n || (std::isnan(a.n) && std::isnan(b.n));
    case Value::Type::String: return a.s == b.s;
    case Value::Type::Object: return a.o == b.o;
    }
    return false;
}

bool Interpreter::looseEquals(const Value& a, const Value& b)
{
    // NaN equals NaN here: the player compares numbers that way.
    if (a.isNumber() && b.isNumber())
        return a.n == b.n || (std::isnan(a.n) && std::isnan(b.n));
    if (a.type == b.type)
        return strictEquals(a, b);
    if (a.isNullish() && b.isNullish())
        return true;
    if (a.isObject() != b.isObject()) {
        // An object meets a primitive through its value; undefined and null included.
        const bool left = a.isObject();
        Value p = toPrimitive(left ? a : b);
        if (p.isObject())
            return false;
        return left ? looseEquals(p, b) : looseEquals(a, p);
    }
    if (a.isNullish() || b.isNullish())
        return false;
    if (a.isNumber() && b.isString())
        return a.n == toNumber(b);
    if (a.isString() && b.isNumber())
        return toNumber(a) == b.n;
    if (a.isBoolean())
        return looseEquals(Value(a.b ? 1.0 : 0.0), b);
    if (b.isBoolean())
        return looseEquals(a, Value(b.b ? 1.0 : 0.0));
    return false;
}

Value Interpreter::lessThan(const Value& a, const Value& b, bool leftFirst)
{
    // An operand without a primitive value makes the comparison false at once,
    // before the other side is converted.
    // Clips have no value of their own: they compare as NaN.
    auto primitive = [this](const Value& v) {
        Value p = toPrimitive(v);
        return p.isObject() && p.o->isMovieClip() ? Value(std::numeric_limits<double>::quiet_NaN()) : p;
    };
    Value pa, pb;
    if (leftFirst) {
        pa = primitive(a);
        if (pa.isObject())
            return Value(false);
        pb = primitive(b);
    } else {
        pb = primitive(b);
        if (pb.isObject())
            return Value(false);
        pa = primitive(a);
    }
    if (pa.isObject() || pb.isObject())
        return Value(false);
    if (pa.isString() && pb.isString())
        return Value(pa.s < pb.s);
    double x = toNumber(pa), y = toNumber(pb);
    if (std::isnan(x) || std::isnan(y))
        return Value();
    return Value(x < y);
}

} // namespace nimbrel::movie::avm1
