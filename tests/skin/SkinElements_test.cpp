#include "skin/Artwork.h"
#include "skin/MainLayout.h"
#include "skin/SkinElements.h"
#include "skin/SkinPiece.h"
#include "skin/TwipGeometry.h"
#include "skin/WindowRegion.h"
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace nimbrel::skin;

namespace {

// A bare main window with the skin and stand-ins for the movie area.
struct SkinnedWindow {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    SkinElements* skin = nullptr;
    QLabel* flash = nullptr;
    QWidget* bflb = nullptr;
    QWidget* zhss = nullptr;
    QWidget* convertframe = nullptr;
    QWidget* bflblist = nullptr;
    QWidget* convert = nullptr;

    SkinnedWindow() {
        window->setWindowTitle(QStringLiteral("QuorvaneFlashPlayer 1.5.0"));
        window->setAttribute(Qt::WA_DontShowOnScreen, false);
        skin = new SkinElements(window.get());
        flash = new QLabel(QStringLiteral("movie"), window.get());
        flash->setAlignment(Qt::AlignCenter);
        flash->setStyleSheet(QStringLiteral("background:#000; color:#456;"));
        bflb = new QWidget(window.get());
        zhss = new QWidget(window.get());
        convertframe = new QWidget(window.get());
        bflblist = new QWidget(bflb);
        convert = new QWidget(convertframe);
        for (QWidget* w : {bflb, zhss, convertframe})
            w->hide();
        SkinElements::MovieArea area;
        area.flash = flash;
        area.bflb = bflb;
        area.zhss = zhss;
        area.convertframe = convertframe;
        area.bflblist = bflblist;
        area.convert = convert;
        skin->attach(area);
    }

    // Resizes the window to a client size in twips and lays it out.
    void resizeTo(int sw, int sh, bool menuBar = false) {
        const double tx = skin->twipsPerPixelX();
        const double ty = skin->twipsPerPixelY();
        window->resize(static_cast<int>(std::lround(sw / tx)), static_cast<int>(std::lround(sh / ty)));
        skin->relayout(menuBar);
    }

    void grabTo(const QString& path) {
        window->show();
        QApplication::processEvents();
        window->grab().save(path);
    }
};

void send(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint at = {2, 2}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent ev(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &ev);
}

void click(QWidget* w, Qt::MouseButton button = Qt::LeftButton) {
    send(w, QEvent::MouseButtonPress, button);
    send(w, QEvent::MouseButtonRelease, button);
}

void hover(QWidget* w) { send(w, QEvent::MouseMove, Qt::NoButton); }

// Press, move far enough with the button held, release.
void drag(QWidget* w, Qt::MouseButton button = Qt::LeftButton) {
    send(w, QEvent::MouseButtonPress, button, {2, 2});
    const QPoint to(2 + QApplication::startDragDistance() + 3, 2);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(w->mapToGlobal(to)), Qt::NoButton,
                     button, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    send(w, QEvent::MouseButtonRelease, button, to);
}

bool samePicture(const QLabel* label, const QPixmap& pixmap) {
    return label->pixmap().toImage() == pixmap.toImage();
}

} // namespace

