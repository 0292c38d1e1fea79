#include "player/frmmain.h"
#include "platform/MessageBoxes.h"
#include "platform/Twips.h"
#include "player/FlashSurface.h"
#include "player/SettingsRestore.h"
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QScreen>

namespace nimbrel::player {

using platform::Twips;

namespace {
struct StripLabel {
    const char* caption;
    const char* tooltip;
    int left, top, width;
};
// Option strip at its design place, twips.
constexpr StripLabel StripLabels[4] = {
    {"自动播放", "让 暂停 消失", 240, 1030, 1215},
    {"内存监控", "监控SWF地址", 1560, 1035, 1215},
    {"窗口置顶", nullptr, 2880, 1035, 855},
    {"播放模式 +", nullptr, 3960, 1035, 975},
};
constexpr int StripHeight = 255;
constexpr int TopBarHeight = 1395;
} // namespace

frmmain::frmmain(platform::SettingsStore& store, platform::DialogBackend& dialogs,
                 platform::MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent), settings_(store), dialog_(dialogs, this), boxes_(boxes) {
    boxes_.setOwner(this);
    setWindowTitle(caption());
    createControls();
    setGeometryTwips(DesignLeft, DesignTop, DesignWidth, DesignHeight);
    Form_Load();

    Timer1.setInterval(1000);
    Timer2.setInterval(11);
    Timer3.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &frmmain::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &frmmain::Timer2_Timer);
    connect(&Timer3, &QTimer::timeout, this, &frmmain::Timer3_Timer);
    Timer1.start();
    Timer2.start();
    Timer3.start();
}

frmmain::~frmmain() {
    // A window torn down without a close still keeps its geometry.
    if (!unloaded_)
        Form_Unload();
}

QString frmmain::caption() { return platform::MessageBoxes::applicationTitle(); }

void frmmain::createControls() {
    flash = new FlashSurface(this);
    flash->setObjectName("flash");
    // The two previews live in the playlist and search panels; hidden until those show.
    bflbflash = new FlashSurface(this);
    bflbflash->setObjectName("bflbflash");
    bflbflash->hide();
    flash2 = new FlashSurface(this);
    flash2->setObjectName("flash2");
    flash2->hide();

    mnuszck = new QAction(QStringLiteral("随着窗口大小的改变而改变"), this);
    mnuchang = new QAction(QStringLiteral("长保持比例"), this);
    mnuchanggao = new QAction(QStringLiteral("长高都保持比例"), this);
    for (QAction* a : {mnuszck, mnuchang, mnuchanggao})
        a->setCheckable(true);

    const double dx = Twips::dpiX(this);
    const double dy = Twips::dpiY(this);
    for (int i = 0; i < 4; ++i) {
        const StripLabel& s = StripLabels[i];
        Label2[i] = new QLabel(QString::fromUtf8(s.caption), this);
        Label2[i]->setObjectName(QStringLiteral("Label2_%1").arg(i));
        if (s.tooltip)
            Label2[i]->setToolTip(QString::fromUtf8(s.tooltip));
        Label2[i]->setGeometry(Twips::toPixels(s.left, dx), Twips::toPixels(s.top, dy),
                               Twips::toPixels(s.width, dx), Twips::toPixels(StripHeight, dy));
    }
}

void frmmain::Form_Load() {
    state_.resizeMode = 0;
    state_.menuBarCounter = 0;
    state_.currentPanel = 0;
    // Opening the mixer for the volume control goes here.
    // Presetting the search panel's file-type options goes here.
    // Showing the first panel tab with its pressed picture goes here.
    flash->setMenu(false);
    state_.lastFrameNum = 0;
    // Installing the hook on the movie surface goes here.
    state_.normalLabelColour = QApplication::palette().color(QPalette::ButtonText);
    state_.highlightLabelColour = QColor(0xFF, 0xFF, 0xFF);
    for (QLabel* l : Label2) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, state_.normalLabelColour);
        l->setPalette(p);
    }
    regjc();
    // Hiding the search panel zhss goes here.
    // duqu, filling the quick-play list from the stored playlist, goes here.
    // Remembering the normal transport and title-button pictures goes here.
    state_.volumeLevel = 30000;
    // ycct, stripping the system caption and border, goes here.
    state_.windowActive = true;
}

