#pragma once
// The movie engine's facade: one loaded movie, its clock and its drawing.
// QtCore/QtGui only; the widget that hosts it lives in src/player/.
#include <QObject>
#include <QString>
#include <QSize>
#include <QColor>
#include <QPointF>
#include <memory>

class QPainter;

namespace nimbrel::movie {

class MoviePlayer : public QObject {
    Q_OBJECT
public:
    explicit MoviePlayer(QObject* parent = nullptr);
    ~MoviePlayer() override;

    // Loads a local path or a file://, http:// or https:// address (fetched
    // asynchronously); a newly set movie plays on load. "" empties the player.
    void setMovie(const QString& pathOrUrl);
    QString movie() const;

    void play();
    void stop();
    void rewind();
    bool isPlaying() const;

    int frameNum() const;          // 0-based current frame
    void setFrameNum(int frame);   // same as gotoFrame
    int totalFrames() const;       // header frame count, 0 when nothing is loaded
    void gotoFrame(int frame);     // clamped to the movie's frames

    void zoom(int percent);        // 50 zooms in by two, 200 out by two, 0 back to the whole movie
    void setScaleMode(int mode);   // 0 show all, 1 fill keeping proportions, 2 stretch
    int scaleMode() const;
    void setMenuEnabled(bool on);
    bool menuEnabled() const;

    // Advances the movie by wall-clock time; frames are dropped rather than slowed.
    void advanceTime(double elapsedMs);
    // Draws the movie into a viewport of the given size in device-independent pixels.
    void render(QPainter& painter, const QSize& viewport);

signals:
    void repaintNeeded();
    void loadFailed(const QString& reason);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace nimbrel::movie
