#pragma once
// The player's state behind MoviePlayer: the movie, its display list and
// script machine, and the services the machine calls back (ScriptHost).
// Shared by the player's sources only.
#include "movie/MoviePlayer.h"
#include "movie/avm1/Avm1ScriptEngine.h"
#include "movie/avm2/Avm2ScriptEngine.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/FocusManager.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptEngine.h"
#include "movie/display/ScriptHost.h"
#include "movie/display/StageLevels.h"
#include "movie/KeyInput.h"
#include "movie/PointerInput.h"
#include "movie/host/AudioOutput.h"
#include "movie/host/LoadPolicy.h"
#include "movie/host/ManualClock.h"
#include "movie/host/NavigationGate.h"
#include "movie/host/NetworkFetcher.h"
#include "movie/render/StageLayout.h"
#include "movie/render/StageRenderer.h"
#include "movie/sound/SoundPlayback.h"
#include "movie/swf/MovieParser.h"
#include <QRectF>
#include <functional>
#include <memory>
#include <optional>

namespace nimbrel::movie {

struct MoviePlayer::Impl : display::ScriptHost {
    MoviePlayer* q = nullptr;
    QString moviePath;
    QString base;
    QString address; // of the movie's own file, when known
    QString error;
    std::shared_ptr<const swf::Movie> movie;
    std::unique_ptr<display::ScriptEngine> scripts;
    std::unique_ptr<display::MovieContext> context;
    std::shared_ptr<display::MovieClip> root;
    display::StageLevels levels; // _level1 and up
    ScriptEngineFactory factory;
    // Until a caller chooses, each movie gets the machine its FileAttributes ask for.
    bool enginePerMovie = true;
    std::function<void(const QString&)> traceSink;
    host::ManualClock clock;
    host::NavigationGate navigation{clock}; // how often getURL may open an address
    host::NetworkFetcher* fetcher = nullptr;
    QRectF view;
    int scaleMode = 0;
    bool menu = true;
    double pending = 0;
    PointerInput pointer;
    KeyInput keys;
    display::FocusManager focus;
    QString clipboard;
    bool focusHighlight = true; // _focusrect
    std::optional<QPointF> lastPointer; // stage twips of the last pointer event
    render::StageRenderer::OutlineCache outlines; // keyed by shapes of `movie`
    int busy = 0; // > 0 while the movie's scripts may be running
    std::function<void()> stillRunningHook;
    std::function<double()> scriptClock;
    bool stopNoticeDue = false;
    bool deleteRequested = false;
    std::optional<double> cutAtMs; // when the last frame cut short ended (script clock)
    quint64 loadTicket = 0; // a background parse delivers only if no load began since

    // ---- sound: the movie's mixer and where its output goes ----
    sound::SoundPlayback sound;
    host::AudioOutput nullAudio;
    host::AudioOutput* audio = &nullAudio;
    double audioCarry = 0; // fractions of a sample frame owed to the next mix
    // Mixes ms of sound and hands it to the output.
    void produceAudio(double ms);
    // A streaming main timeline follows its sound: when the sound would run
    // dry, frames are run (and not drawn) until it has samples again.
    void followStreamSound();

    // Marks a stretch that may run scripts: a script's request to replace the
    // movie (through a signal) must not tear down the engine running it.
    struct Busy {
        Impl& impl;
        explicit Busy(Impl& i) : impl(i) { ++impl.busy; }
        ~Busy() {
            if (--impl.busy == 0) impl.becameIdle();
        }
    };
    // One budget for the scripts of a frame or an input event.
    struct ScriptRun {
        display::ScriptEngine& engine;
        explicit ScriptRun(display::ScriptEngine& e) : engine(e) { engine.beginScriptRun(); }
        ~ScriptRun() { engine.endScriptRun(); }
    };

    // Nothing of the movie's scripts is on the stack any more.
    void becameIdle() {
        if (stopNoticeDue) {
            stopNoticeDue = false;
            emit q->scriptsHalted(q->scriptStopReason());
        }
        if (deleteRequested) q->deleteLater();
    }
    // One frame of the movie; true when its scripts were cut short.
    bool advanceOneFrame();

    double scriptClockMs() const override {
        return scriptClock ? scriptClock() : display::ScriptHost::scriptClockMs();
    }
    void scriptStillRunning() override {
        // A copy: the hook may replace itself (its owner going away) while it runs.
        if (auto hook = stillRunningHook) hook();
    }
    void scriptsStopped(display::ScriptStop) override { stopNoticeDue = true; }

    void trace(const QString& line) override {
        if (traceSink) traceSink(line);
        emit q->traced(line);
    }
    void fsCommand(const QString& command, const QString& args) override { emit q->fsCommand(command, args); }
    void getUrl(const QString& url, const QString& target) override {
        if (navigation.tryOpen()) emit q->urlRequested(url, target);
    }
    // The movie handles the user's press or key: one address may open for it.
    struct UserInput {
        host::NavigationGate& gate;
        explicit UserInput(host::NavigationGate& g) : gate(g) { gate.enterInput(); }
        ~UserInput() { gate.leaveInput(); }
    };
    QString baseUrl() const override { return base; }
    QString movieUrl() const override { return address; }

    display::MovieClip* level(int n) const override { return levels.at(n); }
    display::MovieClip* placeLevel(int n, std::shared_ptr<const swf::Movie> loaded) override {
        return context ? levels.place(*context, n, std::move(loaded)) : nullptr;
    }
    void removeLevel(int n) override { levels.remove(n); }
    // The main movie and the levels above it, lowest first.
    std::vector<std::shared_ptr<display::MovieClip>> stageRoots() const {
        auto out = levels.roots();
        if (root) out.insert(out.begin(), root);
        return out;
    }

    bool isKeyDown(int keyCode) const override { return keys.isDown(keyCode); }
    int lastKeyCode() const override { return keys.lastCode(); }
    int lastKeyAscii() const override { return keys.lastAscii(); }
    QPointF pointerPosition() const override { return lastPointer.value_or(QPointF()); }
    void startDrag(display::DisplayObject* object, bool lockCenter, const std::optional<QRectF>& bounds) override {
        pointer.startDrag(object, lockCenter, bounds, pointerPosition());
    }
    void stopDrag() override { pointer.stopDrag(); }
    display::DisplayObject* draggedObject() const override { return pointer.dragged(); }
    display::DisplayObject* dropTarget() const override {
        if (!root || !lastPointer) return nullptr;
        return PointerInput::clipAt(*root, *lastPointer, pointer.dragged());
    }
    QString quality() const override { return qualityName; }
    void setQuality(const QString& name) override {
        static const QStringList names{QStringLiteral("LOW"), QStringLiteral("MEDIUM"), QStringLiteral("HIGH"),
                                       QStringLiteral("BEST")};
        const QString upper = name.toUpper();
        if (names.contains(upper)) qualityName = upper;
    }

    display::DisplayObject* focusedObject() const override { return focus.focused(); }
    bool setFocus(display::DisplayObject* object) override { return focus.setFocus(object); }
    void dropFocusWithin(display::DisplayObject* object) override { focus.dropWithin(object); }
    display::DisplayObject* keyFocus() const override {
        return focus.keyboardDriven() ? focus.focused() : nullptr;
    }
    bool focusRect() const override { return focusHighlight; }
    void setFocusRect(bool on) override { focusHighlight = on; }

    QString qualityName = QStringLiteral("HIGH");
};

} // namespace nimbrel::movie
