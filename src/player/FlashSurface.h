#pragma once
// A movie surface: hosts the movie engine and offers the operations the rest of
// the player calls on it. Every call is safe with no movie loaded; none shows a
// message. Positions and sizes given to Move/Top/Height are twips of the parent.
//
// A long script of the movie runs on this thread: while it runs, the window's
// events are processed from inside it (about every 50 ms), the movie's clock
// and input wait, painting shows the last picture, and a new movie or the
// surface's end is put off until the script has unwound.
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>

class QUrl;

namespace nimbrel::movie { class MoviePlayer; }

namespace nimbrel::player {

class SinkAudioOutput;

class FlashSurface : public QWidget {
    Q_OBJECT
public:
    explicit FlashSurface(QWidget* parent = nullptr);
    ~FlashSurface() override;

    // Setting a path loads it and it starts playing; "" empties the surface.
    void setMovie(const QString& pathOrUrl);
    QString Movie() const;
    // Why the movie set last could not be played; "" while it plays or loads.
    QString LoadError() const { return loadError_; }

    void Play();
    void Stop();
    void Rewind();
    bool IsPlaying() const;

    int FrameNum() const;
    void setFrameNum(int frame);
    int TotalFrames() const;
    void GotoFrame(int frame);
    // 50 zooms in by two, 200 out by two.
    void Zoom(int percent);
    // 0 fit to the surface, 1 keep proportions by width, 2 keep both proportions.
    void setScaleMode(int mode);
    int ScaleMode() const;
    // With the menu off the right button is left to the window (contextMenuRequested).
    void setMenu(bool on);
    bool Menu() const;

    bool Visible() const { return isVisible(); }
    void Move(double left, double top, double width, double height);
    double Top() const;
    double Height() const;

    movie::MoviePlayer& player() { return *player_; }

    // Ticks the movie clock at roughly 60 Hz while a movie is loaded, faster
    // for a movie whose frames come more often than that.
    static constexpr int TickMs = 16;
    static int tickIntervalFor(double frameIntervalMs);
    bool isTicking() const { return clock_.isActive(); }
    int tickInterval() const { return clock_.interval(); }

    // Opens an address the movie asked for (getURL) outside the player; the
    // system browser unless replaced. Only http and https addresses reach it.
    using UrlOpener = std::function<void(const QUrl&)>;
    void setUrlOpener(UrlOpener opener);
    static bool opensInBrowser(const QString& url);

signals:
    // Right button with the built-in menu off: the window shows its own control menu.
    void contextMenuRequested(const QPoint& globalPos);
    void mouseMovedOverMovie();
    void doubleClicked();
    // A movie that could not be loaded; the surface itself stays quiet.
    void loadFailed(const QString& reason);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void tick();
    // The movie played a frame: the surface is painted only if it looks different.
    void frameChanged();
    // The view changed (another movie, frame, zoom): painted with a new picture.
    void redraw();
    // Called by the movie while one of its scripts runs.
    void whileScriptRuns();
    // Typing and editing keys for the movie's focused input field; true when the key was one.
    bool editFocusedField(QKeyEvent* event);
    void showBuiltInMenu(const QPoint& globalPos);
    void updatePointerShape();
    void openRequestedUrl(const QString& url);

    movie::MoviePlayer* player_;
    SinkAudioOutput* audio_; // where the movie's sound is heard
    QTimer clock_;
    QElapsedTimer sinceLastTick_;
    UrlOpener urlOpener_;
    QImage lastPicture_; // what painting shows while a script runs
    QString loadError_;
    bool pictureFresh_ = false; // lastPicture_ was drawn for the frame now showing
    bool frameCheckQueued_ = false;
};

} // namespace nimbrel::player
