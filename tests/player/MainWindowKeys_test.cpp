// The shortcut keys of the main window: served by the 11 ms tick while a window
// of ours is in front, once per stroke, again at each repeat of a held key, and
// left to a text field or a movie that takes them.
#include "KeyMovies.h"
#include "movie/MoviePlayer.h"
#include "MainWindowFixture.h"
#include "imaging/window/ScreenCaptures.h"
#include "platform/ScriptedScreenGrabber.h"
#include "player/CommandTable.h"
#include "player/FlashSurface.h"
#include "player/MainMenus.h"
#include "player/QuickPlayList.h"
#include "player/VolumeControl.h"
#include "player/WindowOptions.h"
#include "skin/SkinElements.h"
#include "skin/SkinPiece.h"
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

using nimbrel::player::frmmain;
using nimbrel::player::VolumeControl;

namespace {

class MainWindowKeysTest : public MainWindowFixture {
protected:
    // A key stroke as the keyboard sends it to the focused widget (or the window).
    static void stroke(frmmain& w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, bool autoRepeat = false,
                       const QString& text = {}) {
        QWidget* to = QApplication::focusWidget() ? QApplication::focusWidget() : &w;
        QKeyEvent press(QEvent::KeyPress, key, mods, text, autoRepeat);
        QApplication::sendEvent(to, &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods, text, autoRepeat);
        QApplication::sendEvent(to, &release);
    }
    void showActive(frmmain& w) {
        w.show();
        w.activateWindow();
        waitFor([&] { return QApplication::activeWindow() == &w; }, 2000);
    }
    QString writeMovie(const QString& name, const QByteArray& bytes) {
        const QString path = dir.path() + "/" + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    std::vector<long> writes() const { return mixer.speakerWrites; }
};

TEST_F(MainWindowKeysTest, OneStrokeFiresOnceAndAHeldKeyAtEachRepeat) {
    auto w = start();
    stroke(*w, Qt::Key_PageUp);
    w->keyTick(true);
    EXPECT_EQ(writes(), std::vector<long>{30000});
    w->keyTick(true);
    w->keyTick(true);
    EXPECT_EQ(writes().size(), 1u) << "one stroke, one step";

    // Held down: the system repeats the press, and each repeat is one more step.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(w.get(), &repeat);
    w->keyTick(true);
    QApplication::sendEvent(w.get(), &repeat);
    w->keyTick(true);
    EXPECT_EQ(writes(), (std::vector<long>{30000, 35000, 40000}));
}

TEST_F(MainWindowKeysTest, VolumeGoesFrom30000UpTo65535AndBack) {
    auto w = start();
    std::vector<int> written;
    QObject::connect(w->volume, &VolumeControl::levelWritten, [&](int level) { written.push_back(level); });
    for (int i = 0; i < 10; ++i) {
        // Keys and the menu item are one command.
        if (i % 2)
            w->menus->MNUPAGEU->trigger();
        else {
            stroke(*w, Qt::Key_PageUp);
            w->keyTick(true);
        }
    }
    const std::vector<long> up = {30000, 35000, 40000, 45000, 50000, 55000, 60000, 65000, 65535, 65535};
    EXPECT_EQ(writes(), up);
    EXPECT_EQ(std::vector<long>(written.begin(), written.end()), up) << "the movie's own level follows the same value";
    EXPECT_DOUBLE_EQ(w->flash->player().soundVolume(), 1.0);

    mixer.speakerWrites.clear();
    for (int i = 0; i < 15; ++i) {
        stroke(*w, Qt::Key_PageDown);
        w->keyTick(true);
    }
    w->menus->MNUPAGED->trigger();
    // The first press down writes the level the last press up reached.
    const std::vector<long> down = {65535, 60535, 55535, 50535, 45535, 40535, 35535, 30535,
                                    25535, 20535, 15535, 10535, 5535,  535,   0,     0};
    EXPECT_EQ(writes(), down);
    EXPECT_EQ(w->volume->level(), 0);
    EXPECT_EQ(w->flash->player().soundVolume(), 0.0) << "the movie's sound follows the last level written";
}

TEST_F(MainWindowKeysTest, WithoutAMixerTheStartSaysSoOnceAndVolumeDoesNothing) {
    mixer.openResult = -2;
    auto w = start();
    EXPECT_TRUE(boxes.messages().isEmpty()) << "told once the window is up, not before";
    ASSERT_TRUE(waitFor([&] { return !boxes.messages().isEmpty(); }));
    QApplication::processEvents();
    ASSERT_EQ(boxes.messages().size(), 1);
    EXPECT_EQ(boxes.messages()[0].text, "Could not open the mixer.");
    EXPECT_EQ(boxes.messages()[0].title, "Volume Control");
    stroke(*w, Qt::Key_PageUp);
    w->keyTick(true);
    w->menus->MNUPAGED->trigger();
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(w->volume->level(), VolumeControl::kStartLevel);
    EXPECT_EQ(boxes.messages().size(), 1);
    EXPECT_EQ(mixer.opens, 1);
}

TEST_F(MainWindowKeysTest, KeysAreIgnoredWhileAnotherProgramIsInFront) {
    storePlaylist({makeMovie("a.swf", 5), makeMovie("b.swf", 5)});
    auto w = start();
    stroke(*w, Qt::Key_Right);
    stroke(*w, Qt::Key_PageUp);
    w->keyTick(false);
    EXPECT_FALSE(w->state().windowActive);
    EXPECT_EQ(w->flash->Movie(), QString());
    // Coming back does not serve what was typed meanwhile.
    w->keyTick(true);
    EXPECT_EQ(w->flash->Movie(), QString());
    EXPECT_TRUE(writes().empty());
}

TEST_F(MainWindowKeysTest, ArrowsStepThroughTheQuickPlayListAndFrames) {
    const QString a = makeMovie("a.swf", 20);
    const QString b = makeMovie("b.swf", 20);
    storePlaylist({a, b});
    auto w = start();
    stroke(*w, Qt::Key_Right);
    w->keyTick(true);
    EXPECT_EQ(w->flash->Movie(), a);
    stroke(*w, Qt::Key_Right);
    w->keyTick(true);
    EXPECT_EQ(w->flash->Movie(), b);
    stroke(*w, Qt::Key_Left);
    w->keyTick(true);
    EXPECT_EQ(w->flash->Movie(), a);

    w->flash->GotoFrame(5);
    const int at = w->flash->FrameNum();
    stroke(*w, Qt::Key_Down);
    w->keyTick(true);
    EXPECT_EQ(w->flash->FrameNum(), at + 1);
    stroke(*w, Qt::Key_Up);
    stroke(*w, Qt::Key_Up);
    w->keyTick(true);
    EXPECT_EQ(w->flash->FrameNum(), at) << "two strokes of one key in one tick count once";
}

TEST_F(MainWindowKeysTest, AMovieTakingTheRightArrowGetsItAndTheNextMovieDoesNotOpen) {
    const QString game = writeMovie("game.swf", keymovies::buttonKeyMovie(2));
    storePlaylist({game, makeMovie("other.swf", 5)});
    auto w = start();
    showActive(*w);
    w->mnuwenjian_Click(1);
    ASSERT_EQ(w->flash->Movie(), game);
    ASSERT_TRUE(waitFor([&] { return !w->flash->IsPlaying(); }));
    w->flash->setFocus();
    QApplication::processEvents();

    stroke(*w, Qt::Key_Right);
    EXPECT_TRUE(w->flash->IsPlaying()) << "the movie's button took the key";
    w->keyTick(true);
    EXPECT_EQ(w->flash->Movie(), game);
    EXPECT_EQ(w->quickPlay->current(), 1);

    // Keys the movie has no use for still work, and F12 always does.
    stroke(*w, Qt::Key_Left);
    stroke(*w, Qt::Key_F12);
    w->keyTick(true);
    EXPECT_TRUE(w->options->isTopmost());
    EXPECT_EQ(w->quickPlay->current(), 1) << "Left at the first entry changes nothing";

    // With the focus elsewhere the arrow is the player's again.
    w->setFocus();
    w->flash->clearFocus();
    QApplication::processEvents();
    stroke(*w, Qt::Key_Right);
    w->keyTick(true);
    EXPECT_EQ(w->quickPlay->current(), 2);
}

TEST_F(MainWindowKeysTest, AMovieListeningToKeysKeepsTheLetterKeys) {
    const QString listener = writeMovie("listener.swf", keymovies::keyListenerMovie());
    auto w = start();
    showActive(*w);
    w->flash->setMovie(listener);
    ASSERT_TRUE(waitFor([&] { return w->flash->player().takesKey(79); }));
    w->flash->setFocus();
    QApplication::processEvents();
    stroke(*w, Qt::Key_O, Qt::NoModifier, false, "o");
    w->keyTick(true);
    EXPECT_TRUE(dialogs.fileRequests().isEmpty());
}

TEST_F(MainWindowKeysTest, TypingOIntoATextFieldOpensNothing) {
    auto w = start();
    showActive(*w);
    auto* field = new QLineEdit(w->client);
    field->show();
    field->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(field->hasFocus() || w->focusWidget() == field);
    for (const char* letter : {"o", "u"}) {
        stroke(*w, letter[0] == 'o' ? Qt::Key_O : Qt::Key_U, Qt::NoModifier, false, letter);
        w->keyTick(true);
    }
    stroke(*w, Qt::Key_Return);
    w->keyTick(true);
    EXPECT_EQ(field->text(), "ou");
    EXPECT_TRUE(dialogs.fileRequests().isEmpty());
    EXPECT_TRUE(boxes.inputs().isEmpty());

    // F4 still closes the window from the field.
    int unloads = 0;
    QObject::connect(w.get(), &frmmain::unloaded, [&] { ++unloads; });
    stroke(*w, Qt::Key_F4);
    w->keyTick(true);
    EXPECT_EQ(unloads, 1);
}

TEST_F(MainWindowKeysTest, KeysTypedIntoADialogAKeyOpenedStayWithIt) {
    auto w = start();
    // The address box that U opens takes "o" while it is up (the tick waits meanwhile).
    w->commands->bind(nimbrel::player::Command::OpenAddress, [&] {
        boxes.inputBox(QStringLiteral("?"));
        stroke(*w, Qt::Key_O, Qt::NoModifier, false, "o");
    });
    stroke(*w, Qt::Key_U);
    w->keyTick(true);
    ASSERT_EQ(boxes.inputs().size(), 1);
    w->keyTick(true);
    EXPECT_TRUE(dialogs.fileRequests().isEmpty());
}

TEST_F(MainWindowKeysTest, WithoutAFieldOAndUOpenTheirDialogs) {
    auto w = start();
    stroke(*w, Qt::Key_O, Qt::ShiftModifier, false, "O");
    w->keyTick(true);
    EXPECT_EQ(dialogs.fileRequests().size(), 1);
    stroke(*w, Qt::Key_U);
    w->keyTick(true);
    EXPECT_EQ(boxes.inputs().size(), 1);
}

TEST_F(MainWindowKeysTest, DeleteRemovesTheSelectedLinesOfTheVisibleList) {
    auto w = start();
    w->show();
    w->bflblist->addItems({"/a.swf", "/b.swf", "/c.swf"});
    w->bflblist->item(1)->setSelected(true);
    stroke(*w, Qt::Key_Delete);
    w->keyTick(true);
    EXPECT_EQ(w->bflblist->count(), 3) << "the playlist panel is not on show";
    w->selectPanel(1);
    QApplication::processEvents();
    w->bflblist->item(1)->setSelected(true);
    stroke(*w, Qt::Key_Delete);
    w->keyTick(true);
    ASSERT_EQ(w->bflblist->count(), 2);
    EXPECT_EQ(w->bflblist->item(0)->text(), "/a.swf");
    EXPECT_EQ(w->bflblist->item(1)->text(), "/c.swf");
}

TEST_F(MainWindowKeysTest, AutoPlayRestartsAStoppedMovieWithinOneTickAndAFrameStepEndsIt) {
    store->setValue("Nimbrel", "bfsz", "zdbf", "true");
    auto w = start();
    w->state().windowActive = true;
    w->flash->setMovie(makeMovie("long.swf", 200));
    w->Timer3_Timer();
    EXPECT_FALSE(w->skin->Image5[0]->isEnabled());
    w->flash->Stop();
    w->Timer3_Timer();
    EXPECT_TRUE(w->flash->IsPlaying()) << "restarted in the tick that saw it stand";

    // Enter does nothing while the play button is the design one and disabled.
    stroke(*w, Qt::Key_Return);
    w->keyTick(true);
    EXPECT_TRUE(w->flash->IsPlaying());

    stroke(*w, Qt::Key_Down);
    w->keyTick(true);
    EXPECT_FALSE(w->state().autoPlay);
    const int at = w->flash->FrameNum();
    w->Timer3_Timer();
    w->Timer3_Timer();
    EXPECT_FALSE(w->flash->IsPlaying());
    EXPECT_EQ(w->flash->FrameNum(), at);
    EXPECT_TRUE(w->skin->Image5[0]->isEnabled());
    EXPECT_EQ(w->skin->Image5[0]->toolTip(), "play");

    // Now Enter plays, and the next tick shows it running.
    stroke(*w, Qt::Key_Return);
    w->keyTick(true);
    EXPECT_TRUE(w->flash->IsPlaying());
    EXPECT_EQ(w->state().playState, nimbrel::skin::PlayState::Stop);
}

TEST_F(MainWindowKeysTest, EscStopsTheMovieAndHandsOpacityBackAfterwards) {
    store->setValue("Nimbrel", "bfsz", "tmd", "125");
    auto w = start();
    w->state().windowActive = true;
    w->flash->setMovie(makeMovie("m.swf", 200));
    ASSERT_TRUE(w->flash->IsPlaying());
    nimbrel::platform::ScriptedScreenGrabber grabber({QImage(64, 48, QImage::Format_RGB32), {}});
    w->captures->setGrabber(&grabber);
    stroke(*w, Qt::Key_Escape);
    w->keyTick(true);
    EXPECT_FALSE(w->flash->IsPlaying());
    EXPECT_DOUBLE_EQ(w->windowOpacity(), 1.0);
    EXPECT_TRUE(w->state().layered);
    EXPECT_EQ(setting("tmd"), "125");
    // Opacity comes back only once the capture is over.
    ASSERT_TRUE(waitFor([&] { return w->captures->overlay() != nullptr; }));
    w->Timer3_Timer();
    EXPECT_DOUBLE_EQ(w->windowOpacity(), 1.0);
    w->captures->overlay()->releaseAt(Qt::RightButton, {});
    w->Timer3_Timer();
    EXPECT_NEAR(w->windowOpacity(), 125 / 255.0, 0.005);
    EXPECT_FALSE(w->options->opacityRestorePending());
    w->Timer3_Timer();
    EXPECT_NEAR(w->windowOpacity(), 125 / 255.0, 0.005) << "restored once";

    // Opaque: Esc only stops the movie, and nothing is restored later.
    w->menus->munbtm2->trigger();
    w->flash->Play();
    stroke(*w, Qt::Key_Escape);
    w->keyTick(true);
    EXPECT_FALSE(w->flash->IsPlaying());
    EXPECT_FALSE(w->options->opacityRestorePending());
    ASSERT_TRUE(waitFor([&] { return grabber.grabs() == 2; }));

    // Minimised: Esc does nothing at all.
    w->menus->MNUBF[3]->trigger();
    w->setWindowState(Qt::WindowMinimized);
    w->flash->Play();
    stroke(*w, Qt::Key_Escape);
    w->keyTick(true);
    EXPECT_TRUE(w->flash->IsPlaying());
    EXPECT_FALSE(waitFor([&] { return grabber.grabs() > 2; }, 400)) << "no capture starts";
    EXPECT_NEAR(w->windowOpacity(), 100 / 255.0, 0.005);
}

} // namespace
