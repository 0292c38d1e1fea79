// Camera, Microphone, LocalConnection and XMLSocket. This player has no capture
// devices and opens no sockets: the classes are there so movies that test for
// them find them, and each answers the way a player without the device or peer does.
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

Object* plainClass(Interpreter& vm, const char* name)
{
    Object* proto = vm.newObject();
    return vm.newClass(QString::fromLatin1(name), [](Interpreter&, const Value&, Args) { return Value(); },
                       [](Interpreter&, Object* obj, Args) { return Value(obj); }, proto);
}

// Camera.get() and Microphone.get() find no device; names lists none.
void installDeviceClass(Interpreter& vm, const char* name)
{
    Object* cls = plainClass(vm, name);
    vm.addMethod(cls, QStringLiteral("get"), [](Interpreter&, const Value&, Args) { return Value::null(); });
    vm.addGetterSetter(cls, QStringLiteral("names"), [](Interpreter& vm, const Value&, Args) {
        return Value(static_cast<Object*>(vm.newArray()));
    }, nullptr);
}

} // namespace

void installDeviceClasses(Interpreter& vm)
{
    installDeviceClass(vm, "Camera");
    installDeviceClass(vm, "Microphone");

    // No other movie listens: connect and send report failure.
    Object* lc = plainClass(vm, "LocalConnection");
    Object* lcProto = lc->get(QStringLiteral("prototype")).object();
    vm.addMethod(lcProto, QStringLiteral("connect"), [](Interpreter&, const Value&, Args) { return Value(false); });
    vm.addMethod(lcProto, QStringLiteral("send"), [](Interpreter&, const Value&, Args) { return Value(false); });
    vm.addMethod(lcProto, QStringLiteral("close"), [](Interpreter&, const Value&, Args) { return Value(); });
    vm.addMethod(lcProto, QStringLiteral("domain"), [](Interpreter&, const Value&, Args) { return Value(QStringLiteral("localhost")); });

    Object* socket = plainClass(vm, "XMLSocket");
    Object* socketProto = socket->get(QStringLiteral("prototype")).object();
    vm.addMethod(socketProto, QStringLiteral("connect"), [](Interpreter&, const Value&, Args) { return Value(false); });
    vm.addMethod(socketProto, QStringLiteral("send"), [](Interpreter&, const Value&, Args) { return Value(); });
    vm.addMethod(socketProto, QStringLiteral("close"), [](Interpreter&, const Value&, Args) { return Value(); });
}

} // namespace nimbrel::movie::avm1
