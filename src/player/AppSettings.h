#pragma once
// The one table of the "bfsz" settings: each key with its first-run value and
// the rule a stored value must pass. Everything that reads or writes these keys
// goes through here so a bad value is recognised in one place.
#include <QString>
#include <array>
#include <optional>

namespace nimbrel::platform { class SettingsStore; }

namespace nimbrel::player {

class AppSettings {
public:
    enum class Key {
        mleft, mtop, mwidth, mheight, // window geometry, twips
        bfms,                         // movie fit mode "0", "1", "2"
        ncjc,                         // clipboard watching "true"/"false"
        tmd,                          // opacity: alpha 0..255, or "false" for opaque
        zdbf,                         // auto-play "true"/"false"
        filepath,                     // folder search results were last saved to
        filepath2,                    // folder converted files were last written to
        openpath,                     // folder of the movie last opened through the dialog
    };
    struct Entry {
        Key key;
        const char* name;
        const char* firstRun;  // nullptr: nothing is written when absent
        bool (*valid)(const QString& text);
    };
    static constexpr int KeyCount = 11;

    static QString appName();   // "Nimbrel"
    static QString section();   // "bfsz"
    static const std::array<Entry, KeyCount>& table();
    static const Entry& entry(Key key);

    explicit AppSettings(platform::SettingsStore& store);

    // The stored text as it is, "" when missing.
    QString read(Key key) const;
    // Writes text that passes the key's rule; false when refused or not stored.
    bool write(Key key, const QString& text);
    // Writes the key's first-run value; false for keys without one.
    bool writeFirstRun(Key key);

    static bool isValid(Key key, const QString& text);
    // A position or size in twips: a finite decimal number, fraction allowed.
    static std::optional<double> twips(const QString& text);
    // An alpha value: a whole number 0..255.
    static std::optional<int> alpha(const QString& text);
    // Decimal text for a twips value: no exponent, no trailing zeros.
    static QString twipsText(double value);

    platform::SettingsStore& store() { return store_; }

private:
    platform::SettingsStore& store_;
};

} // namespace nimbrel::player
