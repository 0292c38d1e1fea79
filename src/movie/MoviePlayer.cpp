#include "movie/MoviePlayer.h"
#include <QPainter>

// First cut: remembers what it was given and plays nothing; the SWF engine fills this in.
namespace nimbrel::movie {

struct MoviePlayer::Impl {
    QString movie;
    bool playing = false;
    int scaleMode = 0;
    bool menu = true;
};

MoviePlayer::MoviePlayer(QObject* parent) : QObject(parent), d(std::make_unique<Impl>()) {}
MoviePlayer::~MoviePlayer() = default;

void MoviePlayer::setMovie(const QString& pathOrUrl) {
    d->movie = pathOrUrl;
    d->playing = !pathOrUrl.isEmpty();
    emit repaintNeeded();
}
QString MoviePlayer::movie() const { return d->movie; }
void MoviePlayer::play() { d->playing = !d->movie.isEmpty(); }
void MoviePlayer::stop() { d->playing = false; }
void MoviePlayer::rewind() {}
bool MoviePlayer::isPlaying() const { return d->playing; }
int MoviePlayer::frameNum() const { return 0; }
void MoviePlayer::setFrameNum(int frame) { gotoFrame(frame); }
int MoviePlayer::totalFrames() const { return 0; }
void MoviePlayer::gotoFrame(int) {}
void MoviePlayer::zoom(int) {}
void MoviePlayer::setScaleMode(int mode) { d->scaleMode = mode; }
int MoviePlayer::scaleMode() const { return d->scaleMode; }
void MoviePlayer::setMenuEnabled(bool on) { d->menu = on; }
bool MoviePlayer::menuEnabled() const { return d->menu; }
void MoviePlayer::advanceTime(double) {}
void MoviePlayer::render(QPainter& painter, const QSize& viewport) {
    painter.fillRect(QRect(QPoint(0, 0), viewport), Qt::white);
}

} // namespace nimbrel::movie
