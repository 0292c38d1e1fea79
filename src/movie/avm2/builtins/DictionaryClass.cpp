#include "movie/avm2/builtins/DictionaryClass.h"
#include "movie/avm2/DictionaryObject.h"
#include "movie/avm2/Runtime.h"

namespace nimbrel::movie::avm2 {

namespace {
ObjectPtr allocate(const ClassObject&) { return std::make_shared<DictionaryObject>(); }

// new Dictionary(weakKeys = false)
Value construct(Runtime&, const Value& self, Args a) {
    if (self.isObject() && self.obj()->type == ScriptObject::Type::Dictionary)
        static_cast<DictionaryObject*>(self.obj())->weakKeys = a[0].toBoolean();
    return Value();
}
} // namespace

void DictionaryClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.utils"), QStringLiteral("Dictionary"), rt.builtin(QStringLiteral("Object")), {});
    cls->nativeAllocate = allocate;
    cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 1};
}

} // namespace nimbrel::movie::avm2
