#pragma once
// The ActionScript 1/2 engine behind the timeline: frame actions, init
// actions, button actions and clip events are queued as the timeline hands
// them over and run in that order once the frame's display list is settled.
#include "movie/display/ScriptEngine.h"
#include "movie/avm1/ActionCode.h"
#include "movie/swf/ClipEvent.h"
#include <deque>
#include <functional>
#include <memory>

namespace nimbrel::movie::avm1 {

class Interpreter;
class MovieClipObject;
class Object;

class Avm1ScriptEngine : public display::ScriptEngine {
public:
    Avm1ScriptEngine();
    ~Avm1ScriptEngine() override;

    // For MoviePlayer::setScriptEngineFactory.
    static std::function<std::unique_ptr<display::ScriptEngine>()> factory();

    void attach(display::MovieClip* root, display::ScriptHost* host) override;
    void detach() override;
    void frameStarted() override;
    void frameActions(display::MovieClip* clip, const QByteArray& actions) override;
    void initActions(display::MovieClip* root, uint16_t spriteId, const QByteArray& actions) override;
    void buttonActions(display::ButtonObject* button, const QByteArray& actions) override;
    void clipEvent(display::DisplayObject* object, swf::ClipEvent event, int keyCode = 0) override;
    void objectCreated(display::DisplayObject* object) override;
    void objectRemoved(display::DisplayObject* object) override;
    void runQueuedActions() override;
    void warning(const QString& message) override;
    void setScriptLimits(int maxRecursion, int timeoutSeconds) override;
    void beginScriptRun() override;
    void endScriptRun() override;
    void cancelRunningScripts() override;
    bool lastRunCut() const override;
    display::ScriptStop scriptsStopped() const override;
    // A file may ask for a longer timeout than the default, up to this: with no
    // prompt to ask the user, a runaway movie is not left spinning for hours.
    static constexpr int kMaxTimeoutSeconds = 60;
    void broadcastInput(swf::ClipEvent event) override;
    bool hearsKeys(display::DisplayObject* focused) override;
    bool actsAsButton(display::DisplayObject* object) override;
    bool isEnabled(display::DisplayObject* object) override;
    bool usesHandCursor(display::DisplayObject* object) override;
    display::FocusTraits focusTraits(display::DisplayObject* object) override;
    void focusChanged(display::DisplayObject* lost, display::DisplayObject* gained) override;
    void textEdited(display::DisplayObject* field) override;

    Interpreter* interpreter() const { return vm_.get(); }
    double movieTimeMs() const { return timeMs_; }

    static constexpr int kMaxJobsPerFrame = 100000;

private:
    struct Job {
        MovieClipObject* target = nullptr;
        const QByteArray* bytes = nullptr; // action bytes, or
        QByteArray ownBytes;
        uint32_t event = 0;                // a clip event for target
        bool bindClass = false;            // or target takes its registered class, if any by now
        swf::ClipActionList handlers;       // unload: the handlers of an object already gone
        Object* listeners = nullptr;       // or a message for the listeners of this broadcaster
        QString message;
    };
    void runEvent(MovieClipObject* target, uint32_t event, const swf::ClipActionList* handlers = nullptr);

    std::unique_ptr<Interpreter> vm_;
    display::ScriptHost* host_ = nullptr;
    std::deque<Job> queue_;
    double frameMs_ = 1000.0 / 12.0;
    double timeMs_ = 0;
    bool running_ = false;
    int instanceCount_ = 0;
};

} // namespace nimbrel::movie::avm1
