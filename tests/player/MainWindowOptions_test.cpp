// Window options (opacity, the strip toggles, always-on-top), clipboard
// watching and the hook on the movie surface.
#include "MainWindowFixture.h"
#include "player/FlashSurface.h"
#include "player/MainMenus.h"
#include "player/MovieHook.h"
#include "player/StartArgument.h"
#include "player/StatusLineText.h"
#include "player/WindowOptions.h"
#include "services/Downloader.h"
#include "skin/SkinElements.h"
#include "skin/SkinPiece.h"
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWindow>

using nimbrel::player::frmmain;
using nimbrel::player::WindowOptions;

namespace {

class MainWindowOptionsTest : public MainWindowFixture {
protected:
    void TearDown() override {
        if (QClipboard* c = QGuiApplication::clipboard())
            c->clear();
    }
    static void doubleClick(QWidget& on, Qt::MouseButton button = Qt::LeftButton) {
        const QPointF at(on.width() / 2.0, on.height() / 2.0);
        QMouseEvent e(QEvent::MouseButtonDblClick, at, on.mapToGlobal(at), button, button, Qt::NoModifier);
        QApplication::sendEvent(&on, &e);
    }
    static void pressF12(frmmain& w) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F12, Qt::NoModifier);
        QApplication::sendEvent(&w, &press);
        w.keyTick(true);
    }
};

TEST_F(MainWindowOptionsTest, NineOpacityStepsAndOpaqueTwice) {
    auto w = start();
    ASSERT_EQ(w->menus->MNUBF.size(), 9u);
    for (int i = 0; i < 9; ++i) {
        const int alpha = 25 * (i + 1);
        EXPECT_EQ(w->menus->MNUBF[i]->text(), QString::number(10 * (i + 1)) + QChar(0xFF05));
        ASSERT_TRUE(w->menus->MNUBF[i]->isEnabled());
        w->menus->MNUBF[i]->trigger();
        EXPECT_EQ(setting("tmd"), QString::number(alpha));
        EXPECT_EQ(w->state().alpha, alpha);
        EXPECT_TRUE(w->state().layered);
        EXPECT_NEAR(w->windowOpacity(), alpha / 255.0, 0.005) << alpha;
    }
    w->menus->MNUBF[1]->trigger();
    w->menus->MNUBF[1]->trigger();
    EXPECT_EQ(setting("tmd"), "50");

    w->menus->munbtm2->trigger();
    EXPECT_EQ(setting("tmd"), "false");
    EXPECT_FALSE(w->state().layered);
    EXPECT_EQ(w->state().alpha, 50) << "the alpha is kept for later";
    EXPECT_DOUBLE_EQ(w->windowOpacity(), 1.0);

    // Opaque already: nothing changes and nothing is stored.
    store->setValue("Nimbrel", "bfsz", "tmd", "");
    w->menus->munbtm2->trigger();
    EXPECT_EQ(setting("tmd"), "");
    EXPECT_DOUBLE_EQ(w->windowOpacity(), 1.0);
}

TEST_F(MainWindowOptionsTest, OpacityComesBackAtTheNextStartUnlessMadeOpaque) {
    {
        auto w = start();
        w->menus->MNUBF[2]->trigger();
    }
    {
        auto w = start();
        EXPECT_NEAR(w->windowOpacity(), 75 / 255.0, 0.005);
        w->menus->munbtm2->trigger();
    }
    auto w = start();
    EXPECT_DOUBLE_EQ(w->windowOpacity(), 1.0);
}

