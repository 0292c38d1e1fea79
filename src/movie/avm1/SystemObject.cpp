// System and System.capabilities.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

void installSystemObject(Interpreter& vm)
{
    Object* system = vm.newObject();
    vm.global->define(QStringLiteral("System"), Value(system), DontEnum);
    Object* caps = vm.newObject();
    system->define(QStringLiteral("capabilities"), Value(caps), DontEnum);
    caps->define(QStringLiteral("version"), Value(QStringLiteral("LNX 9,0,0,0")));
    caps->define(QStringLiteral("manufacturer"), Value(QStringLiteral("Adobe Linux")));
    caps->define(QStringLiteral("serverString"), Value(QString()));
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
    for (const char* noop : {"allowDomain", "allowInsecureDomain", "loadPolicyFile"})
        vm.addMethod(security, QString::fromLatin1(noop), [](Interpreter&, const Value&, const std::vector<Value>&) { return Value(); });
    vm.addMethod(system, QStringLiteral("setClipboard"), [](Interpreter&, const Value&, const std::vector<Value>&) { return Value(); });
    vm.addMethod(system, QStringLiteral("showSettings"), [](Interpreter&, const Value&, const std::vector<Value>&) { return Value(); });
}

} // namespace nimbrel::movie::avm1