TEST(SkinElements, ElementsAreNamedAndCarryTheirTexts) {
    SkinnedWindow w;
    EXPECT_EQ(w.window->findChild<QLabel*>(QStringLiteral("up1")), w.skin->up1);
    EXPECT_EQ(w.window->findChild<QLabel*>(QStringLiteral("Image5(3)")), w.skin->Image5[3]);
    const char* const tips[6] = {"播放", "停止", "上一个", "上一帧", "下一帧", "下一个"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(w.skin->Image5[i]->toolTip(), QString::fromUtf8(tips[i]));
    EXPECT_EQ(w.skin->Label1[0]->text(), QStringLiteral(" 正在播放"));
    EXPECT_EQ(w.skin->Label1[3]->text(), QStringLiteral(" Swf TO EXE"));
    EXPECT_EQ(w.skin->Label1[2]->toolTip(), QStringLiteral("精确搜索本地磁盘文件"));
    EXPECT_EQ(w.skin->Label2[3]->text(), QStringLiteral("播放模式 +"));
    EXPECT_EQ(w.skin->Image8[1]->toolTip(), QStringLiteral("最大化/还原"));
    EXPECT_EQ(w.skin->Image2->toolTip(), QStringLiteral("快捷播放菜单"));
    EXPECT_TRUE(w.skin->up2->hasScaledContents());
    EXPECT_FALSE(w.skin->up1->hasScaledContents());
    EXPECT_EQ(w.skin->hen1->cursor().shape(), Qt::SizeHorCursor);
    EXPECT_EQ(w.skin->middle->cursor().shape(), Qt::SizeFDiagCursor);
    EXPECT_EQ(w.skin->Label5->cursor().shape(), Qt::SizeBDiagCursor);
    EXPECT_EQ(w.skin->fugai->cursor().hotSpot(), QPoint(12, 1));
    // The stores hold the pictures the layout's sizes were made for.
    EXPECT_EQ(w.skin->down.size(), QSize(64, 36));
    EXPECT_EQ(w.skin->bmove.size(), QSize(65, 37));
    EXPECT_TRUE(samePicture(w.skin->ontime[0], w.skin->down));
    EXPECT_TRUE(w.skin->ontime[1]->pixmap().isNull());
}

TEST(SkinElements, RelayoutPlacesEveryElementInPixels) {
    SkinnedWindow w;
    w.resizeTo(10035, 6285);
    const MainLayoutResult& r = w.skin->layout();
    const double tx = w.skin->twipsPerPixelX();
    const double ty = w.skin->twipsPerPixelY();
    EXPECT_EQ(r.SW, static_cast<int>(std::lround(std::lround(10035 / tx) * tx)));
    EXPECT_EQ(w.skin->up3->geometry(), TwipGeometry::toPixels(r.up3, tx, ty));
    EXPECT_EQ(w.skin->Image5[5]->geometry(), TwipGeometry::toPixels(r.Image5[5], tx, ty));
    EXPECT_EQ(w.flash->geometry(), TwipGeometry::toPixels(r.flash, tx, ty));
    EXPECT_EQ(w.convert->geometry(), TwipGeometry::toPixels(r.convert, tx, ty));
    // The bars reach the window's edges.
    EXPECT_EQ(w.skin->up3->geometry().right(), w.window->width() - 1);
    EXPECT_EQ(w.skin->down2->geometry().right() + 1, w.skin->down3->geometry().left());
    EXPECT_EQ(w.skin->down1->geometry().bottom(), w.window->height() - 1);
    // The outline is set as the window's mask.
    EXPECT_EQ(w.window->mask(), WindowRegion::region(r));
    w.skin->relayout(true);
    EXPECT_EQ(w.window->mask().boundingRect().height(), w.window->height() + 100);
}

TEST(SkinElements, HoverPicturesFollowThePointer) {
    SkinnedWindow w;
    SkinElements& s = *w.skin;
    hover(s.Image8[2]);
    EXPECT_TRUE(samePicture(s.Image8[2], s.Image9[2]));
    EXPECT_TRUE(samePicture(s.Image8[0], s.Image10[0]));
    hover(s.Label1[2]);
    EXPECT_TRUE(samePicture(s.ontime[2], s.bmove));
    hover(s.Image2);
    EXPECT_TRUE(samePicture(s.Image2, s.Image3));
    hover(s.Label2[1]);
    EXPECT_EQ(s.Label2[1]->palette().color(QPalette::WindowText), QColor(Qt::white));
    hover(s.up3);
    EXPECT_TRUE(samePicture(s.Image8[2], s.Image10[2]));
    EXPECT_TRUE(samePicture(s.Image2, s.Image3)); // only the title buttons fell back
    hover(s.up1);
    EXPECT_TRUE(samePicture(s.Image2, s.Image4));
    EXPECT_TRUE(s.ontime[2]->pixmap().isNull());
    EXPECT_TRUE(samePicture(s.ontime[0], s.down));
    EXPECT_NE(s.Label2[1]->palette().color(QPalette::WindowText), QColor(Qt::white));

    // Transport: hover pictures, then the play state's picture over the bottom bar.
    s.setPlayState(PlayState::Stop);
    EXPECT_EQ(s.Image5[0]->toolTip(), QStringLiteral("stop"));
    EXPECT_TRUE(samePicture(s.Image5[0], s.Image6[6]));
    hover(s.Image5[0]);
    EXPECT_TRUE(samePicture(s.Image5[0], s.Image6[7]));
    hover(s.Image5[4]);
    EXPECT_TRUE(samePicture(s.Image5[4], s.Image6[4]));
    hover(s.down1);
    EXPECT_TRUE(samePicture(s.Image5[0], s.Image6[6]));
    EXPECT_TRUE(samePicture(s.Image5[4], s.Image7[4]));
    s.setPlayState(PlayState::Play);
    EXPECT_TRUE(samePicture(s.Image5[0], s.Image7[0]));
}

TEST(SkinElements, CommandsArriveAsSignals) {
    SkinnedWindow w;
    SkinElements& s = *w.skin;
    int moves = 0, menus = 0, maximise = 0;
    std::vector<int> transport, titles, tabs;
    QObject::connect(&s, &SkinElements::moveWindowRequested, [&] { ++moves; });
    QObject::connect(&s, &SkinElements::controlMenuRequested, [&](QPoint) { ++menus; });
    QObject::connect(&s, &SkinElements::maximiseRestoreRequested, [&] { ++maximise; });
    QObject::connect(&s, &SkinElements::transportClicked, [&](int i) { transport.push_back(i); });
    QObject::connect(&s, &SkinElements::titleButtonPressed, [&](int i) { titles.push_back(i); });
    QObject::connect(&s, &SkinElements::tabPressed, [&](int i) { tabs.push_back(i); });

    click(s.up2, Qt::RightButton);
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(moves, 0);
    click(s.up2); // a plain click moves nothing, so a double-click stays possible
    EXPECT_EQ(moves, 0);
    EXPECT_EQ(s.up2->cursor().shape(), Qt::SizeAllCursor);
    drag(s.up2);
    EXPECT_EQ(moves, 1);
    drag(s.Label6);
    EXPECT_EQ(moves, 2);
    drag(s.up3, Qt::RightButton); // the right end moves with any button
    EXPECT_EQ(moves, 3);
    EXPECT_EQ(menus, 1);
    drag(s.down3, Qt::RightButton); // the bottom bar's end only with the left one
    drag(s.up1, Qt::RightButton);
    EXPECT_EQ(moves, 3);
    EXPECT_EQ(menus, 2);
    drag(s.down1); // the bottom bar's left part does not move the window
    EXPECT_EQ(moves, 3);
    send(s.up1, QEvent::MouseButtonDblClick, Qt::LeftButton);
    EXPECT_EQ(maximise, 1);

    click(s.Image5[3]);
    click(s.Image5[0], Qt::RightButton); // buttons click with the left button only
    EXPECT_EQ(transport, std::vector<int>{3});
    click(s.Image8[2], Qt::RightButton);
    EXPECT_EQ(titles, std::vector<int>{2});
    click(s.Label1[1], Qt::MiddleButton);
    EXPECT_EQ(tabs, std::vector<int>{1});
}

TEST(SkinElements, ResizeHandlesSwitchTheResizeMode) {
    SkinnedWindow w;
    SkinElements& s = *w.skin;
    click(s.hen2, Qt::RightButton);
    EXPECT_EQ(s.resizeMode(), ResizeMode::Right);
    click(s.buttom, Qt::RightButton);
    EXPECT_EQ(s.resizeMode(), ResizeMode::Right);
    click(s.buttom);
    EXPECT_EQ(s.resizeMode(), ResizeMode::Bottom);
    click(s.buttom);
    EXPECT_EQ(s.resizeMode(), ResizeMode::None);
}

TEST(SkinElements, TabsSwitchTheMovieArea) {
    SkinnedWindow w;
    SkinElements& s = *w.skin;
    w.window->show();
    EXPECT_FALSE(s.selectPanel(0));
    ASSERT_TRUE(s.selectPanel(2));
    EXPECT_TRUE(w.zhss->isVisible());
    EXPECT_FALSE(w.flash->isVisible());
    EXPECT_TRUE(samePicture(s.ontime[2], s.down));
    EXPECT_TRUE(s.ontime[0]->pixmap().isNull());
    ASSERT_TRUE(s.selectPanel(1));
    EXPECT_FALSE(w.zhss->isVisible());
    EXPECT_TRUE(w.bflb->isVisible());
    EXPECT_EQ(s.currentPanel(), 1);
    // Hovering the current tab leaves its pressed picture.
    hover(s.Label1[1]);
    EXPECT_TRUE(samePicture(s.ontime[1], s.down));
}

TEST(SkinElements, ProgressAndScrollingKeepTheirPlacesAcrossLayouts) {
    SkinnedWindow w;
    SkinElements& s = *w.skin;
    w.resizeTo(6300, 6285);
    s.jindutiao(50, 200);
    EXPECT_EQ(s.layout().jindu.width, (s.layout().SW - 300) / 4);
    EXPECT_EQ(s.layout().huakuai.left, s.layout().jindu.width);
    s.jindutiao(10, 0); // no frames: unchanged
    EXPECT_EQ(s.layout().jindu.width, (s.layout().SW - 300) / 4);

    s.huakuai2Changed(10);
    EXPECT_EQ(s.layout().bflblist.left, -1000);
    EXPECT_EQ(s.layout().bflblist.width, 5215);
    w.resizeTo(9000, 7000);
    EXPECT_EQ(s.layout().bflblist.left, -1000); // the layout only sets the list's height
    EXPECT_EQ(s.layout().jindu.width, (6300 - 300) / 4);

    s.huakuai3Changed(30);
    EXPECT_EQ(s.layout().convert.left + s.layout().convert.width, s.layout().convertframe.width);
}

TEST(SkinElements, DemoGrabs) {
    // Pictures of the skin at the design size, a small and a large size, for looking at.
    SkinnedWindow w;
    w.skin->Label6->setText(QStringLiteral("[12 /240]  文件名：/home/user/movies/clip.swf  文件大小：10KB"));
    w.skin->setLabelColours(QColor(Qt::black), QColor(Qt::white));
    const struct { int sw, sh; const char* file; } sizes[] = {
        {15750, 9885, "/tmp/nimbrel-skin-design.png"},
        {6000, 4200, "/tmp/nimbrel-skin-small.png"},
        {24000, 15000, "/tmp/nimbrel-skin-large.png"},
    };
    for (const auto& size : sizes) {
        w.resizeTo(size.sw, size.sh);
        w.skin->relayout(false);
        w.skin->jindutiao(80, 240);
        w.grabTo(QString::fromLatin1(size.file));
        const QImage img(QString::fromLatin1(size.file));
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.size(), w.window->size() * w.window->devicePixelRatio());
    }
    // Lit elements at the design size: a hovered tab, strip label, title and transport button.
    w.resizeTo(15750, 9885);
    w.skin->setPlayState(PlayState::Stop);
    hover(w.skin->Label1[2]);
    hover(w.skin->Label2[1]);
    hover(w.skin->Image8[2]);
    hover(w.skin->Image2);
    hover(w.skin->Image5[4]);
    w.grabTo(QStringLiteral("/tmp/nimbrel-skin-hover.png"));
    QImage lit(QStringLiteral("/tmp/nimbrel-skin-hover.png"));
    ASSERT_FALSE(lit.isNull());

    // The same picture cut to the window's outline, on magenta, to see the corners.
    QImage cut(lit.size(), QImage::Format_ARGB32);
    cut.fill(Qt::magenta);
    const QRegion outline = w.window->mask();
    for (int y = 0; y < lit.height(); ++y)
        for (int x = 0; x < lit.width(); ++x)
            if (outline.contains(QPoint(x, y)))
                cut.setPixel(x, y, lit.pixel(x, y));
    EXPECT_EQ(cut.pixel(0, 0), QColor(Qt::magenta).rgba());
    EXPECT_NE(cut.pixel(lit.width() / 2, 0), QColor(Qt::magenta).rgba());
    cut.save(QStringLiteral("/tmp/nimbrel-skin-outline.png"));
}
