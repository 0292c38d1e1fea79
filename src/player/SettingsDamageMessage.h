#pragma once
// The one message told at start when the settings store found damaged lines: which
// settings were lost, in the user's words. The store has already rewritten the file
// with everything else, so the next start has nothing to tell.
#include <QString>

namespace nimbrel::platform { class SettingsDamage; }

namespace nimbrel::player {

class SettingsDamageMessage {
public:
    // "" when nothing was lost.
    static QString text(const platform::SettingsDamage& damage);

private:
    static constexpr int MostNamesShown = 8;
};

} // namespace nimbrel::player
