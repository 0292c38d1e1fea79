#pragma once
#include <optional>

namespace nimbrel::skin {

// Arithmetic of the playback progress bar under the movie: the fill (jindu) grows
// from the track's left end, the thumb (huakuai) rides at its right end, and a
// click on the track (fugai) seeks. All values in twips.
class ProgressBar {
public:
    struct Placement {
        std::optional<int> fillWidth; // empty: the fill keeps its width
        int thumbLeft = 0;
    };

    // jindutiao: the bar for frame of total in a client width SW. Empty when the
    // movie reports no frames: the bar is left as it was. A fill width that would be
    // negative is not applied; the thumb then follows the previous fill width.
    static std::optional<Placement> jindutiao(int frame, int totalFrames, int clientWidth,
                                              int fillLeft, int previousFillWidth);

    // The frame a click on the track asks for. cursorX in screen pixels, tx twips
    // per pixel, windowLeft in twips. The answer always lies within the movie
    // (0 .. totalFrames - 1); empty when there is nothing to seek to. Playback
    // starts after a click whatever this returns.
    static std::optional<int> seekFrame(int cursorX, double tx, int windowLeft, int clientWidth,
                                        int totalFrames);
};

} // namespace nimbrel::skin
