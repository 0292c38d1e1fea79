#pragma once
#include <array>

namespace nimbrel::skin {

// Picture shown by a tab background (ontime).
enum class TabPicture { None, Pressed, Hovered };

// Picture shown by a transport button: its normal picture (Image7(i)), its hover
// picture (Image6(i)), and for the play/pause button the pause picture (Image6(6))
// and the hovered pause picture (Image6(7)).
enum class TransportPicture { Normal, Hover, Pause, PauseHover };

// The play/pause state kept in the play button's tooltip: "play" while the movie
// stands still, "stop" while it runs, and the design text before the first tick.
enum class PlayState { Design, Play, Stop };

// What every hover-sensitive element of the skin currently shows.
struct SkinHoverState {
    std::array<bool, 4> stripHighlighted{};        // Label2: highlight colour instead of normal
    std::array<TabPicture, 4> tabs{TabPicture::Pressed, TabPicture::None, TabPicture::None,
                                   TabPicture::None};
    std::array<bool, 3> titleHighlighted{};        // Image8: Image9(i) instead of Image10(i)
    bool quickMenuHighlighted = false;             // Image2: Image3 instead of Image4
    std::array<TransportPicture, 6> transport{};   // Image5

    bool operator==(const SkinHoverState&) const = default;
};

} // namespace nimbrel::skin
