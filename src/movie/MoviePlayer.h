#pragma once
// The movie engine's facade: one loaded movie, its clock and its drawing.
// QtCore/QtGui only; the widget that hosts it lives in src/player/.
#include "movie/TextEntry.h"
#include <QObject>
#include <QString>
#include <QSize>
#include <QColor>
#include <QImage>
#include <QPointF>
#include <functional>
#include <memory>

class QPainter;

namespace nimbrel::movie {

namespace swf {
struct Movie;
}
namespace display {
class MovieClip;
class ScriptEngine;
} // namespace display
namespace host {
class AudioOutput;
}

class MoviePlayer : public QObject {
    Q_OBJECT
public:
    // Frames run per advanceTime() call at most; time beyond that is dropped
    // so that a slow machine shows a jerkier movie, not a slower one.
    static constexpr int maxCatchUpFrames = 4;
    static constexpr qint64 maxFileBytes = 256LL * 1024 * 1024;
    // Local files larger than this are read and parsed on a worker thread so
    // the window never waits on them; smaller ones load at once.
    static constexpr qint64 backgroundParseBytes = 512 * 1024;

    explicit MoviePlayer(QObject* parent = nullptr);
    // Never while one of its scripts runs below the caller (see deleteWhenIdle).
    ~MoviePlayer() override;

    // Loads a local path or a file://, http:// or https:// address (fetched
    // asynchronously, as large local files are parsed); a newly set movie
    // plays on load, announced by loaded() or loadFailed(). Until then the
    // player reads as empty. "" empties the player.
    void setMovie(const QString& pathOrUrl);
    QString movie() const;
    // Loads a movie already in memory; baseUrl resolves its relative loads and
    // movieUrl, when known, is the address of the file itself (what _url reads).
    // False (and errorString()) when the bytes are not a usable movie.
    bool loadData(const QByteArray& bytes, const QString& baseUrl = QString(), const QString& movieUrl = QString());
    bool isLoaded() const;
    QString errorString() const;

    void play();
    void stop();
    void rewind();
    bool isPlaying() const;

    int frameNum() const;          // 0-based current frame
    void setFrameNum(int frame);   // same as gotoFrame
    int totalFrames() const;       // header frame count, 0 when nothing is loaded
    void gotoFrame(int frame);     // clamped to the movie's frames; playback pauses there

    void zoom(int percent);        // 50 zooms in by two, 200 out by two, 0 back to the whole movie
    void setScaleMode(int mode);   // 0 show all, 1 fill keeping proportions, 2 stretch
    int scaleMode() const;
    void setMenuEnabled(bool on);
    bool menuEnabled() const;

    // Advances the movie by wall-clock time; frames are dropped rather than slowed.
    // A frame whose scripts were cut short ends the advance, and the time it
    // took is dropped: no frames are run to catch up after it.
    void advanceTime(double elapsedMs);
    // One frame of the movie, exactly as advanceTime runs it.
    void stepFrame();

    // ---- scripts that run long -------------------------------------------------
    // All scripts of one frame (or of one input event) share one time budget
    // (the file's ScriptLimits or 15 s). Running out of it, or recursing without
    // end, stops the movie's scripts for good; its frames go on being drawn.
    enum class StopReason { None, RanTooLong, RunawayRecursion };
    Q_ENUM(StopReason)
    bool scriptsStopped() const;
    StopReason scriptStopReason() const;
    // One line for a status line or a log, in English.
    static QString stopMessage(StopReason why);
    // A script of the movie is running: a host's event processing is nested
    // inside it (see setStillRunningHook). Frames and input wait meanwhile.
    bool isBusy() const;
    // Called about every 50 ms while a script runs, for a window to answer meanwhile.
    void setStillRunningHook(std::function<void()> hook);
    // Ends the scripts running now as soon as they check (not for good).
    void cancelRunningScripts();
    // Deletes the player once no script of it is on the stack any more (at
    // once when none is), cutting running scripts short. For owners that go
    // away while a script runs inside their event processing.
    void deleteWhenIdle();
    // The wall clock the budget is measured on, in milliseconds (tests give a manual one).
    void setScriptClock(std::function<double()> wallMs);
    double frameRate() const;      // frames per second from the header
    double frameIntervalMs() const;
    QSize stageSize() const;       // pixels
    QColor backgroundColor() const;

