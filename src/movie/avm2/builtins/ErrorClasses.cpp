#include "movie/avm2/builtins/ErrorClasses.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/builtins/NativeSupport.h"

namespace nimbrel::movie::avm2 {

namespace {
Value construct(Runtime& rt, const Value& self, Args a) {
    if (!self.isObject()) return Value();
    ScriptObject* e = self.obj();
    e->setOwn(QStringLiteral("message"), Value::string(native::stringArg(rt, a, 0)), false);
    e->primitive = Value::integer(a.count > 1 ? rt.toInt32(a[1]) : 0);
    return Value();
}
Value errorId(Runtime&, const Value& self, Args) {
    return self.isObject() && self.obj()->primitive.isNumeric() ? self.obj()->primitive : Value::integer(0);
}
Value toString(Runtime& rt, const Value& self, Args) {
    Value name = PropertyAccess::get(rt, self, Name::publicName(QStringLiteral("name")));
    Value message = PropertyAccess::get(rt, self, Name::publicName(QStringLiteral("message")));
    const QString m = rt.toString(message);
    return Value::string(m.isEmpty() ? rt.toString(name) : rt.toString(name) + QStringLiteral(": ") + m);
}
Value stackTrace(Runtime&, const Value&, Args) { return Value::null(); }
} // namespace

void ErrorClasses::install(Runtime& rt) {
    auto error = rt.defineNativeClass(QString(), QStringLiteral("Error"), rt.builtin(QStringLiteral("Object")),
                                      {{"toString", toString}, {"get errorID", errorId}, {"getStackTrace", stackTrace}});
    error->constructor = MethodRef{nullptr, 0, construct, error.get(), 1};
    error->prototype->setOwn(QStringLiteral("name"), Value::string(QStringLiteral("Error")), false);
    error->prototype->setOwn(QStringLiteral("message"), Value::string(QString()), false);
    error->setOwn(QStringLiteral("length"), Value::integer(1), false);
    for (const char* name : {"DefinitionError", "EvalError", "RangeError", "ReferenceError", "SecurityError",
                             "SyntaxError", "TypeError", "URIError", "VerifyError", "ArgumentError",
                             "UninitializedError"}) {
        auto cls = rt.defineNativeClass(QString(), QString::fromLatin1(name), error.get(), {});
        cls->prototype->setOwn(QStringLiteral("name"), Value::string(QString::fromLatin1(name)), false);
        cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 1};
    }
    // flash.errors: the ones the runtime's own classes raise (EOFError is an IOError).
    const std::pair<const char*, const char*> flashErrors[] = {
        {"IOError", "Error"}, {"EOFError", "flash.errors.IOError"}, {"MemoryError", "Error"}, {"IllegalOperationError", "Error"}};
    for (const auto& [name, base] : flashErrors) {
        auto cls = rt.defineNativeClass(QStringLiteral("flash.errors"), QString::fromLatin1(name), rt.builtin(QString::fromLatin1(base)), {});
        cls->prototype->setOwn(QStringLiteral("name"), Value::string(QString::fromLatin1(name)), false);
        cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 1};
    }
}

} // namespace nimbrel::movie::avm2
