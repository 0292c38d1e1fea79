#include "InputScript.h"
#include "movie/KeyCodes.h"
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using nimbrel::movie::KeyCodes;

namespace {

struct NamedKey {
    const char* name;
    int qtKey;
    const char* text;
};

const NamedKey kNamedKeys[] = {
    {"Tab", Qt::Key_Tab, "\t"},       {"Enter", Qt::Key_Return, "\r"},    {"Space", Qt::Key_Space, " "},
    {"Escape", Qt::Key_Escape, "\x1b"}, {"Backspace", Qt::Key_Backspace, "\b"}, {"Delete", Qt::Key_Delete, "\x7f"},
    {"LeftShift", Qt::Key_Shift, ""}, {"RightShift", Qt::Key_Shift, ""},  {"LeftControl", Qt::Key_Control, ""},
    {"RightControl", Qt::Key_Control, ""}, {"LeftAlt", Qt::Key_Alt, ""}, {"RightAlt", Qt::Key_Alt, ""},
    {"Left", Qt::Key_Left, ""},       {"Right", Qt::Key_Right, ""},       {"Up", Qt::Key_Up, ""},
    {"Down", Qt::Key_Down, ""},       {"Home", Qt::Key_Home, ""},         {"End", Qt::Key_End, ""},
    {"PageUp", Qt::Key_PageUp, ""},   {"PageDown", Qt::Key_PageDown, ""}, {"Insert", Qt::Key_Insert, ""},
    {"CapsLock", Qt::Key_CapsLock, ""}, {"NumLock", Qt::Key_NumLock, ""}, {"ScrollLock", Qt::Key_ScrollLock, ""},
    {"Pause", Qt::Key_Pause, ""},     {"F1", Qt::Key_F1, ""},             {"F2", Qt::Key_F2, ""},
    {"F3", Qt::Key_F3, ""},           {"F4", Qt::Key_F4, ""},             {"F5", Qt::Key_F5, ""},
    {"F6", Qt::Key_F6, ""},           {"F7", Qt::Key_F7, ""},             {"F8", Qt::Key_F8, ""},
    {"F9", Qt::Key_F9, ""},           {"F10", Qt::Key_F10, ""},           {"F11", Qt::Key_F11, ""},
    {"F12", Qt::Key_F12, ""},
    // The same keys under their other names; the number pad's arrows and
    // editing keys send the main block's codes.
    {"ArrowLeft", Qt::Key_Left, ""},  {"ArrowRight", Qt::Key_Right, ""},  {"ArrowUp", Qt::Key_Up, ""},
    {"ArrowDown", Qt::Key_Down, ""},  {"NumpadLeft", Qt::Key_Left, ""},   {"NumpadRight", Qt::Key_Right, ""},
    {"NumpadUp", Qt::Key_Up, ""},     {"NumpadDown", Qt::Key_Down, ""},   {"NumpadHome", Qt::Key_Home, ""},
    {"NumpadEnd", Qt::Key_End, ""},   {"NumpadPageUp", Qt::Key_PageUp, ""}, {"NumpadPageDown", Qt::Key_PageDown, ""},
    {"NumpadInsert", Qt::Key_Insert, ""}, {"NumpadDelete", Qt::Key_Delete, "\x7f"},
};

// Qt names printable ASCII keys by their upper-case character.
int qtKeyOfChar(QChar c) {
    return int(c.toUpper().unicode());
}

void readKey(const QJsonValue& key, InputEvent& e) {
    if (key.isString()) {
        for (const NamedKey& k : kNamedKeys) {
            if (key.toString() == QLatin1String(k.name)) {
                e.keyCode = KeyCodes::fromQtKey(k.qtKey);
                e.text = QString::fromLatin1(k.text);
                return;
            }
        }
        return;
    }
    const QJsonObject o = key.toObject();
    const bool keypad = o.contains(QLatin1String("Numpad"));
    const QString ch = o.value(keypad ? QLatin1String("Numpad") : QLatin1String("Char")).toString();
    if (ch.size() != 1)
        return;
    e.keyCode = KeyCodes::fromQtKey(qtKeyOfChar(ch.at(0)), keypad);
    e.text = ch;
}

} // namespace

std::variant<InputScript, QString> InputScript::load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return f.errorString();
    return parse(f.readAll());
}

std::variant<InputScript, QString> InputScript::parse(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return error.errorString();
    if (!doc.isArray())
        return QStringLiteral("input is not a list of events");
    InputScript script;
    for (const QJsonValue& v : doc.array()) {
        const QJsonObject o = v.toObject();
        const QString type = o.value(QLatin1String("type")).toString();
        InputEvent e;
        const QJsonArray pos = o.value(QLatin1String("pos")).toArray();
        if (pos.size() == 2)
            e.pos = QPointF(pos[0].toDouble(), pos[1].toDouble());
        e.leftButton = o.value(QLatin1String("btn")).toString(QStringLiteral("Left")) == QLatin1String("Left");
        if (type == QLatin1String("MouseMove")) {
            e.kind = InputEvent::Kind::MouseMove;
        } else if (type == QLatin1String("MouseDown")) {
            e.kind = InputEvent::Kind::MouseDown;
        } else if (type == QLatin1String("MouseUp")) {
            e.kind = InputEvent::Kind::MouseUp;
        } else if (type == QLatin1String("KeyDown") || type == QLatin1String("KeyUp")) {
            e.kind = type == QLatin1String("KeyDown") ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
            readKey(o.value(QLatin1String("key")), e);
        } else if (type == QLatin1String("TextInput")) {
            e.kind = InputEvent::Kind::TextInput;
            e.text = o.value(QLatin1String("codepoint")).toString();
        } else if (type == QLatin1String("TextControl")) {
            e.kind = InputEvent::Kind::TextControl;
            e.text = o.value(QLatin1String("code")).toString();
        } else if (type == QLatin1String("SetClipboardText")) {
            e.kind = InputEvent::Kind::SetClipboardText;
            e.text = o.value(QLatin1String("text")).toString();
        } else if (type == QLatin1String("Wait")) {
            e.kind = InputEvent::Kind::Wait;
        }
        script.events_.push_back(std::move(e));
    }
    return script;
}
