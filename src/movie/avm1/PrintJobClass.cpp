// PrintJob: printing from a movie. There is no printer behind a movie here:
// start() declines, so a movie never waits for pages that cannot print.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

void installPrintJobClass(Interpreter& vm)
{
    using Args = const std::vector<Value>&;
    // Movies before version 7 find the class but none of its methods, not even Object's.
    const bool usable = vm.version() >= 7;
    Object* proto = vm.newObject(usable ? vm.objectProto : nullptr);
    vm.newClass(QStringLiteral("PrintJob"), nullptr, [](Interpreter&, Object* obj, Args) { return Value(obj); }, proto);
    // Page figures are known only while a job runs: read-only zeros otherwise.
    // Listed by for..in, newest first, hence defined last to first.
    for (const char* name : {"paperHeight", "paperWidth", "pageHeight", "pageWidth", "orientation"}) {
        Object* getter = vm.newFunction([](Interpreter&, const Value&, Args) { return Value(0); });
        Object* setter = vm.newFunction([](Interpreter&, const Value&, Args) { return Value(); });
        proto->defineAccessor(QLatin1String(name), getter, setter, DontDelete);
    }
    if (!usable)
        return;
    vm.addMethod(proto, QStringLiteral("start"), [](Interpreter&, const Value&, Args) { return Value(false); });
    vm.addMethod(proto, QStringLiteral("addPage"), [](Interpreter&, const Value&, Args) { return Value(false); });
    vm.addMethod(proto, QStringLiteral("send"), [](Interpreter&, const Value&, Args) { return Value(); });
}

} // namespace nimbrel::movie::avm1
