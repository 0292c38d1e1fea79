#include "movie/avm2/builtins/FunctionClass.h"
#include "movie/avm2/AbcUnit.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/builtins/NativeSupport.h"

namespace nimbrel::movie::avm2 {

namespace {

Value callFn(Runtime& rt, const Value& self, Args a) {
    Args rest{a.count > 1 ? a.values + 1 : nullptr, std::max(0, a.count - 1)};
    return rt.call(self, a[0], rest);
}

Value applyFn(Runtime& rt, const Value& self, Args a) {
    std::vector<Value> list;
    if (a.count > 1 && !a[1].isNullish()) {
        ArrayObject* arr = native::asArray(a[1]);
        if (!arr) rt.raise(QStringLiteral("TypeError"), 1116);
        list = arr->items;
    }
    return rt.call(self, a[0], Args{list.data(), int(list.size())});
}

Value lengthOf(Runtime&, const Value& self, Args) {
    if (!self.isObject() || self.obj()->type != ScriptObject::Type::Function) return Value::integer(0);
    const MethodRef& m = static_cast<FunctionObject*>(self.obj())->method;
    if (m.unit) return Value::integer(int(m.unit->abc.methods[m.index].paramTypes.size()));
    return Value::integer(m.nativeLength);
}

Value functionToString(Runtime&, const Value&, Args) { return Value::string(QStringLiteral("function Function() {}")); }

Value emptyFunction(Runtime&, const Value&, Args) { return Value(); }

Value functionConstruct(Runtime& rt, const Value&, Args) {
    return Value::object(rt.makeFunction(MethodRef{nullptr, 0, emptyFunction}, nullptr));
}

} // namespace

void FunctionClass::install(Runtime& rt) {
    auto fn = rt.defineNativeClass(QString(), QStringLiteral("Function"), rt.builtin(QStringLiteral("Object")),
                                   {{"call", callFn, 1}, {"apply", applyFn, 2}, {"toString", functionToString},
                                    {"toLocaleString", functionToString}, {"get length", lengthOf}});
    fn->constructor = MethodRef{nullptr, 0, functionConstruct, fn.get()};
    fn->callAsFunction = functionConstruct;
    // Functions made before Function existed (the natives above) still need its traits.
    rt.functionPrototype->setOwn(QStringLiteral("constructor"), Value::object(fn), false);
}

} // namespace nimbrel::movie::avm2