void frmmain::regjc() {
    mnuszck->setChecked(false);
    mnuchang->setChecked(false);
    mnuchanggao->setChecked(false);

    const SettingsRestore::Result r = SettingsRestore::regjc(settings_);

    if (r.left || r.top || r.width || r.height) {
        setGeometryTwips(r.left.value_or(twipsLeft()), r.top.value_or(twipsTop()),
                         r.width.value_or(twipsWidth()), r.height.value_or(twipsHeight()));
        // A place stored for a screen that is gone would hide the window: keep
        // the stored size but come back at the design position.
        if (!onSomeScreen())
            setGeometryTwips(DesignLeft, DesignTop, twipsWidth(), twipsHeight());
    }

    if (r.scaleMode) {
        flash->setScaleMode(*r.scaleMode);
        QAction* items[3] = {mnuszck, mnuchang, mnuchanggao};
        items[*r.scaleMode]->setChecked(true);
    }

    if (r.clipboardWatch) {
        state_.clipboardWatch = *r.clipboardWatch;
        Label2[1]->setText(*r.clipboardWatch ? QStringLiteral("取消内存监控") : QStringLiteral("内存监控"));
    }

    if (r.alpha) {
        state_.alpha = *r.alpha;
        state_.layered = true;
        // A layered window with a constant alpha is window opacity here.
        setWindowOpacity(state_.alpha / 255.0);
    }

    if (r.autoPlay) {
        state_.autoPlay = *r.autoPlay;
        Label2[0]->setText(*r.autoPlay ? QStringLiteral("取消自动播放") : QStringLiteral("自动播放"));
    }
}

void frmmain::Form_Unload() {
    unloaded_ = true;
    settings_.write(AppSettings::Key::mleft, AppSettings::twipsText(twipsLeft()));
    settings_.write(AppSettings::Key::mtop, AppSettings::twipsText(twipsTop()));
    settings_.write(AppSettings::Key::mwidth, AppSettings::twipsText(twipsWidth()));
    settings_.write(AppSettings::Key::mheight, AppSettings::twipsText(twipsHeight()));
    // Removing the hook on the movie surface goes here.
    // Unloading the image editor, help window, capture overlay and about window goes here.
    emit unloaded();
}

void frmmain::closeEvent(QCloseEvent* event) {
    Timer1.stop();
    Timer2.stop();
    Timer3.stop();
    if (!unloaded_)
        Form_Unload();
    event->accept();
}

void frmmain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmmain::Form_Resize() {
    // Interim placement until the skin layout takes over: the movie fills the
    // client area below the top bar.
    const int top = Twips::toPixels(TopBarHeight, Twips::dpiY(this));
    flash->setGeometry(0, top, width(), qMax(0, height() - top));
}

void frmmain::Timer1_Timer() {
    // The status line and then the progress bar are refreshed here.
}

void frmmain::Timer2_Timer() {
    // Active-window test: a window of the player carries "Quorvane" in its title.
    const QWidget* active = QApplication::activeWindow();
    state_.windowActive = active && active->windowTitle().contains(QStringLiteral("Quorvane"));
    if (!state_.windowActive)
        return;
    // Polling the shortcut keys goes here.
}

void frmmain::Timer3_Timer() {
    if (!state_.windowActive)
        return;
    // Edge drag, menu-bar auto-show, clipboard watching, auto-play and the
    // play/pause button state, and restoring opacity after a capture go here.
}

// Geometry is the window's normal place, so closing it minimised or maximised
// does not store an off-screen or full-screen position.
double frmmain::twipsLeft() const {
    const int px = (isMinimized() || isMaximized()) ? normalGeometry().x() : pos().x();
    return Twips::fromPixels(px, Twips::dpiX(this));
}
double frmmain::twipsTop() const {
    const int px = (isMinimized() || isMaximized()) ? normalGeometry().y() : pos().y();
    return Twips::fromPixels(px, Twips::dpiY(this));
}
double frmmain::twipsWidth() const {
    const int px = (isMinimized() || isMaximized()) ? normalGeometry().width() : width();
    return Twips::fromPixels(px, Twips::dpiX(this));
}
double frmmain::twipsHeight() const {
    const int px = (isMinimized() || isMaximized()) ? normalGeometry().height() : height();
    return Twips::fromPixels(px, Twips::dpiY(this));
}

bool frmmain::onSomeScreen() const {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return true;
    const QRect placed(pos(), size());
    for (const QScreen* s : screens) {
        if (s->virtualGeometry().intersects(placed))
            return true;
    }
    return false;
}

void frmmain::setGeometryTwips(double left, double top, double width, double height) {
    const double dx = Twips::dpiX(this);
    const double dy = Twips::dpiY(this);
    move(Twips::toPixels(left, dx), Twips::toPixels(top, dy));
    resize(qMax(1, Twips::toPixels(width, dx)), qMax(1, Twips::toPixels(height, dy)));
}

} // namespace nimbrel::player
