#pragma once
#include <QString>
#include <array>
#include <optional>

namespace nimbrel::skin {

// The three ways the movie is fitted to its surface ("播放模式"), each a menu item,
// a stored value under "bfms" and a ScaleMode of the movie surface.
class FitMode {
public:
    enum class Item { mnuszck, mnuchang, mnuchanggao };

    struct Choice {
        int scaleMode = 0;      // ScaleMode of the movie surface
        QString stored;         // value written under "bfms"
        int checkIndex = 1;     // argument of ms(): 1, 2 or 3
        bool operator==(const Choice&) const = default;
    };

    static QString settingKey() { return QStringLiteral("bfms"); }
    static QString caption(Item item);

    static Choice choose(Item item);
    // ms(n): the check marks of mnuszck, mnuchang and mnuchanggao; only the chosen
    // one is checked. Any n other than 1..3 changes nothing.
    static std::optional<std::array<bool, 3>> ms(int n);
    // The item a stored "bfms" value stands for; other text stands for none.
    static std::optional<Item> fromStored(const QString& value);
};

} // namespace nimbrel::skin
