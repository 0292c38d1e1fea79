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
};

} // namespace nimbrel::platform
