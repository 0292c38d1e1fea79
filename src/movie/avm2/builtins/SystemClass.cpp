#include "movie/avm2/builtins/SystemClass.h"
#include "movie/avm2/Runtime.h"

namespace nimbrel::movie::avm2 {

namespace {

// Objects are freed as soon as nothing holds them: a collection has nothing to do.
Value nothing(Runtime&, const Value&, Args) { return Value(); }
// Scripts compare figures, not bytes: a steady, plausible size.
Value totalMemory(Runtime&, const Value&, Args) { return Value::integer(16 * 1024 * 1024); }
Value setClipboard(Runtime& rt, const Value&, Args a) {
    if (a[0].isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("string")});
    return Value();
}

} // namespace

void SystemClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.system"), QStringLiteral("System"), rt.builtin(QStringLiteral("Object")), {},
                                    {{"gc", nothing}, {"pauseForGCIfCollectionImminent", nothing},
                                     {"get totalMemory", totalMemory}, {"get totalMemoryNumber", totalMemory},
                                     {"get privateMemory", totalMemory},
                                     {"setClipboard", setClipboard, 1}});
    cls->isFinal = true;
}

} // namespace nimbrel::movie::avm2
