#include "player/TransportController.h"
#include "platform/MessageBoxes.h"
#include "player/FlashSurface.h"
#include "player/frmmain.h"
#include "services/MovieSaver.h"
#include "skin/SkinElements.h"
#include "skin/SkinPiece.h"

namespace nimbrel::player {

using platform::MessageBoxes;
using services::MovieSaver;
using skin::PlayState;

TransportController::TransportController(frmmain& window) : QObject(&window), w_(window) {}

void TransportController::Image5_Click(int index) {
    FlashSurface& flash = *w_.flash;
    switch (index) {
    case 0:
        // Before the first tick (the design state) the button does nothing.
        if (w_.state().playState == PlayState::Stop) {
            flash.Stop();
            showPlayState(PlayState::Play);
        } else if (w_.state().playState == PlayState::Play) {
            showPlayState(PlayState::Stop);
            flash.Play();
        }
        break;
    case 1:
        flash.Rewind();
        flash.Stop();
        break;
    case 2:
        applyStep(w_.quickPlay->previous());
        break;
    case 3:
    case 4:
        // Stepping means the user wants the movie to stand at that frame.
        w_.state().autoPlay = false;
        flash.GotoFrame(flash.FrameNum() + (index == 3 ? -1 : 1));
        break;
    case 5:
        applyStep(w_.quickPlay->next());
        break;
    default:
        break;
    }
}

void TransportController::MNUfd_Click() { w_.flash->Zoom(50); }
void TransportController::MNUSx_Click() { w_.flash->Zoom(200); }

void TransportController::MNUDQ_Click() {
    const QString movie = w_.flash->Movie();
    auto show = [this](const MovieSaver::Outcome& o) {
        w_.boxes().message(o.message, o.title,
                           o.informationIcon ? MessageBoxes::Icon::Information : MessageBoxes::Icon::None);
    };
    if (const auto missing = MovieSaver::checkMovie(movie)) {
        show(*missing);
        return;
    }
    w_.Dialog().setDialogTitle(MovieSaver::kDialogTitle);
    w_.Dialog().ShowSave();
    show(MovieSaver::save(movie, w_.Dialog().FileName()));
}

void TransportController::applyStep(const QuickPlayList::Step& step) {
    using Kind = QuickPlayList::Step::Kind;
    switch (step.kind) {
    case Kind::Nothing:
        return;
    case Kind::MissingFile:
        w_.boxes().message(QuickPlayList::kMissingFileText, QuickPlayList::kMissingFileTitle,
                           MessageBoxes::Icon::Information);
        return;
    case Kind::Cleared:
        break;
    case Kind::Load:
        w_.flash->setMovie(step.movie);
        if (step.callPlay)
            w_.flash->Play();
        break;
    }
    if (step.previousEnabled)
        w_.skin->Image5[2]->setEnabled(*step.previousEnabled);
    if (step.nextEnabled)
        w_.skin->Image5[5]->setEnabled(*step.nextEnabled);
    if (step.showMovieView)
        w_.showMovieView();
}

PlayState TransportController::stateFor(int lastFrame, int frame) {
    return frame == lastFrame ? PlayState::Play : PlayState::Stop;
}

void TransportController::followMovie() {
    const int frame = w_.flash->FrameNum();
    const bool standsStill = frame == w_.state().lastFrameNum;
    if (w_.state().autoPlay) {
        // The movie's own pauses are skipped: it goes on in the tick that notices them.
        w_.skin->Image5[0]->setEnabled(false);
        if (standsStill)
            w_.flash->Play();
    } else {
        w_.skin->Image5[0]->setEnabled(true);
        showPlayState(stateFor(w_.state().lastFrameNum, frame));
    }
    w_.state().lastFrameNum = frame;
}

void TransportController::showPlayState(PlayState state) {
    w_.state().playState = state;
    w_.skin->setPlayState(state);
}

} // namespace nimbrel::player
