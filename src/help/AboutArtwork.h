#pragma once
// The about window's two pictures, drawn in code in the skin's colours: a dark
// graphite banner with a blue accent and the program's icon.
#include <QPixmap>
#include <QSize>

namespace nimbrel::help {

class AboutArtwork {
public:
    static constexpr QSize BannerSize{256, 51};
    static constexpr QSize IconSize{48, 48};

    static QPixmap banner(); // Image2
    static QPixmap icon();   // Image1
};

} // namespace nimbrel::help
