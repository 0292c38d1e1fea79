#include "player/FlashSurface.h"
#include "movie/KeyCodes.h"
#include "movie/MoviePlayer.h"
#include "player/SinkAudioOutput.h"
#include "platform/Twips.h"
#include <QClipboard>
#include <QCoreApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QtMath>
#include <QUrl>

namespace nimbrel::player {

using platform::Twips;

FlashSurface::FlashSurface(QWidget* parent)
    : QWidget(parent), player_(new movie::MoviePlayer(this)), audio_(new SinkAudioOutput(this)),
      urlOpener_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    // Input fields in movies take text from input methods too.
    setAttribute(Qt::WA_InputMethodEnabled);
    // The window's control menu replaces Qt's default context handling.
    setContextMenuPolicy(Qt::PreventContextMenu);
    clock_.setTimerType(Qt::PreciseTimer);
    clock_.setInterval(TickMs);
    connect(&clock_, &QTimer::timeout, this, &FlashSurface::tick);
    // The movie asks after every frame; the check runs once its frame has
    // finished (the stage may be mid-change while the movie is busy).
    connect(player_, &movie::MoviePlayer::repaintNeeded, this, [this] {
        if (frameCheckQueued_)
            return;
        frameCheckQueued_ = true;
        QMetaObject::invokeMethod(this, &FlashSurface::frameChanged, Qt::QueuedConnection);
    });
    connect(player_, &movie::MoviePlayer::loadFailed, this, [this](const QString& reason) {
        loadError_ = reason.isEmpty() ? QStringLiteral("?") : reason;
        emit loadFailed(reason);
    });
    connect(player_, &movie::MoviePlayer::urlRequested, this,
            [this](const QString& url, const QString&) { openRequestedUrl(url); });
    player_->setStillRunningHook([this] { whileScriptRuns(); });
    player_->setAudioOutput(audio_);
}

FlashSurface::~FlashSurface() {
    // The output goes with this surface; the player may outlive it.
    player_->setAudioOutput(nullptr);
    if (player_->isBusy()) {
        // Going away from inside the movie's own script (a nested event): the
        // player must outlive the script, and leaves once it has unwound.
        disconnect(player_, nullptr, this, nullptr);
        player_->setParent(nullptr);
        player_->deleteWhenIdle();
    }
}

void FlashSurface::whileScriptRuns() {
    QPointer<FlashSurface> self(this);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!self)
        return;
    // A closed window shows the movie no more: its script need not finish.
    QWidget* top = window();
    if (top->testAttribute(Qt::WA_WState_ExplicitShowHide) && top->isHidden())
        player_->cancelRunningScripts();
}

void FlashSurface::setMovie(const QString& pathOrUrl) {
    QPointer<FlashSurface> self(this);
    loadError_.clear();
    player_->setMovie(pathOrUrl);
    if (!self)
        return;
    if (pathOrUrl.isEmpty()) {
        clock_.stop();
    } else {
        clock_.setInterval(tickIntervalFor(player_->frameIntervalMs()));
        sinceLastTick_.start();
        clock_.start();
    }
    redraw();
}

QString FlashSurface::Movie() const { return player_->movie(); }
void FlashSurface::Play() { player_->play(); }
void FlashSurface::Stop() { player_->stop(); }
void FlashSurface::Rewind() {
    QPointer<FlashSurface> self(this);
    player_->rewind();
    if (self)
        redraw();
}
bool FlashSurface::IsPlaying() const { return player_->isPlaying(); }
int FlashSurface::FrameNum() const { return player_->frameNum(); }
void FlashSurface::setFrameNum(int frame) { GotoFrame(frame); }
int FlashSurface::TotalFrames() const { return player_->totalFrames(); }
void FlashSurface::GotoFrame(int frame) {
    QPointer<FlashSurface> self(this);
    player_->gotoFrame(frame);
    if (self)
        redraw();
}
void FlashSurface::Zoom(int percent) { player_->zoom(percent); redraw(); }
void FlashSurface::setScaleMode(int mode) { player_->setScaleMode(mode); redraw(); }
int FlashSurface::ScaleMode() const { return player_->scaleMode(); }
void FlashSurface::setMenu(bool on) { player_->setMenuEnabled(on); }
bool FlashSurface::Menu() const { return player_->menuEnabled(); }

