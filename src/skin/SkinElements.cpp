#include "skin/SkinElements.h"
#include <cmath>
#include "skin/Artwork.h"
#include "skin/ListScroll.h"
#include "skin/MainLayout.h"
#include "skin/ProgressBar.h"
#include "skin/SkinHover.h"
#include "skin/SkinPiece.h"
#include "skin/TwipGeometry.h"
#include "skin/WindowRegion.h"
#include <QApplication>
#include <QCursor>
#include <QPalette>
#include <QWidget>

namespace nimbrel::skin {

namespace {

using Piece = Artwork::Piece;

const QColor TabText(0xe4, 0xea, 0xf1);
const QColor StatusText(0xa9, 0xd4, 0xff);

void setTextColour(QWidget* w, const QColor& colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, colour);
    w->setPalette(pal);
}

QFont skinFont(int pixelSize) {
    QFont f = QApplication::font();
    f.setPixelSize(pixelSize);
    return f;
}

} // namespace

SkinElements::SkinElements(QWidget* window) : QObject(window), window_(window) {
    normalColour_ = QApplication::palette().color(QPalette::ButtonText);
    createElements();
    connectElements();
    applyHover();
}

void SkinElements::createElements() {
    auto piece = [this](const QString& name) { return new SkinPiece(name, window_); };
    auto picture = [&](const QString& name, Piece art, bool stretched) {
        SkinPiece* p = piece(name);
        p->setPixmap(Artwork::pixmap(art));
        p->setScaledContents(stretched);
        return p;
    };

    // Picture stores first: the visible pictures take their pixmaps from them.
    for (int i = 0; i < 8; ++i)
        Image6[i] = Artwork::pixmap(Artwork::transportAlternative(i));
    for (int i = 0; i < 3; ++i)
        Image9[i] = Artwork::pixmap(Artwork::titleButton(i, true));
    down = Artwork::pixmap(Piece::TabPressed);
    bmove = Artwork::pixmap(Piece::TabHovered);
    Image3 = Artwork::pixmap(Piece::QuickMenuHot);
    Image4 = Artwork::pixmap(Piece::QuickMenu);

    // Creation order is stacking order: borders under the bars, controls on top,
    // the transparent handles last so they always get the mouse.
    hen1 = picture(QStringLiteral("hen1"), Piece::Hen1, true);
    hen2 = picture(QStringLiteral("hen2"), Piece::Hen2, true);
    up2 = picture(QStringLiteral("up2"), Piece::Up2, true);
    up1 = picture(QStringLiteral("up1"), Piece::Up1, false);
    up3 = picture(QStringLiteral("up3"), Piece::Up3, false);
    down2 = picture(QStringLiteral("down2"), Piece::Down2, true);
    down1 = picture(QStringLiteral("down1"), Piece::Down1, false);
    down3 = picture(QStringLiteral("down3"), Piece::Down3, false);

    static const char* const tabCaptions[4] = {" 正在播放", " 播放列表", " 综合搜索", " Swf TO EXE"};
    static const char* const tabTips[4] = {"", "创集，修改，删除列表", "精确搜索本地磁盘文件",
                                           "把SWF文件格式转换成EXE格式"};
    for (int i = 0; i < 4; ++i) {
        ontime[i] = piece(QStringLiteral("ontime(%1)").arg(i));
        ontime[i]->setScaledContents(true);
    }
    for (int i = 0; i < 4; ++i) {
        Label1[i] = piece(QStringLiteral("Label1(%1)").arg(i));
        Label1[i]->setText(QString::fromUtf8(tabCaptions[i]));
        Label1[i]->setToolTip(QString::fromUtf8(tabTips[i]));
        Label1[i]->setFont(skinFont(12));
        Label1[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setTextColour(Label1[i], TabText);
    }
    Image2 = picture(QStringLiteral("Image2"), Piece::QuickMenu, false);
    Image2->setToolTip(QStringLiteral("快捷播放菜单"));

    static const char* const stripCaptions[4] = {"自动播放", "内存监控", "窗口置顶", "播放模式 +"};
    static const char* const stripTips[4] = {"让 暂停 消失", "监控SWF地址", "", ""};
    for (int i = 0; i < 4; ++i) {
        Label2[i] = piece(QStringLiteral("Label2(%1)").arg(i));
        Label2[i]->setText(QString::fromUtf8(stripCaptions[i]));
        Label2[i]->setToolTip(QString::fromUtf8(stripTips[i]));
        Label2[i]->setFont(skinFont(12));
        Label2[i]->setAlignment(Qt::AlignCenter);
    }

    static const char* const titleTips[3] = {"最小化", "最大化/还原", "关闭"};
    for (int i = 0; i < 3; ++i) {
        Image8[i] = picture(QStringLiteral("Image8(%1)").arg(i), Artwork::titleButton(i, false), false);
        Image8[i]->setToolTip(QString::fromUtf8(titleTips[i]));
        Image10[i] = Image8[i]->pixmap(); // normal pictures remembered from the buttons
    }

    jindu = picture(QStringLiteral("jindu"), Piece::ProgressFill, true);
    huakuai = picture(QStringLiteral("huakuai"), Piece::ProgressThumb, false);
    fugai = piece(QStringLiteral("fugai"));
    fugai->setCursor(QCursor(Artwork::pixmap(Piece::SeekCursor), 12, 1));

    static const char* const transportTips[6] = {"播放", "停止", "上一个", "上一帧", "下一帧", "下一个"};
    for (int i = 0; i < 6; ++i) {
        Image5[i] = picture(QStringLiteral("Image5(%1)").arg(i), Artwork::transportNormal(i), false);
        Image5[i]->setToolTip(QString::fromUtf8(transportTips[i]));
        Image7[i] = Image5[i]->pixmap();
    }

    Label6 = piece(QStringLiteral("Label6"));
    Label6->setFont(skinFont(12));
    Label6->setIndent(8);
    Label6->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextColour(Label6, StatusText);

    buttom = piece(QStringLiteral("buttom"));
    buttom->setCursor(Qt::SizeVerCursor);
    middle = piece(QStringLiteral("middle"));
    middle->setCursor(Qt::SizeFDiagCursor);
    Label5 = piece(QStringLiteral("Label5"));
    Label5->setCursor(Qt::SizeBDiagCursor);
    hen1->setCursor(Qt::SizeHorCursor);
    hen2->setCursor(Qt::SizeHorCursor);
}

void SkinElements::connectMovePiece(SkinPiece* piece, bool anyButton, bool rightOpensMenu) {
    connect(piece, &SkinPiece::pressed, this, [this, piece, rightOpensMenu](Qt::MouseButton b, QPoint at) {
        movePressPosition_ = at;
        if (b == Qt::LeftButton)
            piece->setCursor(Qt::SizeAllCursor); // stays the move pointer from now on
        else if (b == Qt::RightButton && rightOpensMenu)
            emit controlMenuRequested(at);
    });
    connect(piece, &SkinPiece::dragStarted, this, [this, anyButton](Qt::MouseButton b) {
        if (b == Qt::LeftButton || anyButton)
            emit moveWindowRequested();
    });
}

void SkinElements::connectElements() {
    // Title bar pieces: right button opens the control menu, dragging moves the window.
    for (SkinPiece* bar : {up1, up2, down2, Label6})
        connectMovePiece(bar, false, true);
    connectMovePiece(up3, true, false);
    connectMovePiece(down3, false, false);
    for (SkinPiece* bar : {up1, up2, up3}) {
        connect(bar, &SkinPiece::doubleClicked, this, [this](Qt::MouseButton b, QPoint) {
            if (b == Qt::LeftButton)
                emit maximiseRestoreRequested();
        });
    }

    // Hover feedback and its resets.
    connect(up1, &SkinPiece::moved, this, [this] { resetHighlights(); });
    connect(up2, &SkinPiece::moved, this, [this] { resetHighlights(); });
    connect(up3, &SkinPiece::moved, this,
            [this] { setHover(SkinHover::resetTitleButtons(hover_)); });
    connect(down1, &SkinPiece::moved, this,
            [this] { setHover(SkinHover::resetTransport(hover_, playState())); });
    connect(Image2, &SkinPiece::moved, this,
            [this] { setHover(SkinHover::quickMenuHovered(hover_)); });
    connect(Image2, &SkinPiece::clicked, this, [this](QPoint at) { emit quickMenuClicked(at); });

    for (int i = 0; i < 3; ++i) {
        connect(Image8[i], &SkinPiece::moved, this,
                [this, i] { setHover(SkinHover::titleHovered(hover_, i)); });
        connect(Image8[i], &SkinPiece::pressed, this,
                [this, i](Qt::MouseButton, QPoint) { emit titleButtonPressed(i); });
    }
    for (int i = 0; i < 4; ++i) {
        connect(Label2[i], &SkinPiece::moved, this,
                [this, i] { setHover(SkinHover::stripHovered(hover_, i)); });
        connect(Label2[i], &SkinPiece::clicked, this, [this, i] { emit stripClicked(i); });
        connect(Label1[i], &SkinPiece::moved, this,
                [this, i] { setHover(SkinHover::tabHovered(hover_, i, currentPanel_)); });
        connect(Label1[i], &SkinPiece::pressed, this,
                [this, i](Qt::MouseButton, QPoint) { emit tabPressed(i); });
    }
    for (int i = 0; i < 6; ++i) {
        connect(Image5[i], &SkinPiece::moved, this,
                [this, i] { setHover(SkinHover::transportHovered(hover_, i, playState())); });
        connect(Image5[i], &SkinPiece::clicked, this, [this, i] { emit transportClicked(i); });
    }
    connect(fugai, &SkinPiece::clicked, this, [this](QPoint at) { emit progressClicked(at); });

    // Resize handles.
    const std::pair<SkinPiece*, ResizeMode> handles[] = {{hen2, ResizeMode::Right},
                                                         {buttom, ResizeMode::Bottom},
                                                         {middle, ResizeMode::BottomRight},
                                                         {hen1, ResizeMode::Left},
                                                         {Label5, ResizeMode::BottomLeft}};
    for (const auto& [handle, mode] : handles) {
        connect(handle, &SkinPiece::pressed, this,
                [this, mode](Qt::MouseButton b, QPoint) { chrome_.pressHandle(mode, b); });
    }
}

void SkinElements::attach(const MovieArea& area) {
    area_ = area;
    // The movie area lies over the frame's inner edges.
    for (QWidget* w : {area_.flash, area_.bflb, area_.zhss, area_.convertframe})
        if (w)
            w->raise();
    placeAll();
}

double SkinElements::twipsPerPixelX() const { return TwipGeometry::twipsPerPixelX(window_); }
double SkinElements::twipsPerPixelY() const { return TwipGeometry::twipsPerPixelY(window_); }

const MainLayoutResult& SkinElements::relayout(bool menuBarShowing) {
    const TwipRect client = TwipGeometry::fromPixels(window_->rect(), twipsPerPixelX(), twipsPerPixelY());
    return relayout(client.width, client.height, menuBarShowing);
}

const MainLayoutResult& SkinElements::relayout(int clientWidth, int clientHeight, bool menuBarShowing) {
    MainLayout::Input in;
    in.clientWidth = clientWidth;
    in.clientHeight = clientHeight;
    in.twipsPerPixelX = twipsPerPixelX();
    in.twipsPerPixelY = twipsPerPixelY();
    in.menuBarShowing = menuBarShowing;
    layout_ = MainLayout::run(layout_, in);
    placeAll();
    // The outline belongs to the top-level window (the menu bar, when it shows, lies
    // inside it above the skin).
    WindowRegion::apply(window_->window(), layout_);
    window_->update();
    return layout_;
}

void SkinElements::placeAll() {
    const double tx = twipsPerPixelX();
    const double ty = twipsPerPixelY();
    const MainLayoutResult& r = layout_;
    const auto put = [tx, ty](QWidget* w, const TwipRect& rect) { TwipGeometry::place(w, rect, tx, ty); };

    put(up1, r.up1); put(up2, r.up2); put(up3, r.up3);
    put(down1, r.down1); put(down2, r.down2); put(down3, r.down3);
    put(hen1, r.hen1); put(hen2, r.hen2);
    put(buttom, r.buttom); put(middle, r.middle); put(Label5, r.Label5);
    for (int i = 0; i < 3; ++i) put(Image8[i], r.Image8[i]);
    for (int i = 0; i < 4; ++i) {
        put(Label1[i], r.Label1[i]);
        put(ontime[i], r.ontime[i]);
        put(Label2[i], r.Label2[i]);
    }
    put(Image2, r.Image2);
    for (int i = 0; i < 6; ++i) put(Image5[i], r.Image5[i]);
    put(jindu, r.jindu); put(huakuai, r.huakuai); put(fugai, r.fugai); put(Label6, r.Label6);
    jindu->setVisible(r.jindu.width > 0);

    put(area_.flash, r.flash);
    put(area_.bflb, r.bflb); put(area_.zhss, r.zhss); put(area_.convertframe, r.convertframe);
    put(area_.bflblist, r.bflblist); put(area_.Command18, r.Command18);
    put(area_.Command19, r.Command19); put(area_.bflbflash, r.bflbflash);
    put(area_.huakuai2, r.huakuai2);
    put(area_.lsearch, r.lsearch); put(area_.flash2, r.flash2); put(area_.yulanp, r.yulanp);
    put(area_.huakuaione, r.huakuaione);
    put(area_.convert, r.convert); put(area_.Command5, r.Command5);
    put(area_.huakuai3, r.huakuai3); put(area_.Picture1, r.Picture1);
}

MenuBarAutoShow::Action SkinElements::tickChrome(bool windowActive) {
    return tickChrome(windowActive, QCursor::pos());
}

MenuBarAutoShow::Action SkinElements::tickChrome(bool windowActive, QPoint cursor) {
    const double tx = twipsPerPixelX();
    const double ty = twipsPerPixelY();
    ChromeTick::Input in;
    in.windowActive = windowActive;
    QWidget* top = window_->window();
    in.maximised = top->isMaximized();
    in.window = TwipGeometry::fromPixels(top->geometry(), tx, ty);
    in.cursor = cursor;
    in.tx = tx;
    in.ty = ty;
    in.minWidth = static_cast<int>(std::lround(top->minimumWidth() * tx));
    in.minHeight = static_cast<int>(std::lround(top->minimumHeight() * ty));
    const ChromeTick::Result result = chrome_.tick(in);
    if (result.geometry) {
        top->setGeometry(TwipGeometry::toPixels(*result.geometry, tx, ty));
    }
    return result.menuBar;
}

void SkinElements::jindutiao(int frame, int totalFrames) {
    const auto p = ProgressBar::jindutiao(frame, totalFrames, layout_.SW,
                                          layout_.jindu.left, layout_.jindu.width);
    if (!p)
        return;
    if (p->fillWidth)
        layout_.jindu.width = *p->fillWidth;
    layout_.huakuai.left = p->thumbLeft;
    const double tx = twipsPerPixelX();
    const double ty = twipsPerPixelY();
    TwipGeometry::place(jindu, layout_.jindu, tx, ty);
    TwipGeometry::place(huakuai, layout_.huakuai, tx, ty);
    jindu->setVisible(layout_.jindu.width > 0);
}

std::optional<int> SkinElements::seekFrame(QPoint cursorGlobal, int totalFrames) const {
    const double tx = twipsPerPixelX();
    const int windowLeft = static_cast<int>(std::lround(window_->window()->geometry().x() * tx));
    return ProgressBar::seekFrame(cursorGlobal.x(), tx, windowLeft,
                                  layout_.SW, totalFrames);
}

void SkinElements::huakuai2Changed(int value) {
    const auto p = ListScroll::huakuai2(value);
    layout_.bflblist.left = p.left;
    layout_.bflblist.width = p.width;
    TwipGeometry::place(area_.bflblist, layout_.bflblist, twipsPerPixelX(), twipsPerPixelY());
}

void SkinElements::huakuaioneChanged(int value) {
    const auto p = ListScroll::huakuaione(value);
    layout_.lsearch.left = p.left;
    layout_.lsearch.width = p.width;
    TwipGeometry::place(area_.lsearch, layout_.lsearch, twipsPerPixelX(), twipsPerPixelY());
}

void SkinElements::huakuai3Changed(int value) {
    const auto p = ListScroll::huakuai3(value, layout_.convertframe.width);
    layout_.convert.left = p.left;
    layout_.convert.width = p.width;
    TwipGeometry::place(area_.convert, layout_.convert, twipsPerPixelX(), twipsPerPixelY());
}

std::optional<PanelSwitch::Switch> SkinElements::selectPanel(int n) {
    const auto s = PanelSwitch::select(currentPanel_, n);
    if (!s)
        return s;
    SkinHoverState next = hover_;
    next.tabs = s->tabs;
    currentPanel_ = s->panel;
    setHover(next);
    if (area_.convertframe) area_.convertframe->setVisible(s->visible.convertframe);
    if (area_.flash) area_.flash->setVisible(s->visible.flash);
    if (area_.zhss) area_.zhss->setVisible(s->visible.zhss);
    if (area_.bflb) area_.bflb->setVisible(s->visible.bflb);
    return s;
}

void SkinElements::resetHighlights() { setHover(SkinHover::resetAll(hover_, currentPanel_)); }

PlayState SkinElements::playState() const { return playState_; }

void SkinElements::setPlayState(PlayState state) {
    playState_ = state;
    if (state == PlayState::Play)
        Image5[0]->setToolTip(QStringLiteral("play"));
    else if (state == PlayState::Stop)
        Image5[0]->setToolTip(QStringLiteral("stop"));
    setHover(SkinHover::playButtonFor(hover_, state));
}

void SkinElements::setLabelColours(const QColor& normal, const QColor& highlight) {
    normalColour_ = normal;
    highlightColour_ = highlight;
    applyHover();
}

void SkinElements::setHover(const SkinHoverState& state) {
    if (state == hover_)
        return;
    hover_ = state;
    applyHover();
}

void SkinElements::applyHover() {
    for (int i = 0; i < 4; ++i) {
        setTextColour(Label2[i], hover_.stripHighlighted[i] ? highlightColour_ : normalColour_);
        switch (hover_.tabs[i]) {
        case TabPicture::None: ontime[i]->clear(); break;
        case TabPicture::Pressed: ontime[i]->setPixmap(down); break;
        case TabPicture::Hovered: ontime[i]->setPixmap(bmove); break;
        }
    }
    for (int i = 0; i < 3; ++i)
        Image8[i]->setPixmap(hover_.titleHighlighted[i] ? Image9[i] : Image10[i]);
    Image2->setPixmap(hover_.quickMenuHighlighted ? Image3 : Image4);
    for (int i = 0; i < 6; ++i) {
        switch (hover_.transport[i]) {
        case TransportPicture::Normal: Image5[i]->setPixmap(Image7[i]); break;
        case TransportPicture::Hover: Image5[i]->setPixmap(Image6[i]); break;
        case TransportPicture::Pause: Image5[i]->setPixmap(Image6[6]); break;
        case TransportPicture::PauseHover: Image5[i]->setPixmap(Image6[7]); break;
        }
    }
}

} // namespace nimbrel::skin
