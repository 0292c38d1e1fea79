#pragma once
// A case's input.json: pointer and key events with "Wait" marking each frame
// advance between them. Key names become the movie's key codes and the text
// the key types, as the player widget would hand them over.
#include <QPointF>
#include <QString>
#include <variant>
#include <vector>

struct InputEvent {
    enum class Kind { MouseMove, MouseDown, MouseUp, KeyDown, KeyUp, TextInput, TextControl, SetClipboardText, Wait, Other };
    Kind kind = Kind::Other;
    QPointF pos;          // viewport pixels
    bool leftButton = true;
    int keyCode = 0;      // movie key code; 0 for a key movies cannot name
    QString text;         // what the key or text input types, the clipboard's new text,
                          // or the name of a text control ("Paste", "SelectAll", ...)
};

class InputScript {
public:
    // The events of a file; an error text when it cannot be read or is not a list of events.
    static std::variant<InputScript, QString> load(const QString& path);
    static std::variant<InputScript, QString> parse(const QByteArray& json);

    const std::vector<InputEvent>& events() const { return events_; }

private:
    std::vector<InputEvent> events_;
};
