#pragma once
// Font files standing in for device fonts, and the families that the generic
// names _sans, _serif and _typewriter go to. Empty until someone registers:
// a user's player keeps the machine's fontconfig mapping, while a run that
// must not depend on the machine ships its own fonts and names them here.
// One table for the process, as the machine's fonts are.
#include <QHash>
#include <QString>
#include <QStringList>
#include <mutex>
#include <optional>
#include <vector>

namespace nimbrel::movie::host {

class DeviceFontRegistry {
public:
    enum class Generic { Sans, Serif, Typewriter };

    static DeviceFontRegistry& instance();

    // Loads a font file and answers lookups of `family` with it. Returns an
    // error message when the file cannot be read as a font.
    std::optional<QString> addFontFile(const QString& family, const QString& path);
    // The families, in order of preference, a generic name goes to.
    void setDefaultFamilies(Generic generic, const QStringList& families);
    // Drops every registered file and default, back to the machine's mapping.
    void reset();

    // The loaded family registered under `family` (case-insensitive), empty if none.
    QString registeredFamily(const QString& family) const;
    // The first default of `generic` that is registered or installed, empty if none.
    QString defaultFamily(Generic generic) const;
    // Changes whenever the table does, so caches of faces know to start again.
    quint64 generation() const;

private:
    DeviceFontRegistry() = default;
    mutable std::mutex lock_;
    QHash<QString, QString> families_; // lower-case name -> loaded family
    std::vector<int> loadedIds_;
    QHash<int, QStringList> defaults_;
    quint64 generation_ = 0;
};

} // namespace nimbrel::movie::host
