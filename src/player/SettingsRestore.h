#pragma once
// What the main window restores from "bfsz" at start (regjc), worked out from the
// store without touching any widget. First-run values are written on the way.
// Values that fail their rule are left alone: the window keeps its design value
// for them and the stored text is not overwritten.
#include <optional>

namespace nimbrel::player {

class AppSettings;

class SettingsRestore {
public:
    struct Result {
        // Each geometry value in whole twips; unset ones keep the design value.
        std::optional<int> left, top, width, height;
        std::optional<int> scaleMode;        // 0..2; unset: fit mode stays as designed
        std::optional<bool> clipboardWatch;  // unset: flag and caption unchanged
        std::optional<int> alpha;            // set: the window becomes see-through
        std::optional<bool> autoPlay;        // unset: flag and caption unchanged
    };

    static Result regjc(AppSettings& settings);
};

} // namespace nimbrel::player
