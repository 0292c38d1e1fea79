#pragma once
// Small helpers the built-in classes share for reading arguments and `this`.
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/Runtime.h"

namespace nimbrel::movie::avm2::native {

inline double numberArg(Runtime& rt, Args a, int i, double fallback) {
    return i < a.count && !a[i].isUndefined() ? rt.toNumber(a[i]) : fallback;
}
inline QString stringArg(Runtime& rt, Args a, int i, const QString& fallback = QString()) {
    return i < a.count && !a[i].isUndefined() ? rt.toString(a[i]) : fallback;
}
inline ArrayObject* asArray(const Value& v) {
    return v.isObject() && v.obj()->type == ScriptObject::Type::Array ? static_cast<ArrayObject*>(v.obj()) : nullptr;
}
inline ArrayObject& thisArray(Runtime& rt, const Value& self) {
    ArrayObject* a = asArray(self);
    if (!a) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("Array")});
    return *a;
}
// Relative start/end positions as slice and friends take them.
inline int64_t clampIndex(double v, int64_t length) {
    if (std::isnan(v)) return 0;
    if (v < 0) return std::max<int64_t>(0, int64_t(std::max(v + double(length), 0.0)));
    return std::min<int64_t>(length, int64_t(std::min(v, double(length))));
}

} // namespace nimbrel::movie::avm2::native
