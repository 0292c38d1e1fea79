#pragma once
// The one stored playlist: section "bflb" of application "Nimbrel" in the settings
// store, one pair per entry. The key is a 12-digit local time stamp "yymmddhhmmss"
// followed by the entry's 0-based position; the value is the path as it stood in the
// playlist panel. Keys are never read back: the playlist is the values in the order
// the store enumerates them, so keys written by any earlier version still read.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

namespace nimbrel::platform {
class SettingsStore;
}

namespace nimbrel::library {

class PlaylistStore {
public:
    using Clock = std::function<QDateTime()>;

    struct SaveResult {
        qsizetype written = 0; // pairs written
        qsizetype failed = 0;  // pairs the store refused (disk full, no permission)
        bool sectionCleared = true; // false when a replace could not delete the old list
        QString error;         // the store's reason for the last refusal
        bool ok() const { return failed == 0 && sectionCleared; }
    };

    static const QString kApplication; // "Nimbrel"
    static const QString kSection;     // "bflb"

    // `clock` gives the local time each key is stamped with; the system clock by default.
    explicit PlaylistStore(platform::SettingsStore& store, Clock clock = {});

    // "保存当前列表" (MNUBCDA): adds the entries after those already stored.
    SaveResult append(const QStringList& entries);
    // "删除以前所有保存当前列表" (MNUSCYQSY): the entries become the whole stored list.
    SaveResult replace(const QStringList& entries);
    // The stored entries in stored order ("读取列表" and the quick-play list at start-up).
    QStringList read() const;

    // The key of the entry at `position` written at local time `at`. The stamp always has
    // exactly 12 digits, so a key splits into stamp and position one way only: position 10
    // of one second can never meet position 1 (or 0) of another.
    static QString keyFor(const QDateTime& at, qsizetype position);

private:
    platform::SettingsStore& m_store;
    Clock m_clock;
};

} // namespace nimbrel::library
