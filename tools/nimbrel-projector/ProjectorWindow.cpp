#include "ProjectorWindow.h"
#include "movie/KeyCodes.h"
#include "movie/MoviePlayer.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

using nimbrel::movie::KeyCodes;
using nimbrel::movie::MoviePlayer;

namespace {
// About 60 Hz; the engine runs as many frames as the elapsed time asks for.
constexpr int TickMs = 16;
constexpr int ShowAll = 0;

int keyCode(const QKeyEvent* e) {
    return KeyCodes::fromQtKey(e->key(), e->modifiers().testFlag(Qt::KeypadModifier));
}
} // namespace

ProjectorWindow::ProjectorWindow(QWidget* parent) : QWidget(parent), player_(new MoviePlayer(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    clock_.setTimerType(Qt::PreciseTimer);
    clock_.setInterval(TickMs);
    connect(&clock_, &QTimer::timeout, this, &ProjectorWindow::tick);
    connect(player_, &MoviePlayer::repaintNeeded, this, qOverload<>(&QWidget::update));
    connect(player_, &MoviePlayer::fsCommand, this, &ProjectorWindow::onFsCommand);
}

ProjectorWindow::~ProjectorWindow() = default;

bool ProjectorWindow::load(const QByteArray& movie, const QString& baseFolder) {
    if (!player_->loadData(movie, baseFolder))
        return false;
    player_->setScaleMode(ShowAll);
    const QSize stage = player_->stageSize();
    if (!stage.isEmpty())
        resize(stage);
    sinceLastTick_.start();
    clock_.start();
    return true;
}

QString ProjectorWindow::errorString() const { return player_->errorString(); }

void ProjectorWindow::tick() {
    const double elapsed = double(sinceLastTick_.nsecsElapsed()) / 1e6;
    sinceLastTick_.restart();
    player_->advanceTime(elapsed);
}

void ProjectorWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    player_->render(painter, size());
}

void ProjectorWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        player_->mousePress(event->position(), size());
}

void ProjectorWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        player_->mouseRelease(event->position(), size());
}

void ProjectorWindow::mouseMoveEvent(QMouseEvent* event) {
    player_->mouseMove(event->position(), size());
    if (player_->pointerOverButton())
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void ProjectorWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        showNormal();
        return;
    }
    if (const int code = keyCode(event))
        player_->keyPress(code, event->text());
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & Qt::ControlModifier))
        player_->textInput(text);
}

void ProjectorWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat())
        return;
    if (const int code = keyCode(event))
        player_->keyRelease(code);
}

void ProjectorWindow::onFsCommand(const QString& command, const QString& args) {
    // The commands movies send their projector.
    const QString c = command.toLower();
    const bool on = args.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    if (c == QLatin1String("fullscreen"))
        on ? showFullScreen() : showNormal();
    else if (c == QLatin1String("quit"))
        close();
}
