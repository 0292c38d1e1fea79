// The main window's skin, menus, menu bar, fit modes, status line and stored playlist.
#include "MainWindowFixture.h"
#include "player/FlashSurface.h"
#include "player/MainMenus.h"
#include "player/QuickPlayList.h"
#include "player/QuickPlayMenu.h"
#include "player/StatusLineText.h"
#include "skin/SkinElements.h"
#include "skin/SkinPiece.h"
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

using nimbrel::player::frmmain;

using nimbrel::player::StatusLineText;

namespace {

class MainWindowChromeTest : public MainWindowFixture {
protected:
    static QStringList captions(const QMenu* menu) {
        QStringList out;
        for (const QAction* a : menu->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    }
    static void rightClick(QWidget* target) {
        const QPointF local(5, 5);
        const QPointF global = target->mapToGlobal(local);
        QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::RightButton, Qt::RightButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }
};

TEST_F(MainWindowChromeTest, MenusCarryTheirItemsInOrder) {
    auto w = start();
    const auto& m = *w->menus;
    EXPECT_EQ(m.mnukz->title(), QStringLiteral("控制"));
    EXPECT_EQ(m.MNUBFFILE->title(), QStringLiteral("播放列表"));
    EXPECT_EQ(m.MNUBFMS->title(), QStringLiteral("播放模式"));
    EXPECT_EQ(m.mnuhelp->title(), QStringLiteral("帮助"));
    const QStringList control = captions(m.mnukz);
    const QStringList wanted = {"打开文件  O", "打开URL   U", "-", "播放/暂停   回车", "停止",
                                "上一个   方向左", "上一帧   方向上", "下一帧   方向下", "下一个   方向右"};
    EXPECT_EQ(control.mid(0, wanted.size()), wanted);
    EXPECT_TRUE(control.contains("保存当前播放文件   (F1)"));
    EXPECT_EQ(control.last(), "退出      (F4)");
    EXPECT_EQ(captions(m.MNUBTMD).first(), QStringLiteral("10％"));
    EXPECT_EQ(captions(m.MNUBTMD).size(), 10);
    EXPECT_EQ(captions(m.MNUBFFILE), (QStringList{"重新读取", "-"}));
    EXPECT_EQ(captions(m.MNUBFMS), (QStringList{"随着窗口大小的改变而改变", "长保持比例", "长高都保持比例"}));
    // The image tools can be chosen.
    EXPECT_TRUE(m.MNUSNP->isEnabled());
    EXPECT_TRUE(m.mnutxbj->isEnabled());
    EXPECT_TRUE(m.MNURJ->isEnabled());
    EXPECT_TRUE(m.MNUsy->isEnabled());
    EXPECT_TRUE(m.MNUOPENWEB->isEnabled());
    EXPECT_TRUE(m.MNUDQ->isEnabled());
    // The menu bar is hidden at start; the skin's strip is the skin's own labels.
    EXPECT_FALSE(w->menuBarShowing());
    EXPECT_TRUE(w->menuBar->isHidden());
    EXPECT_EQ(w->Label2[3], w->skin->Label2[3]);
}

TEST_F(MainWindowChromeTest, EveryResizeLaysOutTheSkinAndCutsTheOutline) {
    auto w = start();
    w->show();
    w->resize(700, 500);
    QApplication::processEvents();
    EXPECT_EQ(w->client->geometry(), QRect(0, 0, 700, 500));
    EXPECT_EQ(w->skin->layout().Hpx, 500);
    // The movie lies between the borders and the bars.
    EXPECT_EQ(w->flash->geometry().left(), w->skin->hen1->width());
    EXPECT_LT(w->flash->geometry().bottom(), w->skin->down1->geometry().bottom());
    const QRect outline = w->mask().boundingRect();
    EXPECT_NEAR(outline.width(), 700, 1);
    EXPECT_NEAR(outline.height(), 500, 1);
    // The stepped corners are cut away.
    EXPECT_FALSE(w->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(w->mask().contains(QPoint(699, 499)));
    EXPECT_TRUE(w->mask().contains(QPoint(350, 250)));
}

TEST_F(MainWindowChromeTest, FitModeItemsStoreTheModeAndMoveTheCheck) {
    {
        auto w = start();
        w->menus->mnuchang->trigger();
        EXPECT_EQ(setting("bfms"), "1");
        EXPECT_EQ(w->flash->ScaleMode(), 1);
        EXPECT_TRUE(w->mnuchang->isChecked());
        EXPECT_FALSE(w->mnuszck->isChecked());
        EXPECT_FALSE(w->mnuchanggao->isChecked());

        w->menus->mnuchanggao->trigger();
        EXPECT_EQ(setting("bfms"), "2");
        EXPECT_FALSE(w->mnuchang->isChecked());
        EXPECT_TRUE(w->mnuchanggao->isChecked());
        // Choosing the checked item again keeps it checked.
        w->menus->mnuchanggao->trigger();
        EXPECT_TRUE(w->mnuchanggao->isChecked());
        w->ms(7);
        EXPECT_TRUE(w->mnuchanggao->isChecked());
    }
    auto again = start();
    EXPECT_EQ(again->flash->ScaleMode(), 2);
    EXPECT_TRUE(again->mnuchanggao->isChecked());
}

TEST_F(MainWindowChromeTest, MenuBarShowsAtTheTopEdgeAndGoesAfter24Ticks) {
    auto w = start();
    w->show();
    w->activateWindow();
    QApplication::processEvents();
    w->state().windowActive = true;
    const QRect frame = w->geometry();
    const QPoint band = frame.topLeft() + QPoint(40, 1);
    const QPoint away = frame.center();
    const int skinTopBefore = w->skin->up1->mapTo(w.get(), QPoint(0, 0)).y();

    w->chromeTick(away);
    EXPECT_FALSE(w->menuBarShowing());
    w->chromeTick(band);
    EXPECT_TRUE(w->menuBarShowing());
    EXPECT_TRUE(w->menuBar->isVisible());
    EXPECT_TRUE(w->menus->mnukz->menuAction()->isVisible());
    // The skin moves under the bar, and the outline grows by 100 pixels.
    EXPECT_GT(w->skin->up1->mapTo(w.get(), QPoint(0, 0)).y(), skinTopBefore);
    EXPECT_EQ(w->skin->layout().Hpx, w->client->height() + 100);
    EXPECT_EQ(w->geometry().size(), frame.size());

    for (int i = 0; i < 23; ++i)
        w->chromeTick(away);
    EXPECT_TRUE(w->menuBarShowing());
    w->chromeTick(away);
    EXPECT_FALSE(w->menuBarShowing());
    EXPECT_TRUE(w->menuBar->isHidden());
    EXPECT_FALSE(w->menus->mnukz->menuAction()->isVisible());
    EXPECT_EQ(w->skin->up1->mapTo(w.get(), QPoint(0, 0)).y(), skinTopBefore);
    EXPECT_EQ(w->skin->layout().Hpx, w->height());

    // An open menu keeps the bar until it is closed; the bar goes a round later.
    w->chromeTick(band);
    w->menus->MNUBFMS->popup(band + QPoint(0, 30));
    for (int i = 0; i < 30; ++i)
        w->chromeTick(away);
    EXPECT_TRUE(w->menuBarShowing());
    w->menus->MNUBFMS->hide();
    for (int i = 0; i < 25 && w->menuBarShowing(); ++i)
        w->chromeTick(away);
    EXPECT_FALSE(w->menuBarShowing());

    // Nothing happens while another program is active.
    w->state().windowActive = false;
    w->chromeTick(band);
    EXPECT_FALSE(w->menuBarShowing());
}

TEST_F(MainWindowChromeTest, MenuBarNeverShowsOverAMaximisedWindow) {
    auto w = start();
    w->state().windowActive = true;
    const QPoint band = w->geometry().topLeft() + QPoint(40, 1);
    w->chromeTick(band);
    ASSERT_TRUE(w->menuBarShowing());
    w->setWindowState(Qt::WindowMaximized);
    w->chromeTick(band);
    EXPECT_FALSE(w->menuBarShowing());
    w->chromeTick(band);
    EXPECT_FALSE(w->menuBarShowing());
}

TEST_F(MainWindowChromeTest, RightClickOnTheMovieOrTheBarsOpensTheControlMenu) {
    auto w = start();
    w->show();
    w->activateWindow();
    QApplication::processEvents();
    for (QWidget* target : {static_cast<QWidget*>(w->flash), static_cast<QWidget*>(w->skin->up1),
                            static_cast<QWidget*>(w->skin->Label6)}) {
        rightClick(target);
        EXPECT_TRUE(w->menus->mnukz->isVisible()) << target->objectName().toStdString();
        w->menus->mnukz->hide();
    }
    // The pop-up works while the menu bar is hidden.
    EXPECT_FALSE(w->menuBarShowing());

    // "播放模式 +" on the option strip pops up the fit modes.
    emit w->skin->stripClicked(3);
    EXPECT_TRUE(w->menus->MNUBFMS->isVisible());
    w->menus->MNUBFMS->hide();
}

TEST_F(MainWindowChromeTest, StatusLineAfterATick) {
    auto w = start();
    const QString path = makeMovie("clip.swf", 40);
    w->flash->setMovie(path);
    w->Timer1_Timer();
    const QString expected = QStringLiteral("[%1 /%2]  文件名：%3  文件大小：%4KB")
                                 .arg(w->flash->FrameNum())
                                 .arg(w->flash->TotalFrames())
                                 .arg(path)
                                 .arg(StatusLineText::kilobytes(QFileInfo(path).size()));
    EXPECT_EQ(w->skin->Label6->text(), expected);
    EXPECT_EQ(w->flash->TotalFrames(), 40);

    // A file that is no movie says so instead of counting frames.
    w->flash->setMovie(makeFile("clip.bin", 2560));
    w->Timer1_Timer();
    EXPECT_TRUE(w->skin->Label6->text().startsWith(QStringLiteral("无法播放此文件："))) << w->skin->Label6->text().toStdString();

    w->flash->setMovie("http://example.invalid/a.swf");
    w->Timer1_Timer();
    EXPECT_TRUE(w->skin->Label6->text().endsWith(
        QStringLiteral("文件名：http://example.invalid/a.swf  文件大小：0KB")));
}

TEST_F(MainWindowChromeTest, StoredPlaylistFillsTheQuickPlayListAtStart) {
    storePlaylist({"/m/one.swf", "/m/two.swf", "/m/three.swf"});
    auto w = start();
    EXPECT_EQ(w->quickPlay->captions(), (QStringList{"/m/one.swf", "/m/two.swf", "/m/three.swf"}));
    ASSERT_EQ(w->quickPlayMenu->count(), 3);
    EXPECT_EQ(w->quickPlayMenu->entry(2)->text(), "/m/two.swf");
    EXPECT_EQ(w->menus->MNUBFFILE->actions().size(), 2 + 3);
    // The playlist panel's list stays empty until the user reads the list into it.
    EXPECT_EQ(w->bflblist->count(), 0);

    // "重新读取": the stored list again, the current number kept, nothing played.
    w->Image5_Click(5);
    w->Image5_Click(5);
    storePlaylist({"/n/a.swf"});
    w->bflblist->addItem("/x.swf");
    const QString playing = w->flash->Movie();
    w->menus->MNUCXDQ->trigger();
    EXPECT_EQ(w->quickPlay->captions(), QStringList{"/n/a.swf"});
    EXPECT_EQ(w->quickPlayMenu->count(), 1);
    EXPECT_EQ(w->quickPlay->current(), 2);
    EXPECT_EQ(w->bflblist->count(), 0);
    EXPECT_EQ(w->flash->Movie(), playing);
}

TEST_F(MainWindowChromeTest, TabsSwitchTheMovieArea) {
    auto w = start();
    w->show();
    QApplication::processEvents();
    EXPECT_EQ(w->currentPanel(), 0);
    EXPECT_TRUE(w->zhss->isHidden());
    EXPECT_TRUE(w->bflb->isHidden());
    emit w->skin->tabPressed(1);
    EXPECT_EQ(w->currentPanel(), 1);
    EXPECT_TRUE(w->bflb->isVisible());
    EXPECT_TRUE(w->flash->isHidden());
    w->showMovieView();
    EXPECT_EQ(w->currentPanel(), 0);
    EXPECT_TRUE(w->flash->isVisible());
    EXPECT_TRUE(w->bflb->isHidden());
}

} // namespace
