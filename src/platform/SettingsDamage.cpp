#include "platform/SettingsDamage.h"

#include <algorithm>

namespace nimbrel::platform {

void SettingsDamage::noteDamaged(const SettingsRecord::Remains& remains) {
    ++m_damagedLines;
    if (remains.deletionShape)
        return; // carried out as the deletion it spells out: no value hangs on it
    if (!remains.app || !remains.section) {
        ++m_unplaced;
        return;
    }
    // The length prefix keeps ("ab","c") apart from ("a","bc").
    const QString app = remains.app->toCaseFolded();
    const QString id = QString::number(app.size()) + QLatin1Char(':') + app + remains.section->toCaseFolded();
    auto row = m_rowOfSection.constFind(id);
    if (row == m_rowOfSection.cend()) {
        m_sections.append(Section{*remains.app, *remains.section, {}, 0});
        row = m_rowOfSection.insert(id, m_sections.size() - 1);
    }
    Section& s = m_sections[*row];
    if (!remains.key) {
        ++s.unnamed;
        return;
    }
    const QString folded = remains.key->toCaseFolded();
    if (std::none_of(s.keys.cbegin(), s.keys.cend(), [&](const QString& k) { return k.toCaseFolded() == folded; }))
        s.keys.append(*remains.key);
}

void SettingsDamage::noteWholeFileLost(const QString& setAsidePath) {
    m_wholeFileLost = true;
    m_copyPath = setAsidePath;
}

} // namespace nimbrel::platform
