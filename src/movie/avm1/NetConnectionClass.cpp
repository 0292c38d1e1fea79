// NetConnection: a player without a media server. connect(null) is the
// local "connection" for progressive video and succeeds at once; closing
// a connection tells the movie through onStatus.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

const QString kState = QStringLiteral("__netState"); // "", "local" or "remote"

void status(Interpreter& vm, const Value& self, const char* code)
{
    Object* info = vm.newObject();
    info->set(QStringLiteral("level"), Value("status"));
    info->set(QStringLiteral("code"), Value(code));
    vm.callMethod(self, QStringLiteral("onStatus"), {Value(info)});
}

QString stateOf(Object* o)
{
    Property* p = o->findOwn(kState);
    return p && p->value.isString() ? p->value.s : QString();
}

void close(Interpreter& vm, const Value& self, Object* o)
{
    const QString state = stateOf(o);
    if (state.isEmpty())
        return;
    o->define(kState, Value(QString()), DontEnum);
    o->define(QStringLiteral("isConnected"), Value(false), DontEnum);
    status(vm, self, "NetConnection.Connect.Closed");
    // A remote connection that never got an answer also reports its call as ended, without details.
    if (state == QLatin1String("remote"))
        vm.callMethod(self, QStringLiteral("onStatus"), {});
}

} // namespace

void installNetConnectionClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.newClass(QStringLiteral("NetConnection"), nullptr, [](Interpreter&, Object* obj, Args) {
        obj->define(QStringLiteral("isConnected"), Value(false), DontEnum);
        return Value(obj);
    }, proto);
    vm.addMethod(proto, QStringLiteral("connect"), [](Interpreter& vm, const Value& self, Args a) -> Value {
        Object* o = self.object();
        if (!o)
            return Value();
        close(vm, self, o);
        Value uri = arg(a, 0);
        o->define(QStringLiteral("uri"), uri.isNullish() ? Value("null") : Value(vm.toString(uri)), DontEnum);
        if (uri.isNullish()) {
            o->define(kState, Value("local"), DontEnum);
            o->define(QStringLiteral("isConnected"), Value(true), DontEnum);
            status(vm, self, "NetConnection.Connect.Success");
            return Value(true);
        }
        // Remoting addresses: nothing is sent until a call, and no server ever answers here.
        o->define(kState, Value("remote"), DontEnum);
        return Value(true);
    });
    vm.addMethod(proto, QStringLiteral("close"), [](Interpreter& vm, const Value& self, Args) {
        if (Object* o = self.object())
            close(vm, self, o);
        return Value();
    });
    for (const char* name : {"call", "addHeader"})
        vm.addMethod(proto, QLatin1String(name), [](Interpreter&, const Value&, Args) { return Value(); });
}

} // namespace nimbrel::movie::avm1
