// Function: call and apply.
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

void installFunctionClass(Interpreter& vm)
{
    Object* proto = vm.functionProto;
    auto* ctor = vm.newClass(
        QStringLiteral("Function"),
        [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value { return arg(args, 0); },
        nullptr, proto);
    vm.functionCtor = ctor;
    // SWF 5 movies have no Function global.
    vm.global->setFlags(QStringLiteral("Function"), OnlySwf6Up, 0);
    auto thisArg = [](Interpreter& vm, const Value& v) -> Value {
        // A missing `this` means the global object, as in the player.
        if (v.isNullish())
            return Value(vm.global);
        return v;
    };
    vm.addMethod(proto, QStringLiteral("call"), [thisArg](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        std::vector<Value> rest;
        if (args.size() > 1)
            rest.assign(args.begin() + 1, args.end());
        return vm.call(self, thisArg(vm, arg(args, 0)), rest);
    });
    vm.addMethod(proto, QStringLiteral("apply"), [thisArg](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        std::vector<Value> list;
        if (Object* a = arg(args, 1).object()) {
            if (auto* arr = dynamic_cast<ArrayObject*>(a)) {
                list = arr->elements;
            } else {
                double n = vm.toNumber(a->get(QStringLiteral("length")));
                for (int i = 0; i < n && i < 100000; ++i)
                    list.push_back(a->get(QString::number(i)));
            }
        }
        return vm.call(self, thisArg(vm, arg(args, 0)), list);
    });
}

} // namespace nimbrel::movie::avm1