TEST_F(MainWindowOptionsTest, StripTogglesDecideFromTheStoredValue) {
    struct Toggle {
        const char* key;
        int label;
        QAction* (*item)(frmmain&);
        bool (*flag)(frmmain&);
        QString off, on;
    };
    const Toggle toggles[] = {
        {"zdbf", 0, [](frmmain& w) { return w.menus->MNUZDBF; }, [](frmmain& w) { return w.state().autoPlay; },
         "自动播放", "取消自动播放"},
        {"ncjc", 1, [](frmmain& w) { return w.menus->MNUNCJK; }, [](frmmain& w) { return w.state().clipboardWatch; },
         "内存监控", "取消内存监控"},
    };
    for (const Toggle& t : toggles) {
        auto w = start();
        store->setValue("Nimbrel", "bfsz", t.key, ""); // absent
        ASSERT_TRUE(t.item(*w)->isEnabled());
        w->Label2_Click(t.label);
        EXPECT_EQ(setting(t.key), "false") << t.key;
        EXPECT_FALSE(t.flag(*w)) << t.key;
        EXPECT_EQ(w->Label2[t.label]->text(), t.off);
        w->Label2_Click(t.label);
        EXPECT_EQ(setting(t.key), "true") << t.key;
        EXPECT_TRUE(t.flag(*w)) << t.key;
        EXPECT_EQ(w->Label2[t.label]->text(), t.on);
        EXPECT_EQ(t.item(*w)->text(), t.on);
        // The menu item runs the same toggle.
        t.item(*w)->trigger();
        EXPECT_EQ(setting(t.key), "false");
        EXPECT_EQ(t.item(*w)->text(), t.off);
        EXPECT_EQ(w->Label2[t.label]->text(), t.off);
    }
}

TEST_F(MainWindowOptionsTest, AFrameStepLeavesTheStoredAutoPlaySoTheNextSwitchTurnsItOff) {
    store->setValue("Nimbrel", "bfsz", "zdbf", "true");
    auto w = start();
    EXPECT_EQ(w->menus->MNUZDBF->text(), "取消自动播放");
    w->flash->setMovie(makeMovie("m.swf", 20));
    w->Image5_Click(4);
    ASSERT_FALSE(w->state().autoPlay);
    w->menus->MNUZDBF->trigger();
    EXPECT_EQ(setting("zdbf"), "false");
    EXPECT_FALSE(w->state().autoPlay);
}

TEST_F(MainWindowOptionsTest, F12TogglesAlwaysOnTopTwice) {
    auto w = start();
    w->show();
    QApplication::processEvents();
    EXPECT_EQ(w->menus->MNUCKZD->text(), "窗口置顶  (F12)");
    pressF12(*w);
    EXPECT_TRUE(w->options->isTopmost());
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(w->Label2[2]->text(), "取消置顶");
    EXPECT_EQ(w->menus->MNUCKZD->text(), "取消窗口置顶");
    EXPECT_TRUE(w->isVisible()) << "the window stays shown";
    pressF12(*w);
    EXPECT_FALSE(w->options->isTopmost());
    EXPECT_FALSE(w->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(w->Label2[2]->text(), "窗口置顶");
    EXPECT_EQ(w->menus->MNUCKZD->text(), "窗口置顶");
    // The strip label and the menu item are the same switch.
    w->Label2_Click(2);
    EXPECT_TRUE(w->options->isTopmost());
    w->menus->MNUCKZD->trigger();
    EXPECT_FALSE(w->options->isTopmost());
    EXPECT_FALSE(w->windowFlags().testFlag(Qt::FramelessWindowHint) == false) << "still without the system caption";
}

TEST_F(MainWindowOptionsTest, ACopiedSwfAddressPlaysOnceAndUpperCaseNever) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    ASSERT_NE(clipboard, nullptr);
    store->setValue("Nimbrel", "bfsz", "ncjc", "true");
    auto w = start();
    w->state().windowActive = true;
    const QString movie = makeMovie("x.swf", 50);
    clipboard->setText(movie);
    ASSERT_EQ(clipboard->text(), movie);
    w->Timer3_Timer();
    EXPECT_EQ(w->flash->Movie(), movie);
    EXPECT_TRUE(w->flash->IsPlaying());
    EXPECT_EQ(clipboard->text(), QString()) << "emptied, so it is taken once";
    ASSERT_EQ(boxes.messages().size(), 1);
    EXPECT_EQ(boxes.messages()[0].text, nimbrel::services::Downloader::kQuestion);
    EXPECT_EQ(boxes.messages()[0].title, "Download File");
    w->Timer3_Timer();
    EXPECT_EQ(boxes.messages().size(), 1);
    EXPECT_TRUE(w->flash->IsPlaying()) << "No to the download leaves the movie playing";

    const QString upper = makeMovie("Y.SWF", 5);
    clipboard->setText(upper);
    w->Timer3_Timer();
    EXPECT_EQ(w->flash->Movie(), movie);
    EXPECT_EQ(clipboard->text(), upper);
    EXPECT_EQ(boxes.messages().size(), 1);

    // Inactive: nothing in the tick runs.
    const QString again = makeMovie("again.swf", 5);
    clipboard->setText(again);
    w->state().windowActive = false;
    w->Timer3_Timer();
    EXPECT_EQ(w->flash->Movie(), movie);
    // Watching off: copied addresses stay where they are.
    w->state().windowActive = true;
    w->menus->MNUNCJK->trigger();
    w->Timer3_Timer();
    EXPECT_EQ(w->flash->Movie(), movie);
    EXPECT_EQ(clipboard->text(), again);
}