void FlashSurface::Move(double left, double top, double width, double height) {
    const double dx = Twips::dpiX(this);
    const double dy = Twips::dpiY(this);
    const int w = Twips::toPixels(width, dx);
    const int h = Twips::toPixels(height, dy);
    // A negative size cannot be applied; the surface keeps its previous place.
    if (w < 0 || h < 0)
        return;
    setGeometry(Twips::toPixels(left, dx), Twips::toPixels(top, dy), w, h);
}

double FlashSurface::Top() const { return Twips::fromPixels(y(), Twips::dpiY(this)); }
double FlashSurface::Height() const { return Twips::fromPixels(height(), Twips::dpiY(this)); }

int FlashSurface::tickIntervalFor(double frameIntervalMs) {
    if (!(frameIntervalMs > 0) || frameIntervalMs >= TickMs)
        return TickMs;
    return qMax(1, static_cast<int>(frameIntervalMs));
}

void FlashSurface::tick() {
    // A script of the movie is running below this tick: the movie waits.
    if (player_->isBusy())
        return;
    const double elapsed = static_cast<double>(sinceLastTick_.nsecsElapsed()) / 1e6;
    sinceLastTick_.restart();
    QPointer<FlashSurface> self(this);
    player_->advanceTime(elapsed);
    if (!self)
        return;
    // The movie may have arrived since the last tick (addresses load in the background).
    const int wanted = tickIntervalFor(player_->frameIntervalMs());
    if (wanted != clock_.interval())
        clock_.setInterval(wanted);
}

void FlashSurface::redraw() {
    pictureFresh_ = false;
    update();
}

void FlashSurface::frameChanged() {
    frameCheckQueued_ = false;
    if (player_->isBusy() || !isVisible()) {
        redraw();
        return;
    }
    // A still stage gives back the very picture it gave last time: nothing to paint.
    const QImage picture = player_->renderImage(size(), devicePixelRatioF());
    if (!lastPicture_.isNull() && picture.cacheKey() == lastPicture_.cacheKey())
        return;
    lastPicture_ = picture;
    pictureFresh_ = true;
    update();
}

void FlashSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // While a script runs the stage may be half changed: the last picture stands.
    // The picture has the window's device pixels; it is drawn onto the whole surface.
    const qreal dpr = devicePixelRatioF();
    const QSize pixels(qCeil(width() * dpr), qCeil(height() * dpr));
    const bool current = pictureFresh_ && lastPicture_.size() == pixels.expandedTo(QSize(1, 1));
    pictureFresh_ = false;
    if (!player_->isBusy() && !current)
        lastPicture_ = player_->renderImage(size(), dpr);
    if (lastPicture_.isNull())
        painter.fillRect(rect(), player_->backgroundColor());
    else
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(size())), lastPicture_);
}

void FlashSurface::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        if (Menu())
            showBuiltInMenu(event->globalPosition().toPoint());
        else
            emit contextMenuRequested(event->globalPosition().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton) {
        QPointer<FlashSurface> self(this);
        player_->mousePress(event->position(), size());
        if (self)
            updatePointerShape();
        return;
    }
    QWidget::mousePressEvent(event);
}

void FlashSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        QPointer<FlashSurface> self(this);
        player_->mouseRelease(event->position(), size());
        if (self)
            updatePointerShape();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void FlashSurface::mouseMoveEvent(QMouseEvent* event) {
    QPointer<FlashSurface> self(this);
    emit mouseMovedOverMovie();
    if (!self)
        return;
    player_->mouseMove(event->position(), size());
    if (!self)
        return;
    updatePointerShape();
    QWidget::mouseMoveEvent(event);
}

void FlashSurface::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        // Qt sends this in place of the second press; the movie still sees a press.
        QPointer<FlashSurface> self(this);
        player_->mousePress(event->position(), size());
        if (!self)
            return;
        updatePointerShape();
        emit doubleClicked();
        if (!self)
            return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void FlashSurface::leaveEvent(QEvent* event) {
    // The pointer left the surface: buttons under it roll out. A point far off
    // the stage stays off it at any zoom.
    QPointer<FlashSurface> self(this);
    player_->mouseMove(QPointF(-1e7, -1e7), size());
    if (!self)
        return;
    updatePointerShape();
    QWidget::leaveEvent(event);
}

