#include "movie/avm1/FlashPackage.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

bool hasFlashPackages(const Interpreter& vm)
{
    return vm.version() >= 6;
}

Object* flashPackage(Interpreter& vm, const QString& name)
{
    const QString root = QStringLiteral("flash");
    Property* existing = vm.global->findOwnAnyVersion(root);
    Object* flash = existing ? existing->value.object() : nullptr;
    if (!flash) {
        flash = vm.newObject();
        // Older movies see the package only once a script unhides it with ASSetPropFlags.
        vm.global->define(root, Value(flash), DontEnum | OnlySwf8Up);
    }
    Property* p = flash->findOwn(name);
    if (p && p->value.object())
        return p->value.object();
    Object* package = vm.newObject();
    flash->define(name, Value(package));
    return package;
}

Value newGeomPoint(Interpreter& vm, const Value& x, const Value& y)
{
    return newPackageInstance(vm, QStringLiteral("geom"), QStringLiteral("Point"), {x, y});
}

Value newPackageInstance(Interpreter& vm, const QString& package, const QString& className,
                         const std::vector<Value>& args)
{
    Value ctor = flashPackage(vm, package)->get(className);
    return vm.construct(ctor, args);
}

Value scriptAdd(Interpreter& vm, const Value& a, const Value& b)
{
    const Value x = vm.toPrimitive(a), y = vm.toPrimitive(b);
    if (x.isString() || y.isString())
        return Value(vm.toString(x) + vm.toString(y));
    return Value(vm.toNumber(x) + vm.toNumber(y));
}

} // namespace nimbrel::movie::avm1
