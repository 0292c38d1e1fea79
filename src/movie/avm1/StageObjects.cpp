// Key, Mouse and Stage: input and stage state with listener lists.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/display/ScriptHost.h"

namespace nimbrel::movie::avm1 {

namespace {

Object* broadcaster(Interpreter& vm, const QString& name)
{
    Object* o = vm.newObject();
    vm.global->define(name, Value(o), DontEnum);
    Value init = vm.getMember(vm.getMember(Value(vm.global), QStringLiteral("AsBroadcaster")), QStringLiteral("initialize"));
    vm.call(init, Value(), {Value(o)});
    return o;
}

} // namespace

void installStageObjects(Interpreter& vm)
{
    using Args = const std::vector<Value>&;
    Object* key = broadcaster(vm, QStringLiteral("Key"));
    const std::pair<const char*, int> codes[] = {
        {"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46}, {"DOWN", 40}, {"END", 35},
        {"ENTER", 13}, {"ESCAPE", 27}, {"HOME", 36}, {"INSERT", 45}, {"LEFT", 37}, {"PGDN", 34}, {"PGUP", 33},
        {"RIGHT", 39}, {"SHIFT", 16}, {"SPACE", 32}, {"TAB", 9}, {"UP", 38}, {"ALT", 18}};
    for (const auto& [n, c] : codes)
        key->define(QString::fromLatin1(n), Value(double(c)), DontEnum | DontDelete | ReadOnly);
    vm.addMethod(key, QStringLiteral("isDown"), [](Interpreter& vm, const Value&, Args a) {
        return Value(vm.host && !a.empty() && vm.host->isKeyDown(vm.toInt32(a[0])));
    });
    vm.addMethod(key, QStringLiteral("isToggled"), [](Interpreter&, const Value&, Args) { return Value(false); });
    vm.addMethod(key, QStringLiteral("getCode"), [](Interpreter& vm, const Value&, Args) {
        return Value(double(vm.host ? vm.host->lastKeyCode() : 0));
    });
    vm.addMethod(key, QStringLiteral("getAscii"), [](Interpreter& vm, const Value&, Args) {
        return Value(double(vm.host ? vm.host->lastKeyAscii() : 0));
    });

    Object* mouse = broadcaster(vm, QStringLiteral("Mouse"));
    vm.addMethod(mouse, QStringLiteral("show"), [](Interpreter&, const Value&, Args) { return Value(1.0); });
    vm.addMethod(mouse, QStringLiteral("hide"), [](Interpreter&, const Value&, Args) { return Value(1.0); });

    Object* stage = broadcaster(vm, QStringLiteral("Stage"));
    vm.addGetterSetter(stage, QStringLiteral("width"), [](Interpreter& vm, const Value&, Args) {
        return vm.stageWidth;
    }, nullptr);
    vm.addGetterSetter(stage, QStringLiteral("height"), [](Interpreter& vm, const Value&, Args) {
        return vm.stageHeight;
    }, nullptr);
    // The player never leaves its window; the state is remembered and listeners hear each change.
    stage->define(QStringLiteral("__displayState"), Value(QStringLiteral("normal")), DontEnum);
    vm.addGetterSetter(stage, QStringLiteral("displayState"), [](Interpreter& vm, const Value& self, Args) {
        return vm.getMember(self, QStringLiteral("__displayState"));
    }, [](Interpreter& vm, const Value& self, Args a) {
        Object* o = self.object();
        if (!o || a.empty())
            return Value();
        const QString wanted = vm.toString(a[0]);
        QString state;
        if (wanted.compare(QLatin1String("normal"), Qt::CaseInsensitive) == 0)
            state = QStringLiteral("normal");
        else if (wanted.compare(QLatin1String("fullScreen"), Qt::CaseInsensitive) == 0)
            state = QStringLiteral("fullScreen");
        if (state.isEmpty() || state == vm.toString(o->get(QStringLiteral("__displayState"))))
            return Value();
        o->define(QStringLiteral("__displayState"), Value(state), DontEnum);
        vm.callMethod(self, QStringLiteral("broadcastMessage"),
                      {Value(QStringLiteral("onFullScreen")), Value(state == QLatin1String("fullScreen"))});
        return Value();
    });
    stage->define(QStringLiteral("scaleMode"), Value(QStringLiteral("showAll")), DontEnum);
    stage->define(QStringLiteral("align"), Value(QString()), DontEnum);
    stage->define(QStringLiteral("showMenu"), Value(true), DontEnum);
}

} // namespace nimbrel::movie::avm1
