#include "movie/avm2/Value.h"
#include "movie/avm2/NumberText.h"
#include "movie/avm2/ScriptObject.h"
#include <cmath>

namespace nimbrel::movie::avm2 {

Value Value::number(double x) {
    Value v;
    if (x >= -2147483648.0 && x <= 2147483647.0 && double(int32_t(x)) == x && !(x == 0 && std::signbit(x))) {
        v.kind = Kind::Int;
        v.i = int32_t(x);
    } else {
        v.kind = Kind::Number;
        v.d = x;
    }
    return v;
}

Value Value::object(ObjectPtr p) {
    if (!p) return null();
    Value v;
    v.kind = Kind::Object;
    v.o = std::move(p);
    return v;
}

double Value::numberValue() const { return kind == Kind::Int ? double(i) : d; }

bool Value::toBoolean() const {
    switch (kind) {
    case Kind::Undefined:
    case Kind::Null: return false;
    case Kind::Boolean: return b;
    case Kind::Int: return i != 0;
    case Kind::Number: return !(d == 0 || std::isnan(d));
    case Kind::String: return !s.isEmpty();
    case Kind::Object: return true;
    }
    return false;
}

double Value::primitiveToNumber() const {
    switch (kind) {
    case Kind::Undefined: return std::nan("");
    case Kind::Null: return 0;
    case Kind::Boolean: return b ? 1 : 0;
    case Kind::Int: return i;
    case Kind::Number: return d;
    case Kind::String: return NumberText::parse(s);
    case Kind::Object: return std::nan("");
    }
    return 0;
}

QString Value::primitiveToString() const {
    switch (kind) {
    case Kind::Undefined: return QStringLiteral("undefined");
    case Kind::Null: return QStringLiteral("null");
    case Kind::Boolean: return b ? QStringLiteral("true") : QStringLiteral("false");
    case Kind::Int: return QString::number(i);
    case Kind::Number: return NumberText::format(d);
    case Kind::String: return s;
    case Kind::Object: return QStringLiteral("[object Object]");
    }
    return {};
}

int32_t Value::toInt32(double v) {
    if (std::isnan(v) || std::isinf(v)) return 0;
    if (v >= -2147483648.0 && v <= 2147483647.0) return int32_t(v);
    double m = std::fmod(std::trunc(v), 4294967296.0);
    if (m < 0) m += 4294967296.0;
    return int32_t(uint32_t(m));
}

bool strictEquals(const Value& a, const Value& b) {
    if (a.isNumeric() && b.isNumeric()) {
        if (a.kind == Value::Kind::Int && b.kind == Value::Kind::Int) return a.i == b.i;
        return a.numberValue() == b.numberValue();
    }
    if (a.kind != b.kind) return false;
    switch (a.kind) {
    case Value::Kind::Undefined:
    case Value::Kind::Null: return true;
    case Value::Kind::Boolean: return a.b == b.b;
    case Value::Kind::String: return a.s == b.s;
    case Value::Kind::Object: return a.o == b.o;
    default: return false;
    }
}

} // namespace nimbrel::movie::avm2
