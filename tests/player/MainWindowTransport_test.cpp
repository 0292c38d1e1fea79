// Transport buttons, quick-play navigation and saving the current movie, through the
// real main window.
#include "MainWindowFixture.h"
#include "player/FlashSurface.h"
#include "player/MainMenus.h"
#include "player/QuickPlayList.h"
#include "player/QuickPlayMenu.h"
#include "player/TransportController.h"
#include "skin/SkinElements.h"
#include "skin/SkinPiece.h"
#include <QAction>
#include <QFileInfo>
#include <QMenu>

using nimbrel::platform::MessageBoxes;
using nimbrel::skin::PlayState;

namespace {

class MainWindowTransportTest : public MainWindowFixture {
protected:
    static bool previousEnabled(const nimbrel::player::frmmain& w) { return w.skin->Image5[2]->isEnabled(); }
    static bool nextEnabled(const nimbrel::player::frmmain& w) { return w.skin->Image5[5]->isEnabled(); }
    static QList<int> checkedEntries(const nimbrel::player::frmmain& w) {
        QList<int> out;
        for (int k = 1; k <= w.quickPlayMenu->count(); ++k)
            if (w.quickPlayMenu->entry(k)->isChecked())
                out << k;
        return out;
    }
};

TEST_F(MainWindowTransportTest, NextAndPreviousFollowTheButtonRulesAtBothEnds) {
    storePlaylist({"/m/1.swf", "/m/2.swf", "/m/3.swf"});
    auto w = start();
    EXPECT_TRUE(previousEnabled(*w));
    EXPECT_TRUE(nextEnabled(*w));

    w->Image5_Click(5); // from "before the first" to entry 1
    EXPECT_EQ(w->flash->Movie(), "/m/1.swf");
    EXPECT_EQ(checkedEntries(*w), QList<int>{1});
    w->menus->MNUXIAYIGE->trigger(); // the menu item runs the same command
    EXPECT_EQ(w->flash->Movie(), "/m/2.swf");
    EXPECT_TRUE(previousEnabled(*w));
    w->Image5_Click(5);
    EXPECT_EQ(w->flash->Movie(), "/m/3.swf");
    EXPECT_FALSE(nextEnabled(*w));
    EXPECT_EQ(checkedEntries(*w), QList<int>{3});
    // Past the end from the menu: nothing changes.
    w->menus->MNUXIAYIGE->trigger();
    EXPECT_EQ(w->flash->Movie(), "/m/3.swf");
    EXPECT_EQ(w->quickPlay->current(), 3);

    w->Image5_Click(2);
    EXPECT_EQ(w->flash->Movie(), "/m/2.swf");
    EXPECT_TRUE(nextEnabled(*w));
    w->menus->mnuup->trigger();
    EXPECT_EQ(w->flash->Movie(), "/m/1.swf");
    EXPECT_FALSE(previousEnabled(*w));
    EXPECT_EQ(checkedEntries(*w), QList<int>{1});
    w->Image5_Click(2);
    EXPECT_EQ(w->quickPlay->current(), 1);
}

TEST_F(MainWindowTransportTest, ChoosingAnEntryPlaysItOrSaysItIsMissing) {
    const QString real = makeFile("real.swf", 100);
    storePlaylist({"/gone/missing.swf", real});
    auto w = start();
    emit w->skin->tabPressed(1);

    w->quickPlayMenu->entry(1)->trigger();
    ASSERT_EQ(boxes.messages().size(), 1);
    EXPECT_EQ(boxes.messages()[0].text, QStringLiteral("该文件不存在"));
    EXPECT_EQ(boxes.messages()[0].title, QStringLiteral("Quorvane Nimbrel"));
    EXPECT_EQ(boxes.messages()[0].icon, MessageBoxes::Icon::Information);
    EXPECT_FALSE(w->quickPlayMenu->entry(1)->isChecked()); // a click alone does not check it
    EXPECT_EQ(w->currentPanel(), 1);
    EXPECT_EQ(w->quickPlay->current(), 0);

    w->quickPlayMenu->entry(2)->trigger();
    EXPECT_EQ(boxes.messages().size(), 1);
    EXPECT_EQ(w->flash->Movie(), real);
    EXPECT_EQ(checkedEntries(*w), QList<int>{2});
    EXPECT_EQ(w->currentPanel(), 0);
    EXPECT_FALSE(w->flash->isHidden());
    EXPECT_TRUE(w->bflb->isHidden());
    // The last entry: the next button goes, the previous one comes.
    EXPECT_FALSE(nextEnabled(*w));
    EXPECT_TRUE(previousEnabled(*w));
}

TEST_F(MainWindowTransportTest, SavingTheCurrentMovie) {
    auto w = start();
    // Nothing loaded: not a file.
    w->menus->MNUDQ->trigger();
    ASSERT_EQ(boxes.messages().size(), 1);
    EXPECT_EQ(boxes.messages()[0].text, QStringLiteral("这个文件不存在,请检查"));
    EXPECT_EQ(boxes.messages()[0].title, QStringLiteral("检查"));
    EXPECT_TRUE(dialogs.fileRequests().isEmpty());

    const QString movie = makeFile("movie.swf", 300);
    w->flash->setMovie(movie);
    dialogs.answerCancel();
    w->menus->MNUDQ->trigger();
    ASSERT_EQ(dialogs.fileRequests().size(), 1);
    EXPECT_EQ(dialogs.fileRequests()[0].kind, nimbrel::platform::FileDialogKind::Save);
    EXPECT_EQ(dialogs.fileRequests()[0].title, QStringLiteral("文件另存为..."));
    EXPECT_EQ(boxes.messages().last().text, QStringLiteral("请输入有效的文件名"));
    EXPECT_EQ(boxes.messages().last().title, QStringLiteral("Quorvane FlashPlayer"));

    const QString target = dir.path() + "/copy";
    dialogs.answerFiles({target});
    w->menus->MNUDQ->trigger();
    EXPECT_EQ(boxes.messages().last().text, QStringLiteral("文件存储成功"));
    EXPECT_EQ(QFileInfo(target + ".swf").size(), 300);

    // A folder that cannot be written to is reported as a failure.
    dialogs.answerFiles({dir.path() + "/no/such/folder/copy"});
    w->menus->MNUDQ->trigger();
    EXPECT_TRUE(boxes.messages().last().text.startsWith(QStringLiteral("文件存储失败")));

    // Deleted after opening: missing again.
    QFile::remove(movie);
    w->menus->MNUDQ->trigger();
    EXPECT_EQ(boxes.messages().last().text, QStringLiteral("这个文件不存在,请检查"));
}

TEST_F(MainWindowTransportTest, PlayButtonFollowsTheMovieAndPlayPauseUsesIt) {
    const QString movie = makeMovie("twenty.swf", 20);
    auto w = start();
    // Before the first tick the design tooltip makes play/pause do nothing.
    w->flash->setMovie(movie);
    w->flash->Stop();
    w->Image5_Click(0);
    EXPECT_FALSE(w->flash->IsPlaying());

    w->transport->followMovie();              // frame unchanged since start: stands still
    EXPECT_EQ(w->skin->playState(), PlayState::Play);
    EXPECT_EQ(w->skin->Image5[0]->toolTip(), "play");
    w->Image5_Click(0);
    EXPECT_TRUE(w->flash->IsPlaying());

    w->flash->GotoFrame(w->flash->FrameNum() + 2); // the frame moved: it runs
    w->transport->followMovie();
    EXPECT_EQ(w->skin->Image5[0]->toolTip(), "stop");
    w->menus->MNUPLAY->trigger();
    EXPECT_FALSE(w->flash->IsPlaying());
    w->transport->followMovie();
    EXPECT_EQ(w->skin->Image5[0]->toolTip(), "play");

    // With auto-play on the button is left alone.
    w->state().autoPlay = true;
    w->flash->GotoFrame(w->flash->FrameNum() + 1);
    w->transport->followMovie();
    EXPECT_EQ(w->skin->Image5[0]->toolTip(), "play");
}

TEST_F(MainWindowTransportTest, StopRewindsAndFrameStepsSwitchAutoPlayOff) {
    const QString movie = makeMovie("twenty.swf", 20);
    store->setValue("Nimbrel", "bfsz", "zdbf", "true");
    auto w = start();
    ASSERT_TRUE(w->state().autoPlay);
    w->flash->setMovie(movie);
    w->flash->GotoFrame(5);
    const int at = w->flash->FrameNum();

    w->Image5_Click(4);
    EXPECT_EQ(w->flash->FrameNum(), at + 1);
    EXPECT_FALSE(w->state().autoPlay);
    EXPECT_EQ(setting("zdbf"), "true"); // the stored option and the label stay
    EXPECT_EQ(w->Label2[0]->text(), QStringLiteral("取消自动播放"));
    w->menus->mnusyz->trigger();
    EXPECT_EQ(w->flash->FrameNum(), at);

    w->flash->Play();
    w->menus->MNUTZ->trigger();
    EXPECT_FALSE(w->flash->IsPlaying());
    w->flash->Rewind();
    const int first = w->flash->FrameNum();
    w->flash->GotoFrame(9);
    w->Image5_Click(1);
    EXPECT_EQ(w->flash->FrameNum(), first);
    EXPECT_FALSE(w->flash->IsPlaying());
}

} // namespace

namespace {

TEST_F(MainWindowTransportTest, AClickOnTheProgressTrackSeeksAndPlays) {
    const QString movie = makeMovie("forty.swf", 41);
    auto w = start();
    w->flash->setMovie(movie);
    w->flash->Stop();
    const auto& layout = w->skin->layout();
    const double tx = w->skin->twipsPerPixelX();
    // Halfway along the track the seek measures: from 50 twips over SW - 200.
    const int x = w->geometry().x() + int((50 + (layout.SW - 200) / 2.0) / tx);
    emit w->skin->progressClicked(QPoint(x, w->geometry().y() + 10));
    EXPECT_NEAR(w->flash->FrameNum(), 20, 2);
    EXPECT_TRUE(w->flash->IsPlaying());

    // Nothing loaded: the click still ends by playing, and nothing breaks.
    w->flash->setMovie(QString());
    emit w->skin->progressClicked(QPoint(x, 0));
    w->Timer1_Timer();
}

} // namespace