void FlashSurface::keyPressEvent(QKeyEvent* event) {
    const int code = movie::KeyCodes::fromQtKey(event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
    // Held keys repeat their presses, as movies expect of a held key.
    QPointer<FlashSurface> self(this);
    if (code) player_->keyPress(code, event->text());
    if (!self)
        return;
    const bool edited = editFocusedField(event);
    if (!self)
        return;
    if (code || edited) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool FlashSurface::editFocusedField(QKeyEvent* event) {
    using Command = movie::TextEntry::Command;
    // The movie's input fields share the desktop's clipboard.
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->matches(QKeySequence::Paste)) {
        player_->setClipboardText(clipboard ? clipboard->text() : QString());
        player_->textCommand(Command::Paste);
        return true;
    }
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)) {
        // A password field gives nothing: the clipboard keeps what it had.
        player_->setClipboardText(QString());
        QPointer<FlashSurface> self(this);
        player_->textCommand(event->matches(QKeySequence::Copy) ? Command::Copy : Command::Cut);
        if (self && clipboard && !player_->clipboardText().isEmpty()) clipboard->setText(player_->clipboardText());
        return true;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        player_->textCommand(Command::SelectAll);
        return true;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        player_->textCommand(Command::Enter);
        return true;
    case Qt::Key_Backspace:
        player_->textCommand(Command::Backspace);
        return true;
    case Qt::Key_Delete:
        player_->textCommand(Command::Delete);
        return true;
    case Qt::Key_Left:
        player_->textCommand(Command::MoveLeft);
        return true;
    case Qt::Key_Right:
        player_->textCommand(Command::MoveRight);
        return true;
    default:
        break;
    }
    // Characters typed; shortcuts with Ctrl or Meta type nothing.
    const QString text = event->text();
    if (text.isEmpty() || event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
    for (const QChar c : text)
        if (!c.isPrint()) return false;
    player_->textInput(text);
    return true;
}

void FlashSurface::inputMethodEvent(QInputMethodEvent* event) {
    // Text an input method composed (Chinese, accents by dead keys) arrives whole.
    if (!event->commitString().isEmpty()) player_->textInput(event->commitString());
    event->accept();
}

void FlashSurface::keyReleaseEvent(QKeyEvent* event) {
    const int code = movie::KeyCodes::fromQtKey(event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
    if (code) {
        // A repeating key is still held: only its final release counts.
        if (!event->isAutoRepeat())
            player_->keyRelease(code);
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void FlashSurface::updatePointerShape() {
    if (player_->isBusy())
        return;
    if (player_->pointerOverButton())
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void FlashSurface::setUrlOpener(UrlOpener opener) { urlOpener_ = std::move(opener); }

bool FlashSurface::opensInBrowser(const QString& url) {
    const QUrl u(url.trimmed());
    const QString scheme = u.scheme().toLower();
    return u.isValid() && !u.host().isEmpty() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

void FlashSurface::openRequestedUrl(const QString& url) {
    // Scripts, local files and other schemes stay inside the movie's reach: nothing opens.
    if (urlOpener_ && opensInBrowser(url))
        urlOpener_(QUrl(url.trimmed()));
}

void FlashSurface::showBuiltInMenu(const QPoint& globalPos) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("放大"), this, [this] { Zoom(50); });
    menu.addAction(QStringLiteral("缩小"), this, [this] { Zoom(200); });
    menu.addAction(QStringLiteral("全部显示"), this, [this] { Zoom(0); });
    menu.addSeparator();
    QAction* play = menu.addAction(QStringLiteral("播放"), this, [this] { IsPlaying() ? Stop() : Play(); });
    play->setCheckable(true);
    play->setChecked(IsPlaying());
    menu.addAction(QStringLiteral("后退"), this, [this] { Rewind(); });
    menu.exec(globalPos);
}

} // namespace nimbrel::player
