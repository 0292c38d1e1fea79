// SharedObject: a movie's locally kept data. Kept in memory for the run:
// getLocal hands the same object back for the same name and path, and
// flush reports success without writing anything to disk.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

// Characters the player refuses in a shared object's name.
bool validName(const QString& name)
{
    if (name.isEmpty() || name.size() > 1024)
        return false;
    for (QChar c : name)
        if (QStringLiteral("~%&\\;:\"',<>?# ").contains(c))
            return false;
    return true;
}

} // namespace

void installSharedObjectClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    NativeFunction* ctor = vm.newClass(QStringLiteral("SharedObject"), nullptr,
                                       [](Interpreter&, Object* obj, Args) { return Value(obj); }, proto);
    // Objects handed out so far, by path and name; reachable from the class so they live for the run.
    Object* instances = vm.newObject(nullptr);
    ctor->define(QStringLiteral("__instances"), Value(instances), DontEnum | DontDelete);
    vm.addMethod(ctor, QStringLiteral("getLocal"), [instances, proto](Interpreter& vm, const Value&, Args a) -> Value {
        const QString name = vm.toString(arg(a, 0));
        if (a.empty() || !validName(name))
            return Value::null();
        const QString path = arg(a, 1).isUndefined() ? QString() : vm.toString(arg(a, 1));
        const QString key = path + QLatin1Char('\n') + name;
        if (Property* p = instances->findOwn(key); p && p->value.isObject())
            return p->value;
        Object* so = vm.newObject(proto);
        so->define(QStringLiteral("data"), Value(vm.newObject()), DontDelete);
        instances->define(key, Value(so), DontEnum);
        return Value(so);
    });
    vm.addMethod(ctor, QStringLiteral("getRemote"), [](Interpreter&, const Value&, Args) { return Value::null(); });
    vm.addMethod(proto, QStringLiteral("flush"), [](Interpreter&, const Value& self, Args) -> Value {
        return Value(self.isObject());
    });
    vm.addMethod(proto, QStringLiteral("clear"), [](Interpreter& vm, const Value& self, Args) {
        if (Object* o = self.object())
            o->define(QStringLiteral("data"), Value(vm.newObject()), DontDelete);
        return Value();
    });
    // Rough size: the text of every stored name and value.
    vm.addMethod(proto, QStringLiteral("getSize"), [](Interpreter& vm, const Value& self, Args) -> Value {
        Object* data = vm.getMember(self, QStringLiteral("data")).object();
        double size = 0;
        if (data)
            for (const QString& k : data->ownKeys())
                size += k.toUtf8().size() + vm.toString(data->get(k)).toUtf8().size();
        return Value(size);
    });
    for (const char* name : {"close", "setFps", "send"})
        vm.addMethod(proto, QLatin1String(name), [](Interpreter&, const Value&, Args) { return Value(); });
    vm.addMethod(proto, QStringLiteral("connect"), [](Interpreter&, const Value&, Args) { return Value(false); });
}

} // namespace nimbrel::movie::avm1
