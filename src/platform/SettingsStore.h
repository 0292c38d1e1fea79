#pragma once
// Per-user store of text values addressed by application, section and key.
// Names are matched without regard to letter case; a missing value reads as "".
// Lives under $XDG_CONFIG_HOME/Nimbrel/ (default ~/.config/Nimbrel/); safe against
// a writer killed mid-write and against several processes writing at once.
#include "platform/SettingsDamage.h"

#include <QString>
#include <QList>
#include <QPair>
#include <memory>

namespace nimbrel::platform {

class SettingsStore {
public:
    using Pair = QPair<QString, QString>;

    // Opens the store in the default folder, or in `folder` when given (tests).
    explicit SettingsStore(const QString& folder = QString());
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    QString value(const QString& app, const QString& section, const QString& key) const;
    // Returns false when the value could not be written (disk full, no permission).
    bool setValue(const QString& app, const QString& section, const QString& key, const QString& value);
    // Pairs of a section in the order their keys were first written (overwriting keeps the
    // place; after deleteSection() the order starts afresh). Keys keep their first spelling.
    QList<Pair> section(const QString& app, const QString& section) const;
    bool deleteSection(const QString& app, const QString& section);

    // Folder the store lives in, and where the bytes of a damaged store file found at open
    // (or later) were kept, "settings.log.corrupt-<date>-<time>" beside it ("" if none).
    // Damaged lines cost only themselves: the file keeps every sound line and is rewritten
    // with them once a copy of the damaged bytes is safe. A file of which nothing can be
    // read is moved there whole and the store starts empty.
    QString folder() const;
    QString setAsidePath() const;
    // What damaged lines cost, for telling the user once.
    SettingsDamage damage() const;
    // Why the last failed write failed, for messages.
    QString errorString() const;

    static QString defaultFolder();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace nimbrel::platform
