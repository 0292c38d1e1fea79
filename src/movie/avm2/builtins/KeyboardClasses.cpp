#include "movie/avm2/builtins/KeyboardClasses.h"
#include "movie/avm2/Runtime.h"

namespace nimbrel::movie::avm2 {

namespace {

struct KeyCode {
    const char* name;
    int code;
};
// The named keys; letters, digits, number pad digits and F1..F15 are added in runs.
constexpr KeyCode kNamedKeys[] = {
    {"BACKSPACE", 8}, {"TAB", 9}, {"ENTER", 13}, {"COMMAND", 15}, {"SHIFT", 16}, {"CONTROL", 17},
    {"ALTERNATE", 18}, {"CAPS_LOCK", 20}, {"NUMPAD", 21}, {"ESCAPE", 27}, {"SPACE", 32}, {"PAGE_UP", 33},
    {"PAGE_DOWN", 34}, {"END", 35}, {"HOME", 36}, {"LEFT", 37}, {"UP", 38}, {"RIGHT", 39}, {"DOWN", 40},
    {"INSERT", 45}, {"DELETE", 46}, {"NUMPAD_MULTIPLY", 106}, {"NUMPAD_ADD", 107}, {"NUMPAD_ENTER", 108},
    {"NUMPAD_SUBTRACT", 109}, {"NUMPAD_DECIMAL", 110}, {"NUMPAD_DIVIDE", 111}, {"SEMICOLON", 186},
    {"EQUAL", 187}, {"COMMA", 188}, {"MINUS", 189}, {"PERIOD", 190}, {"SLASH", 191}, {"BACKQUOTE", 192},
    {"LEFTBRACKET", 219}, {"BACKSLASH", 220}, {"RIGHTBRACKET", 221}, {"QUOTE", 222},
};

Value no(Runtime&, const Value&, Args) { return Value::boolean(false); }
Value nothing(Runtime&, const Value&, Args) { return Value(); }
Value keyboardType(Runtime&, const Value&, Args) { return Value::string(QStringLiteral("alphanumeric")); }

void integer(Runtime& rt, ClassObject& cls, const QString& name, int v) {
    rt.defineStaticConstant(cls, name, Value::unsignedInt(uint32_t(v)));
}

} // namespace

void KeyboardClasses::install(Runtime& rt) {
    const QString pkg = QStringLiteral("flash.ui");
    ClassObject* object = rt.builtin(QStringLiteral("Object"));
    auto keyboard = rt.defineNativeClass(pkg, QStringLiteral("Keyboard"), object, {},
                                         {{"get capsLock", no}, {"get numLock", no}, {"get hasVirtualKeyboard", no},
                                          {"get physicalKeyboardType", keyboardType},
                                          {"isAccessible", no}});
    keyboard->isFinal = true;
    for (const KeyCode& k : kNamedKeys) integer(rt, *keyboard, QString::fromLatin1(k.name), k.code);
    for (int i = 0; i < 26; ++i) integer(rt, *keyboard, QString(QChar(u'A' + i)), 65 + i);
    for (int i = 0; i < 10; ++i) {
        integer(rt, *keyboard, QStringLiteral("NUMBER_%1").arg(i), 48 + i);
        integer(rt, *keyboard, QStringLiteral("NUMPAD_%1").arg(i), 96 + i);
    }
    for (int i = 1; i <= 15; ++i) integer(rt, *keyboard, QStringLiteral("F%1").arg(i), 111 + i);

    auto location = rt.defineNativeClass(pkg, QStringLiteral("KeyLocation"), object, {});
    location->isFinal = true;
    const char* const locations[] = {"STANDARD", "LEFT", "RIGHT", "NUM_PAD", "D_PAD"};
    for (int i = 0; i < 5; ++i) integer(rt, *location, QString::fromLatin1(locations[i]), i);

    auto mouse = rt.defineNativeClass(pkg, QStringLiteral("Mouse"), object, {},
                                      {{"hide", nothing}, {"show", nothing},
                                       {"get supportsCursor", no}, {"get supportsNativeCursor", no},
                                       {"registerCursor", nothing, 2}, {"unregisterCursor", nothing, 1}});
    mouse->isFinal = true;
}

} // namespace nimbrel::movie::avm2
