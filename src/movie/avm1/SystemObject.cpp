// System and System.capabilities.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

// System.Product: an installable add-on of the player. None is offered here: download and
// launch do nothing.
void installSystemProduct(Interpreter& vm, Object* system)
{
    Object* proto = vm.newObject();
    Object* product = vm.newClass(QString(), [](Interpreter&, const Value&, Args) { return Value(); },
                                  [](Interpreter&, Object* obj, Args) { return Value(obj); }, proto);
    system->define(QStringLiteral("Product"), Value(product), DontEnum);
    vm.addMethod(proto, QStringLiteral("download"), [](Interpreter&, const Value&, Args) { return Value(false); });
    vm.addMethod(proto, QStringLiteral("launch"), [](Interpreter&, const Value&, Args) { return Value(false); });
}

// System.IME: there is no input method editor behind the player, so it stays disabled.
void installSystemIme(Interpreter& vm, Object* system)
{
    Object* ime = vm.newObject();
    system->define(QStringLiteral("IME"), Value(ime), DontEnum);
    const Value init = vm.getMember(vm.getMember(Value(vm.global), QStringLiteral("AsBroadcaster")), QStringLiteral("initialize"));
    vm.call(init, Value(), {Value(ime)});
    for (const char* mode : {"ALPHANUMERIC_FULL", "ALPHANUMERIC_HALF", "CHINESE", "JAPANESE_HIRAGANA",
                             "JAPANESE_KATAKANA_FULL", "JAPANESE_KATAKANA_HALF", "KOREAN", "UNKNOWN"})
        ime->define(QLatin1String(mode), Value(QLatin1String(mode)), DontEnum | DontDelete | ReadOnly);
    vm.addMethod(ime, QStringLiteral("getEnabled"), [](Interpreter&, const Value&, Args) { return Value(false); });
    vm.addMethod(ime, QStringLiteral("getConversionMode"), [](Interpreter&, const Value&, Args) { return Value(QStringLiteral("UNKNOWN")); });
    for (const char* refused : {"setEnabled", "setConversionMode", "setCompositionString", "doConversion"})
        vm.addMethod(ime, QLatin1String(refused), [](Interpreter&, const Value&, Args) { return Value(false); });
}

} // namespace

void installSystemObject(Interpreter& vm)
{
    Object* system = vm.newObject();
    vm.global->define(QStringLiteral("System"), Value(system), DontEnum);
    Object* caps = vm.newObject();
    system->define(QStringLiteral("capabilities"), Value(caps), DontEnum);
    caps->define(QStringLiteral("version"), Value(QStringLiteral("LNX 9,0,0,0")));
    caps->define(QStringLiteral("manufacturer"), Value(QStringLiteral("Adobe Linux")));
    caps->define(QStringLiteral("serverString"), Value(QString()));
    // SWF 5 movies read the player version as a global; later ones find it on the main timeline only.
    if (vm.version() < 6)
        vm.global->define(QStringLiteral("$version"), Value(QStringLiteral("LNX 9,0,0,0")), DontEnum);
    Object* accessibility = vm.newObject();
    vm.global->define(QStringLiteral("Accessibility"), Value(accessibility), DontEnum);
    vm.addMethod(accessibility, QStringLiteral("isActive"), [](Interpreter&, const Value&, const std::vector<Value>&) { return Value(false); });
    vm.addMethod(accessibility, QStringLiteral("updateProperties"), [](Interpreter&, const Value&, const std::vector<Value>&) { return Value(); });
    vm.addMethod(accessibility, QStringLiteral("sendEvent"), [](Interpreter&, const Value&, const std::vector<Value>&) { return Value(); });
    caps->define(QStringLiteral("os"), Value(QStringLiteral("Linux")));
    caps->define(QStringLiteral("language"), Value(QStringLiteral("zh-CN")));
    caps->define(QStringLiteral("playerType"), Value(QStringLiteral("StandAlone")));
    caps->define(QStringLiteral("screenResolutionX"), Value(1536.0));
    caps->define(QStringLiteral("screenResolutionY"), Value(864.0));
    caps->define(QStringLiteral("hasAudio"), Value(true));
    caps->define(QStringLiteral("screenDPI"), Value(72.0));
    caps->define(QStringLiteral("pixelAspectRatio"), Value(1.0));
    caps->define(QStringLiteral("screenColor"), Value(QStringLiteral("color")));
    for (const char* yes : {"hasMP3", "hasPrinting", "hasStreamingAudio", "hasStreamingVideo", "hasEmbeddedVideo",
                            "hasAudioEncoder", "hasVideoEncoder", "hasScreenPlayback", "hasAccessibility", "hasIME",
                            "hasTLS"})
        caps->define(QLatin1String(yes), Value(true));
    for (const char* no : {"avHardwareDisable", "isDebugger", "localFileReadDisable", "windowlessDisable",
                           "hasScreenBroadcast"})
        caps->define(QLatin1String(no), Value(false));
    system->define(QStringLiteral("useCodepage"), Value(false));
    Object* security = vm.newObject();
    system->define(QStringLiteral("security"), Value(security), DontEnum);
    // Every domain is allowed; the call only reports whether it named one.
    for (const char* domainCall : {"allowDomain", "allowInsecureDomain"})
        vm.addMethod(security, QString::fromLatin1(domainCall), [](Interpreter&, const Value&, const std::vector<Value>& args) {
            return Value(!args.empty());
        });
    vm.addMethod(security, QStringLiteral("loadPolicyFile"), [](Interpreter&, const Value&, const std::vector<Value>&) { return Value(); });
    // Settings the player may round differently for speed; kept as the movie sets them.
    system->define(QStringLiteral("exactSettings"), Value(vm.version() >= 7), OnlySwf6Up);
    installSystemProduct(vm, system);
    installSystemIme(vm, system);
    vm.addMethod(system, QStringLiteral("setClipboard"), [](Interpreter&, const Value&, const std::vector<Value>&) { return Value(); });
    vm.addMethod(system, QStringLiteral("showSettings"), [](Interpreter&, const Value&, const std::vector<Value>&) { return Value(); });
}

} // namespace nimbrel::movie::avm1
