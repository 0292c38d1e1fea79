#include "movie/avm2/builtins/BooleanClass.h"
#include "movie/avm2/builtins/NativeSupport.h"

namespace nimbrel::movie::avm2 {

namespace {
bool thisBoolean(Runtime& rt, const Value& self) {
    if (self.kind != Value::Kind::Boolean && !(self.isObject() && self.obj() == rt.builtin(QStringLiteral("Boolean"))->prototype.get()))
        rt.raise(QStringLiteral("TypeError"), 1004, {QStringLiteral("Boolean.prototype.toString")});
    return self.kind == Value::Kind::Boolean && self.b;
}
Value toString(Runtime& rt, const Value& self, Args) { return Value::string(thisBoolean(rt, self) ? QStringLiteral("true") : QStringLiteral("false")); }
Value valueOf(Runtime& rt, const Value& self, Args) { return Value::boolean(thisBoolean(rt, self)); }
Value make(Runtime&, const Value&, Args a) { return Value::boolean(a[0].toBoolean()); }
} // namespace

void BooleanClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QString(), QStringLiteral("Boolean"), rt.builtin(QStringLiteral("Object")),
                                    {{"toString", toString}, {"valueOf", valueOf}});
    cls->callAsFunction = make;
    cls->constructor = MethodRef{nullptr, 0, make, cls.get(), 1};
    cls->isFinal = true;
}

} // namespace nimbrel::movie::avm2
