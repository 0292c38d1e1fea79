#pragma once
// One line of the settings journal: a value written, or a section deleted.
// Lines are UTF-8, fields separated by tabs with backslash escapes, and end
// with a checksum so that a torn or damaged line is recognised.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace nimbrel::platform {

class SettingsRecord {
public:
    enum class Kind { Set, DeleteSection };

    Kind kind = Kind::Set;
    QString app;
    QString section;
    QString key;   // Set only
    QString value; // Set only

    static SettingsRecord set(const QString& app, const QString& section, const QString& key, const QString& value);
    static SettingsRecord deleteSection(const QString& app, const QString& section);

    // The line, ending in '\n'.
    QByteArray encode() const;
    // `line` without its '\n'. Empty when the line is malformed or its checksum does not match.
    static std::optional<SettingsRecord> decode(QByteArrayView line);

    // First line of every journal file.
    static QByteArray header();

    // What can still be read from a damaged line, field by field from its start; a field
    // counts only when its closing tab survived and its text reads cleanly. Nothing here
    // is vouched for by the checksum.
    struct Remains {
        std::optional<Kind> kind;
        std::optional<QString> app, section, key;
        bool deletionShape = false; // tag, names and closing tabs of a section deletion, whole

        // The deletion the line still spells out in full, if it does.
        std::optional<SettingsRecord> deletion() const;
    };
    static Remains remains(QByteArrayView damagedLine);

    // Where a sound line starts inside a damaged one, or -1. A line whose '\n' was
    // lost runs on into the next line, which may well be whole.
    static qsizetype soundTailStart(QByteArrayView damagedLine);
};

} // namespace nimbrel::platform
