#pragma once
// The on/off options of the option strip (auto-play, clipboard watching) decide
// from their stored value, not from the flag in memory: "true" turns the option
// off, "false" turns it on, anything else (absent included) turns it off.
#include <QString>

namespace nimbrel::services {

class StripToggle {
public:
    struct Captions {
        QString off;  // shown while the option is off, e.g. "自动播放"
        QString on;   // shown while it is on, e.g. "取消自动播放"
    };
    struct Outcome {
        bool on = false;
        QString stored;   // "true" / "false", written at once
        QString caption;  // for both the strip label and the menu item
    };

    static Captions autoPlay();       // "自动播放" / "取消自动播放"
    static Captions clipboardWatch(); // "内存监控" / "取消内存监控"

    static Outcome toggle(const QString& stored, const Captions& captions);
    // The caption for a state read at start.
    static QString caption(bool on, const Captions& captions) { return on ? captions.on : captions.off; }
};

} // namespace nimbrel::services
