// TextField basics: the class, its prototype and text formats accepted.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

void installTextFieldClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.textFieldProto = proto;
    vm.newClass(QStringLiteral("TextField"), nullptr, nullptr, proto);
    for (const char* noop : {"setTextFormat", "setNewTextFormat", "replaceSel", "removeTextField"})
        vm.addMethod(proto, QString::fromLatin1(noop), [](Interpreter&, const Value&, const std::vector<Value>&) { return Value(); });
    Object* fmtProto = vm.newObject();
    vm.newClass(QStringLiteral("TextFormat"), nullptr, nullptr, fmtProto);
    vm.addMethod(proto, QStringLiteral("getTextFormat"), [fmtProto](Interpreter& vm, const Value&, const std::vector<Value>&) {
        return Value(vm.newObject(fmtProto));
    });
    Object* buttonProto = vm.newObject();
    vm.buttonProto = buttonProto;
    vm.newClass(QStringLiteral("Button"), nullptr, nullptr, buttonProto);
}

} // namespace nimbrel::movie::avm1
