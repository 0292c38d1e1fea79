#include "platform/SettingsIndex.h"

namespace nimbrel::platform {

QString SettingsIndex::sectionId(const QString& app, const QString& section) {
    // The length prefix keeps ("ab","c") apart from ("a","bc").
    const QString a = app.toCaseFolded();
    return QString::number(a.size()) + QLatin1Char(':') + a + section.toCaseFolded();
}

void SettingsIndex::clear() {
    m_sectionRow.clear();
    m_sections.clear();
    m_records = 0;
    m_live = 0;
}

void SettingsIndex::apply(const SettingsRecord& record) {
    ++m_records;
    const QString id = sectionId(record.app, record.section);
    if (record.kind == SettingsRecord::Kind::DeleteSection) {
        const auto it = m_sectionRow.constFind(id);
        if (it != m_sectionRow.cend()) {
            Section& s = m_sections[*it];
            m_live -= s.pairs.size();
            s = Section{};
            m_sectionRow.erase(it);
        }
        return;
    }

    auto it = m_sectionRow.constFind(id);
    if (it == m_sectionRow.cend()) {
        m_sections.append(Section{record.app, record.section, {}, {}});
        it = m_sectionRow.insert(id, m_sections.size() - 1);
    }
    Section& s = m_sections[*it];
    const QString folded = record.key.toCaseFolded();
    const auto row = s.rowOfKey.constFind(folded);
    if (row != s.rowOfKey.cend()) {
        s.pairs[*row].second = record.value;
    } else {
        s.rowOfKey.insert(folded, s.pairs.size());
        s.pairs.append({record.key, record.value});
        ++m_live;
    }
}

QString SettingsIndex::value(const QString& app, const QString& section, const QString& key) const {
    const auto it = m_sectionRow.constFind(sectionId(app, section));
    if (it == m_sectionRow.cend())
        return QString();
    const Section& s = m_sections[*it];
    const auto row = s.rowOfKey.constFind(key.toCaseFolded());
    return row == s.rowOfKey.cend() ? QString() : s.pairs[*row].second;
}

QList<SettingsIndex::Pair> SettingsIndex::section(const QString& app, const QString& section) const {
    const auto it = m_sectionRow.constFind(sectionId(app, section));
    return it == m_sectionRow.cend() ? QList<Pair>() : m_sections[*it].pairs;
}

QList<SettingsRecord> SettingsIndex::liveRecords() const {
    QList<SettingsRecord> out;
    out.reserve(m_live);
    for (const Section& s : m_sections) {
        for (const Pair& p : s.pairs)
            out.append(SettingsRecord::set(s.app, s.name, p.first, p.second));
    }
    return out;
}

} // namespace nimbrel::platform
