#pragma once
// The transport commands of the main window: the six buttons Image5(0..5) and
// their control-menu items, zoom, saving the current movie, and the play/pause
// button following the movie. A button, its menu item and its key all end here.
#include "player/QuickPlayList.h"
#include "skin/SkinHoverState.h"
#include <QObject>

namespace nimbrel::player {

class frmmain;

class TransportController : public QObject {
    Q_OBJECT
public:
    explicit TransportController(frmmain& window);

    // 0 play/pause, 1 stop, 2 previous movie, 3 previous frame, 4 next frame, 5 next movie.
    void Image5_Click(int index);
    void MNUfd_Click(); // zoom in
    void MNUSx_Click(); // zoom out
    void MNUDQ_Click(); // save the current movie under a new name

    // Carries out what a quick-play step asks: the movie, the navigation buttons,
    // the movie view, or the missing-file message.
    void applyStep(const QuickPlayList::Step& step);

    // The play/pause state for a movie whose frame was lastFrame at the previous
    // 100 ms tick and is frame now: a frame that did not move means it stands still.
    static skin::PlayState stateFor(int lastFrame, int frame);
    // One 100 ms step. Auto-play on: the play button is disabled and a movie
    // that stands still is played again. Off: the play button shows the pause
    // picture and "stop" while the movie runs, the play picture and "play"
    // while it stands. The frame seen is remembered for the next tick.
    void followMovie();

private:
    // The player's play state, and the play button's picture and tooltip from it.
    void showPlayState(skin::PlayState state);

    frmmain& w_;
};

} // namespace nimbrel::player
