#pragma once
// The script data of an FLV tag (onMetaData, onCuePoint): a name and a value
// in AMF0, read into a plain tree the interpreter turns into its objects.
#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace nimbrel::movie::video {

struct ScriptMember;

struct ScriptValue {
    enum Kind { Undefined, Null, Number, Boolean, String, Object, Array, Date };
    Kind kind = Undefined;
    double number = 0; // also a date's milliseconds
    bool boolean = false;
    QString string;
    std::vector<ScriptMember> members; // Object, and named entries of Array
    std::vector<ScriptValue> items;                       // Array

    const ScriptValue* member(const QString& name) const;
};

// A named entry; a struct of its own because a pair cannot hold the still
// incomplete ScriptValue under every standard library.
struct ScriptMember {
    QString name;
    ScriptValue value;
};

struct ScriptMessage {
    QString name;
    ScriptValue value;
};

class ScriptData {
public:
    static constexpr int maxDepth = 64;
    // The message, or the reason the bytes are not one.
    static std::optional<ScriptMessage> parse(const QByteArray& data, QString* error = nullptr);
};

} // namespace nimbrel::movie::video
