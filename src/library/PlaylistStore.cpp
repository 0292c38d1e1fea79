#include "library/PlaylistStore.h"

#include "platform/SettingsStore.h"

#include <cstdlib>

namespace nimbrel::library {

const QString PlaylistStore::kApplication = QStringLiteral("Nimbrel");
const QString PlaylistStore::kSection = QStringLiteral("bflb");

namespace {

void appendTwoDigits(QString& out, int v) {
    v = std::abs(v) % 100;
    out += QLatin1Char(char('0' + v / 10));
    out += QLatin1Char(char('0' + v % 10));
}

} // namespace

PlaylistStore::PlaylistStore(platform::SettingsStore& store, Clock clock)
    : m_store(store), m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); })) {}

QString PlaylistStore::keyFor(const QDateTime& at, qsizetype position) {
    // Built field by field rather than with a date format string: every field is
    // zero-padded to two digits whatever the date, locale or calendar.
    const QDate date = at.date();
    const QTime time = at.time();
    QString key;
    key.reserve(12 + 6);
    appendTwoDigits(key, date.year());
    appendTwoDigits(key, date.month());
    appendTwoDigits(key, date.day());
    appendTwoDigits(key, time.hour());
    appendTwoDigits(key, time.minute());
    appendTwoDigits(key, time.second());
    key += QString::number(position);
    return key;
}

PlaylistStore::SaveResult PlaylistStore::append(const QStringList& entries) {
    SaveResult result;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        // The stamp is taken afresh for every entry; a save within the same second as an
        // earlier one rewrites that save's pairs in place instead of adding new ones.
        if (m_store.setValue(kApplication, kSection, keyFor(m_clock(), i), entries.at(i))) {
            ++result.written;
        } else {
            ++result.failed;
            result.error = m_store.errorString();
        }
    }
    return result;
}

PlaylistStore::SaveResult PlaylistStore::replace(const QStringList& entries) {
    const bool cleared = m_store.deleteSection(kApplication, kSection);
    const QString clearError = cleared ? QString() : m_store.errorString();
    SaveResult result = append(entries);
    result.sectionCleared = cleared;
    if (!cleared && result.error.isEmpty())
        result.error = clearError;
    return result;
}

QStringList PlaylistStore::read() const {
    const QList<platform::SettingsStore::Pair> pairs = m_store.section(kApplication, kSection);
    QStringList entries;
    entries.reserve(pairs.size());
    for (const auto& pair : pairs)
        entries << pair.second;
    return entries;
}

} // namespace nimbrel::library
