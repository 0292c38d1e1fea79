#pragma once
// A value of the second virtual machine. Unsigned integers are held as int
// when they fit and as Number otherwise: scripts only see the difference
// through `is`, which looks at the value. Objects are reference counted.
#include <QString>
#include <cstdint>
#include <memory>

namespace nimbrel::movie::avm2 {

class ScriptObject;
using ObjectPtr = std::shared_ptr<ScriptObject>;

struct Value {
    enum class Kind : uint8_t { Undefined, Null, Boolean, Int, Number, String, Object };
    Kind kind = Kind::Undefined;
    union {
        bool b;
        int32_t i;
        double d;
    };
    QString s;
    ObjectPtr o;

    Value() : d(0) {}
    static Value null() { Value v; v.kind = Kind::Null; return v; }
    static Value boolean(bool x) { Value v; v.kind = Kind::Boolean; v.b = x; return v; }
    static Value integer(int32_t x) { Value v; v.kind = Kind::Int; v.i = x; return v; }
    // A number kept as int when it is one exactly (not -0).
    static Value number(double x);
    static Value unsignedInt(uint32_t x) { return x <= 0x7fffffffu ? integer(int32_t(x)) : number(double(x)); }
    static Value string(QString x) { Value v; v.kind = Kind::String; v.s = std::move(x); return v; }
    static Value object(ObjectPtr p);

    bool isUndefined() const { return kind == Kind::Undefined; }
    bool isNull() const { return kind == Kind::Null; }
    bool isNullish() const { return kind <= Kind::Null; }
    bool isNumeric() const { return kind == Kind::Int || kind == Kind::Number; }
    bool isString() const { return kind == Kind::String; }
    bool isObject() const { return kind == Kind::Object; }
    ScriptObject* obj() const { return o.get(); }

    // Conversions that never run script code (objects need the runtime's ToPrimitive).
    double numberValue() const; // Int/Number only
    bool toBoolean() const;
    double primitiveToNumber() const;
    QString primitiveToString() const;
    static int32_t toInt32(double v);
    static uint32_t toUint32(double v) { return uint32_t(toInt32(v)); }
};

// ===, with NaN unequal to itself and int equal to the same Number.
bool strictEquals(const Value& a, const Value& b);

} // namespace nimbrel::movie::avm2
