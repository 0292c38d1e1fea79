#pragma once
// In-memory view of the settings journal: the records replayed in order.
// Names are matched by their case-folded form; the spelling first written is kept.
#include "platform/SettingsRecord.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

namespace nimbrel::platform {

class SettingsIndex {
public:
    using Pair = QPair<QString, QString>;

    void apply(const SettingsRecord& record);
    void clear();

    QString value(const QString& app, const QString& section, const QString& key) const;
    QList<Pair> section(const QString& app, const QString& section) const;

    // Records replayed since the last clear, and how many of them still count.
    qsizetype recordCount() const { return m_records; }
    qsizetype liveCount() const { return m_live; }
    // The fewest records that rebuild the current state, sections in first-written order.
    QList<SettingsRecord> liveRecords() const;

private:
    struct Section {
        QString app;
        QString name;
        QList<Pair> pairs;
        QHash<QString, qsizetype> rowOfKey; // folded key -> row in pairs
    };
    static QString sectionId(const QString& app, const QString& section);

    QHash<QString, qsizetype> m_sectionRow; // sectionId -> row in m_sections
    QList<Section> m_sections;              // deleted sections leave an empty slot until clear()
    qsizetype m_records = 0;
    qsizetype m_live = 0;
};

} // namespace nimbrel::platform
