#pragma once
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <vector>

namespace nimbrel::skin {

// Every picture of the skin, drawn in code at the size of the artwork it stands for.
// A dark graphite frame with a blue accent; icons are vector glyphs.
class Artwork {
public:
    enum class Piece {
        Up1, Up2, Up3,       // top bar: left part, middle (stretched), right end
        Down1, Down2, Down3, // bottom bar: left part, middle (stretched), right end
        Hen1, Hen2,          // left and right borders (stretched)

        // Title buttons: normal (Image10, Image8's design pictures) and highlighted (Image9).
        TitleMinimise, TitleMaximise, TitleClose,
        TitleMinimiseHot, TitleMaximiseHot, TitleCloseHot,

        // Transport buttons' normal pictures (Image7, Image5's design pictures).
        Play, Stop, PreviousMovie, PreviousFrame, NextFrame, NextMovie,
        // Alternative transport pictures (Image6): hovered buttons 0..5, the pause
        // picture shown while a movie runs (6) and the hovered pause picture (7).
        PlayHot, StopHot, PreviousMovieHot, PreviousFrameHot, NextFrameHot, NextMovieHot,
        Pause, PauseHot,

        TabPressed, // down: the current tab's background
        TabHovered, // bmove: a hovered tab's background

        ProgressFill,  // jindu (stretched)
        ProgressThumb, // huakuai

        QuickMenu,    // Image4: quick-play menu button
        QuickMenuHot, // Image3: the same, highlighted

        SeekCursor, // pointer over the progress track, hot spot (12, 1)
    };

    static std::vector<Piece> all();
    static QString name(Piece piece);
    static QSize size(Piece piece);
    static QImage image(Piece piece);
    static QPixmap pixmap(Piece piece);

    // Image7(i) / Image5(i) at start: the normal picture of transport button i.
    static Piece transportNormal(int index);
    // Image6(i), i = 0..7.
    static Piece transportAlternative(int index);
    // Image10(i) when hot is false, Image9(i) when it is true.
    static Piece titleButton(int index, bool hot);
};

} // namespace nimbrel::skin
