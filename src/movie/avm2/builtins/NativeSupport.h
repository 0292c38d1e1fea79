#pragma once
// Small helpers the built-in classes share for reading arguments and `this`.
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/Runtime.h"
#include <span>

namespace nimbrel::movie::avm2::native {

// Installs natives as instance traits ("get x"/"set x" as accessors), so a
// method taken alone stays bound to its object.
inline void addInstanceMembers(ClassObject& cls, std::span<const NativeMethod> members) {
    for (const NativeMethod& m : members) {
        const QString n = QString::fromLatin1(m.name);
        Binding b;
        b.alsoAs3 = true;
        const MethodRef ref{nullptr, 0, m.fn, &cls, m.length};
        if (n.startsWith(QLatin1String("get ")) || n.startsWith(QLatin1String("set "))) {
            b.kind = Binding::Kind::Accessor;
            b.name = n.mid(4);
            (n[0] == QLatin1Char('g') ? b.getter : b.setter) = ref;
        } else {
            b.kind = Binding::Kind::Method;
            b.name = n;
            b.method = ref;
        }
        cls.instanceTraits->put(std::move(b));
    }
}

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
