#pragma once
// An ActionScript 1/2 value: undefined, null, boolean, number, string or object.
#include <QString>

namespace nimbrel::movie::avm1 {

class Object;

struct Value {
    enum class Type : unsigned char { Undefined, Null, Boolean, Number, String, Object };

    Type type = Type::Undefined;
    bool b = false;
    double n = 0;
    QString s;
    Object* o = nullptr;

    Value() = default;
    Value(bool v) : type(Type::Boolean), b(v) {}
    Value(double v) : type(Type::Number), n(v) {}
    Value(int v) : type(Type::Number), n(v) {}
    Value(const QString& v) : type(Type::String), s(v) {}
    Value(const char* v) : type(Type::String), s(QString::fromUtf8(v)) {}
    Value(Object* v) : type(v ? Type::Object : Type::Null), o(v) {}

    static Value null() { Value v; v.type = Type::Null; return v; }

    bool isUndefined() const { return type == Type::Undefined; }
    bool isNull() const { return type == Type::Null; }
    bool isNullish() const { return type == Type::Undefined || type == Type::Null; }
    bool isNumber() const { return type == Type::Number; }
    bool isString() const { return type == Type::String; }
    bool isBoolean() const { return type == Type::Boolean; }
    bool isObject() const { return type == Type::Object; }
    Object* object() const { return type == Type::Object ? o : nullptr; }
};

} // namespace nimbrel::movie::avm1
