#pragma once
// What damaged lines of the settings journal cost, so that the user can be told:
// per section, the keys whose lines were damaged, or how many lines when the key
// can no longer be read from them. Such a key now holds an older value, or none.
#include "platform/SettingsRecord.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace nimbrel::platform {

class SettingsDamage {
public:
    struct Section {
        QString app;
        QString name;
        QStringList keys; // as spelled in the damaged lines, each once
        int unnamed = 0;  // damaged lines of this section whose key could not be read

        bool operator==(const Section&) const = default;
    };

    // True when no value was lost.
    bool isEmpty() const { return !m_wholeFileLost && m_unplaced == 0 && m_sections.isEmpty(); }
    // Sections that lost values, in the order their damage was found.
    const QList<Section>& sections() const { return m_sections; }
    // Damaged stretches from which not even the section could be read.
    int unplaced() const { return m_unplaced; }
    // Every damaged line seen, including section deletions that could still be carried out.
    int damagedLines() const { return m_damagedLines; }
    // Nothing at all could be read: the file was set aside whole and the store started empty.
    bool wholeFileLost() const { return m_wholeFileLost; }
    // Where the damaged bytes were kept, "" while no copy was made.
    QString copyPath() const { return m_copyPath; }

    void noteDamaged(const SettingsRecord::Remains& remains);
    void noteWholeFileLost(const QString& setAsidePath);
    void setCopyPath(const QString& path) { m_copyPath = path; }

private:
    QList<Section> m_sections;
    QHash<QString, qsizetype> m_rowOfSection; // folded app and section -> row in m_sections
    int m_unplaced = 0;
    int m_damagedLines = 0;
    bool m_wholeFileLost = false;
    QString m_copyPath;
};

} // namespace nimbrel::platform