    // The pointer over the movie surface, in viewport pixels: buttons change
    // state and run their actions, clips get their mouse events.
    void mouseMove(const QPointF& pos, const QSize& viewport);
    void mousePress(const QPointF& pos, const QSize& viewport);
    void mouseRelease(const QPointF& pos, const QSize& viewport);
    // Where a viewport position lies on the stage, in twips.
    QPointF stagePoint(const QPointF& pos, const QSize& viewport) const;
    // The pointer's last position is over a button that has actions (the hand shows).
    bool pointerOverButton() const;

    // Keys pressed over the movie: keyCode as KeyCodes::fromQtKey gives it,
    // text what the key typed. Clips and the focused object get their key
    // events, buttons the key-press conditions of special keys (Enter, Tab,
    // arrows...); Tab moves the focus. The characters a key types follow
    // through textInput.
    void keyPress(int keyCode, const QString& text);
    void keyRelease(int keyCode);
    bool isKeyDown(int keyCode) const;
    // The movie takes keyCode now (text what the key types, may be ""): a Key
    // listener, a key handler of a clip or of the focused object, a button's
    // key-press condition for it, or a focused input field. A host keeps its
    // own shortcut for such a key out of the movie's way.
    bool takesKey(int keyCode, const QString& text = QString()) const;
    int lastKeyCode() const;
    // Text typed (or committed by an input method): a button's key-press
    // condition for a character takes it, the rest goes into the input text
    // field that has the keyboard focus. Editing commands go to that field.
    void textInput(const QString& text);
    void textCommand(TextEntry::Command command);
    // The clipboard text fields copy to and paste from.
    void setClipboardText(const QString& text);
    QString clipboardText() const;

    // The stage's drawing quality as movies name it: "LOW", "MEDIUM", "HIGH"
    // (the default) or "BEST"; other names are ignored. Scripts change it too.
    void setQuality(const QString& name);
    QString quality() const;

    // Draws the movie into a viewport of the given size in device-independent pixels.
    void render(QPainter& painter, const QSize& viewport);
    // The same drawing into a new image of size * devicePixelRatio pixels.
    QImage renderImage(const QSize& viewport, qreal devicePixelRatio = 1.0);

    // ---- sound -------------------------------------------------------------------
    // Where the mixed sound goes (not owned; null: nowhere). Headless runs get
    // one frame interval of samples per stepFrame, players the elapsed time
    // of each advanceTime.
    void setAudioOutput(host::AudioOutput* output);
    // The level of everything the movie plays, 0 (silent) to 1 (as mixed).
    void setSoundVolume(double volume);
    double soundVolume() const;

    // The parsed file and its main timeline, for tools and the interpreter.
    std::shared_ptr<const swf::Movie> parsedMovie() const;
    display::MovieClip* root() const;

    // Interpreter for the movies loaded from now on (unless changed, the
    // machine each movie declares: ActionScript 3 or 1/2); a null factory
    // means no scripts.
    using ScriptEngineFactory = std::function<std::unique_ptr<display::ScriptEngine>()>;
    void setScriptEngineFactory(ScriptEngineFactory factory);
    // Receives every trace line scripts produce (besides the traced() signal).
    void setTraceSink(std::function<void(const QString&)> sink);
    double elapsedMs() const;      // movie time since load, as getTimer reports it

signals:
    void repaintNeeded();
    void loadFailed(const QString& reason);
    void loaded();
    void traced(const QString& line);
    void fsCommand(const QString& command, const QString& args);
    void urlRequested(const QString& url, const QString& target);
    // The movie's scripts were stopped for good (once per movie, after the run unwound).
    void scriptsHalted(nimbrel::movie::MoviePlayer::StopReason why);

private:
    void clear();
    void fail(const QString& reason);
    // Starts a parsed movie (its imports resolved) as loadData does.
    bool startParsed(std::shared_ptr<const swf::Movie> movie, const QString& baseUrl);

    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace nimbrel::movie
