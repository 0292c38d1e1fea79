// Object: the root class, its prototype methods and Object.registerClass.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

void installObjectClass(Interpreter& vm)
{
    Object* proto = vm.objectProto;
    auto* ctor = vm.newClass(
        QStringLiteral("Object"),
        [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
            Value a = arg(args, 0);
            if (Object* o = vm.toObject(a))
                return Value(o);
            // Called without a value, Object() gives a bare object: no prototype, so no methods.
            return Value(vm.newObject(nullptr));
        },
        [](Interpreter& vm, Object* obj, const std::vector<Value>& args) -> Value {
            Value a = arg(args, 0);
            if (a.isObject())
                return a;
            if (!a.isNullish())
                return Value(vm.toObject(a));
            return Value(obj);
        },
        proto);
    vm.objectCtor = ctor;

    vm.addMethod(proto, QStringLiteral("toString"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) -> Value {
        Object* o = self.object();
        if (o && o->isFunction())
            return Value(QStringLiteral("[type Function]"));
        return Value(QStringLiteral("[object Object]"));
    });
    vm.addMethod(proto, QStringLiteral("toLocaleString"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) -> Value {
        return vm.callMethod(self, QStringLiteral("toString"), {});
    });
    vm.addMethod(proto, QStringLiteral("valueOf"), [](Interpreter&, const Value& self, const std::vector<Value>&) -> Value {
        if (Object* o = self.object(); o && o->hasPrimitive)
            return o->primitive;
        return self;
    });
    vm.addMethod(proto, QStringLiteral("hasOwnProperty"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        Object* o = self.object();
        if (!o || args.empty())
            return Value(false);
        const QString name = vm.toString(args[0]);
        // Every object with a prototype holds its __proto__ link itself.
        if (name.compare(QLatin1String("__proto__"), vm.caseSensitive() ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0)
            return Value(o->proto() != nullptr);
        return Value(!name.isEmpty() && o->hasOwnProperty(name));
    });
    vm.addMethod(proto, QStringLiteral("isPropertyEnumerable"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        Object* o = self.object();
        if (!o || args.empty())
            return Value(false);
        QString name = vm.toString(args[0]);
        Property* p = o->findOwn(name);
        if (p)
            return Value(!(p->flags & DontEnum));
        return Value(o->hasOwn(name));
    });
    vm.addMethod(proto, QStringLiteral("isPrototypeOf"), [](Interpreter&, const Value& self, const std::vector<Value>& args) -> Value {
        Object* o = self.object();
        Object* v = arg(args, 0).object();
        if (!o || !v)
            return Value(false);
        int guard = 0;
        for (Object* p = v->proto(); p && guard < 256; p = p->proto(), ++guard)
            if (p == o)
                return Value(true);
        return Value(false);
    });
    vm.addMethod(proto, QStringLiteral("addProperty"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        Object* o = self.object();
        QString name = vm.toString(arg(args, 0));
        Object* getter = arg(args, 1).object();
        Value setterV = arg(args, 2);
        Object* setter = setterV.object();
        if (!o || name.isEmpty() || !getter || !getter->isFunction())
            return Value(false);
        if (setter && !setter->isFunction())
            return Value(false);
        if (!setter && !setterV.isNull() && !setterV.isUndefined())
            return Value(false);
        Property* existing = o->findOwn(name);
        unsigned short flags = existing ? existing->flags : 0;
        o->defineAccessor(name, getter, setter, flags);
        return Value(true);
    });
    vm.addMethod(proto, QStringLiteral("watch"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        Object* o = self.object();
        Object* cb = arg(args, 1).object();
        if (!o || !cb || !cb->isFunction() || args.empty())
            return Value(false);
        QString name = vm.toString(args[0]);
        o->watches.insert(vm.caseSensitive() ? name : name.toLower(), Object::Watch{cb, arg(args, 2)});
        return Value(true);
    });
    vm.addMethod(proto, QStringLiteral("unwatch"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
        Object* o = self.object();
        if (!o || args.empty())
            return Value(false);
        QString name = vm.toString(args[0]);
        return Value(o->watches.remove(vm.caseSensitive() ? name : name.toLower()) > 0);
    });
    vm.addMethod(ctor, QStringLiteral("registerClass"), [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        if (args.size() < 2)
            return Value(false);
        QString name = vm.toString(args[0]);
        Object* cls = args[1].object();
        if (cls)
            vm.registeredClasses.insert(name.toLower(), cls);
        else
            vm.registeredClasses.remove(name.toLower());
        return Value(true);
    });
}

} // namespace nimbrel::movie::avm1
