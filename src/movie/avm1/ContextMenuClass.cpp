// ContextMenu and ContextMenuItem: the menu a movie offers on right click.
// The player shows its own menu; scripts see and copy the settings.
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

// Enumeration lists the newest first, so these go in last to first.
const char* const kBuiltIns[] = {"print", "forward_back", "rewind", "loop", "play", "quality", "zoom", "save"};

Object* copyItem(Interpreter& vm, const Value& item)
{
    Object* src = item.object();
    if (!src)
        return nullptr;
    Value ctor = vm.global->get(QStringLiteral("ContextMenuItem"));
    Value copy = vm.construct(ctor, {src->get(QStringLiteral("caption")), src->get(QStringLiteral("onSelect")),
                                     src->get(QStringLiteral("separatorBefore")), src->get(QStringLiteral("enabled")),
                                     src->get(QStringLiteral("visible"))});
    return copy.object();
}

} // namespace

void installContextMenuClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.newClass(QStringLiteral("ContextMenu"), nullptr, [](Interpreter& vm, Object* obj, Args a) {
        obj->set(QStringLiteral("onSelect"), arg(a, 0));
        Object* builtIns = vm.newObject();
        for (const char* k : kBuiltIns)
            builtIns->set(QLatin1String(k), Value(true));
        obj->set(QStringLiteral("builtInItems"), Value(builtIns));
        obj->set(QStringLiteral("customItems"), Value(static_cast<Object*>(vm.newArray())));
        return Value(obj);
    }, proto);
    vm.addMethod(proto, QStringLiteral("hideBuiltInItems"), [](Interpreter& vm, const Value& self, Args) {
        Value items = vm.getMember(self, QStringLiteral("builtInItems"));
        if (Object* o = items.object())
            for (const char* k : kBuiltIns)
                o->set(QLatin1String(k), Value(false));
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("copy"), [](Interpreter& vm, const Value& self, Args) -> Value {
        Value ctor = vm.global->get(QStringLiteral("ContextMenu"));
        Value copy = vm.construct(ctor, {vm.getMember(self, QStringLiteral("onSelect"))});
        Object* c = copy.object();
        if (!c)
            return copy;
        Object* from = vm.getMember(self, QStringLiteral("builtInItems")).object();
        Object* to = c->get(QStringLiteral("builtInItems")).object();
        if (from && to)
            for (const char* k : kBuiltIns)
                to->set(QLatin1String(k), from->get(QLatin1String(k)));
        auto* items = dynamic_cast<ArrayObject*>(vm.getMember(self, QStringLiteral("customItems")).object());
        auto* copies = dynamic_cast<ArrayObject*>(c->get(QStringLiteral("customItems")).object());
        if (items && copies)
            for (size_t i = 0; i < items->elements.size() && i < 10000; ++i)
                if (Object* item = copyItem(vm, items->elements[i]))
                    copies->elements.push_back(Value(item));
        return copy;
    });

    Object* itemProto = vm.newObject();
    vm.newClass(QStringLiteral("ContextMenuItem"), nullptr, [](Interpreter& vm, Object* obj, Args a) {
        obj->set(QStringLiteral("caption"), Value(vm.toString(arg(a, 0))));
        obj->set(QStringLiteral("onSelect"), arg(a, 1));
        obj->set(QStringLiteral("separatorBefore"), Value(vm.toBoolean(arg(a, 2))));
        obj->set(QStringLiteral("enabled"), Value(arg(a, 3).isUndefined() ? true : vm.toBoolean(arg(a, 3))));
        obj->set(QStringLiteral("visible"), Value(arg(a, 4).isUndefined() ? true : vm.toBoolean(arg(a, 4))));
        return Value(obj);
    }, itemProto);
    vm.addMethod(itemProto, QStringLiteral("copy"), [](Interpreter& vm, const Value& self, Args) -> Value {
        Object* c = copyItem(vm, self);
        return c ? Value(c) : Value();
    });
}

} // namespace nimbrel::movie::avm1
