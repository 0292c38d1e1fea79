#include "player/SettingsRestore.h"
#include "player/AppSettings.h"
#include <cmath>

namespace nimbrel::player {

namespace {
using Key = AppSettings::Key;

std::optional<int> wholeTwips(const AppSettings& settings, Key key) {
    const QString text = settings.read(key);
    if (!AppSettings::isValid(key, text))
        return std::nullopt;
    // Halves round to even, as the stored values were always rounded.
    return static_cast<int>(std::nearbyint(*AppSettings::twips(text)));
}

std::optional<bool> trueFalse(AppSettings& settings, Key key, bool setWhenEmpty) {
    const QString text = settings.read(key);
    if (text == "true")
        return true;
    if (text == "false")
        return false;
    if (text.isEmpty()) {
        settings.writeFirstRun(key);
        return setWhenEmpty ? std::optional<bool>(false) : std::nullopt;
    }
    return std::nullopt;
}
} // namespace

SettingsRestore::Result SettingsRestore::regjc(AppSettings& settings) {
    Result r;

    if (!settings.read(Key::mleft).isEmpty()) {
        r.left = wholeTwips(settings, Key::mleft);
        r.top = wholeTwips(settings, Key::mtop);
        r.width = wholeTwips(settings, Key::mwidth);
        r.height = wholeTwips(settings, Key::mheight);
    }

    const QString bfms = settings.read(Key::bfms);
    if (AppSettings::isValid(Key::bfms, bfms))
        r.scaleMode = bfms.toInt();
    else if (bfms.isEmpty())
        settings.writeFirstRun(Key::bfms);

    r.clipboardWatch = trueFalse(settings, Key::ncjc, true);

    const QString tmd = settings.read(Key::tmd);
    if (tmd.isEmpty() || tmd == "false")
        settings.writeFirstRun(Key::tmd);
    else
        r.alpha = AppSettings::alpha(tmd);

    r.autoPlay = trueFalse(settings, Key::zdbf, false);
    return r;
}

} // namespace nimbrel::player