TEST_F(MainWindowOptionsTest, DoubleClickOnTheMovieFillsTheWindowAndBack) {
    auto w = start();
    w->show();
    QApplication::processEvents();
    const QRect laidOut = w->flash->geometry();
    doubleClick(*w->flash);
    EXPECT_TRUE(w->isMaximized());
    EXPECT_TRUE(w->movieFillsWindow());
    QApplication::processEvents();
    EXPECT_EQ(w->flash->geometry(), w->client->rect());
    EXPECT_EQ(w->client->geometry(), w->rect());
    EXPECT_FALSE(w->menuBarShowing());
    EXPECT_FALSE(w->menus->shownInBar());

    doubleClick(*w->flash);
    QApplication::processEvents();
    EXPECT_FALSE(w->isMaximized());
    EXPECT_FALSE(w->movieFillsWindow());
    EXPECT_EQ(w->flash->geometry(), laidOut);

    // Other buttons' double-clicks are the movie's.
    doubleClick(*w->flash, Qt::RightButton);
    EXPECT_FALSE(w->isMaximized());
}

TEST_F(MainWindowOptionsTest, RightPressOnTheMovieOpensTheControlMenuUntilUnload) {
    auto w = start();
    w->show();
    QApplication::processEvents();
    w->flash->setMenu(true); // even with the movie's own menu on, the hook takes the right button
    const QPointF at(20, 20);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->flash->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w->flash, &press);
    EXPECT_TRUE(w->menus->mnukz->isVisible());
    w->menus->mnukz->hide();
    EXPECT_EQ(w->movieHook->hooked(), w->flash);
    w->close();
    EXPECT_EQ(w->movieHook->hooked(), nullptr);
}

TEST_F(MainWindowOptionsTest, PointerOverTheMovieResetsTheHighlights) {
    auto w = start();
    w->show();
    QApplication::processEvents();
    const QPointF over(3, 3);
    QMouseEvent onButton(QEvent::MouseMove, over, w->skin->Image8[2]->mapToGlobal(over), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
    QApplication::sendEvent(w->skin->Image8[2], &onButton);
    ASSERT_TRUE(w->skin->hoverState().titleHighlighted[2]);
    const QPointF at(30, 30);
    QMouseEvent move(QEvent::MouseMove, at, w->flash->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w->flash, &move);
    EXPECT_FALSE(w->skin->hoverState().titleHighlighted[2]);
}

TEST_F(MainWindowOptionsTest, TheFitModeLabelPopsUpItsMenu) {
    auto w = start();
    w->show();
    w->Label2_Click(3);
    EXPECT_TRUE(w->menus->MNUBFMS->isVisible());
    w->menus->MNUBFMS->hide();
    w->Label2_Click(7); // no such label: nothing
}

TEST_F(MainWindowOptionsTest, AMovieThatCannotPlaySaysSoInTheStatusLine) {
    auto w = start();
    const QString text = makeFile("notes.swf", 300);
    w->flash->setMovie(text);
    ASSERT_TRUE(waitFor([&] { return !w->flash->LoadError().isEmpty(); }));
    w->Timer1_Timer();
    EXPECT_TRUE(w->skin->Label6->text().startsWith("无法播放此文件")) << w->skin->Label6->text().toStdString();
    EXPECT_FALSE(w->skin->Label6->text().contains("[")) << "no frame count";
    w->flash->setMovie(makeMovie("fine.swf", 5));
    w->Timer1_Timer();
    EXPECT_FALSE(w->skin->Label6->text().startsWith("无法播放此文件"));
}

TEST_F(MainWindowOptionsTest, TheWindowIsNeverSmallerThanTheSkinsFixedParts) {
    auto w = start();
    w->resize(8, 8);
    EXPECT_GE(w->width(), w->minimumWidth());
    EXPECT_GE(w->height(), w->minimumHeight());
    EXPECT_GT(w->minimumWidth(), 400);
    EXPECT_GT(w->minimumHeight(), 100);
}

TEST_F(MainWindowOptionsTest, DraggingTheLeftEdgeStopsAtTheLeastSizeWithTheRightEdgeInPlace) {
    auto w = start();
    w->show();
    QApplication::processEvents();
    const int right = w->geometry().right();
    emit w->skin->hen1->pressed(Qt::LeftButton, QPoint());
    ASSERT_EQ(w->resizeMode(), int(nimbrel::skin::ResizeMode::Left));
    w->state().windowActive = true;
    w->chromeTick(QPoint(right + 200, w->geometry().center().y()));
    QApplication::processEvents();
    EXPECT_EQ(w->width(), w->minimumWidth());
    EXPECT_NEAR(w->geometry().right(), right, 1) << "the window does not walk to the right";
}

TEST_F(MainWindowOptionsTest, TheOpenDialogStartsWhereTheLastMovieWasOpened) {
    auto w = start();
    dialogs.answerCancel();
    w->menus->MNUOPEN->trigger();
    ASSERT_EQ(dialogs.fileRequests().size(), 1);
    EXPECT_EQ(dialogs.fileRequests()[0].initDir, QDir::homePath());

    const QString movie = makeMovie("here.swf", 5);
    dialogs.answerFiles({movie});
    w->menus->MNUOPEN->trigger();
    EXPECT_EQ(w->flash->Movie(), movie);
    dialogs.answerCancel();
    w->menus->MNUOPEN->trigger();
    ASSERT_EQ(dialogs.fileRequests().size(), 3);
    EXPECT_EQ(dialogs.fileRequests()[2].initDir, QFileInfo(movie).absolutePath());
    // Kept across starts.
    auto again = start();
    dialogs.answerCancel();
    again->menus->MNUOPEN->trigger();
    EXPECT_EQ(dialogs.fileRequests().last().initDir, QFileInfo(movie).absolutePath());
}

TEST(StartArgument, PathsBecomeAbsoluteAndAddressesStay) {
    using nimbrel::player::StartArgument;
    const std::pair<QString, QString> cases[] = {
        {"", ""},
        {"/tmp/a.swf", "/tmp/a.swf"},
        {"a.swf", QDir::current().absoluteFilePath("a.swf")},
        {"../films/b.swf", QDir::cleanPath(QDir::current().absoluteFilePath("../films/b.swf"))},
        {"file:///tmp/b%20c.swf", "/tmp/b c.swf"},
        {"https://example.com/g.swf", "https://example.com/g.swf"},
        {"http://example.com/g.swf?x=1", "http://example.com/g.swf?x=1"},
        {"影片.swf", QDir::current().absoluteFilePath("影片.swf")},
    };
    for (const auto& [argument, movie] : cases)
        EXPECT_EQ(StartArgument::movie(argument), movie) << argument.toStdString();
}

TEST_F(MainWindowOptionsTest, AMovieNamedAtStartPlays) {
    auto w = start();
    const QString movie = makeMovie("start.swf", 30);
    w->openAtStart(movie);
    EXPECT_EQ(w->flash->Movie(), movie);
    EXPECT_TRUE(w->flash->IsPlaying());
    w->openAtStart(QString()); // no argument: everything as before
    EXPECT_EQ(w->flash->Movie(), movie);
}

} // namespace
