#pragma once
// The ActionScript 3 machine behind the timeline: the movie's bytecode blocks
// run in frame order, SymbolClass links symbols to classes, the document
// class is constructed over the main timeline, and each frame brings
// enterFrame, the construction of new linked objects, frameConstructed, the
// frame scripts registered with addFrameScript and exitFrame, in that order.
#include "movie/avm2/Avm2Host.h"
#include "movie/display/ScriptEngine.h"
#include <deque>
#include <functional>
#include <memory>

namespace nimbrel::movie::avm2 {

class Runtime;
class StageBridge;
struct ScriptThrow;

class Avm2ScriptEngine : public display::ScriptEngine, private Avm2Host {
public:
    Avm2ScriptEngine();
    ~Avm2ScriptEngine() override;

    static std::function<std::unique_ptr<display::ScriptEngine>()> factory();

    void attach(display::MovieClip* root, display::ScriptHost* host) override;
    void detach() override;
    void frameStarted() override;
    void frameEntered(display::MovieClip* clip, int frame) override;
    void clipEvent(display::DisplayObject* object, swf::ClipEvent event, int keyCode = 0) override;
    void objectCreated(display::DisplayObject* object) override;
    void objectRemoved(display::DisplayObject* object) override;
    void runQueuedActions() override;
    void setScriptLimits(int maxRecursion, int timeoutSeconds) override;
    void beginScriptRun() override;
    void endScriptRun() override;
    void cancelRunningScripts() override;
    bool lastRunCut() const override { return runCut_; }
    display::ScriptStop scriptsStopped() const override { return stopped_; }
    void broadcastInput(swf::ClipEvent event) override;
    void textEdited(display::DisplayObject* field) override;
    bool textTyped(display::DisplayObject* field, const QString& text) override;
    void focusChanged(display::DisplayObject* lost, display::DisplayObject* gained) override;
    bool hearsKeys(display::DisplayObject*) override { return stopped_ == display::ScriptStop::None; }
    bool actsAsButton(display::DisplayObject* object) override;
    bool usesHandCursor(display::DisplayObject*) override { return false; }

    Runtime* runtime() const { return rt_.get(); }
    StageBridge* bridge() const { return bridge_.get(); }
    static constexpr int kMaxJobsPerFrame = 100000;

private:
    // Avm2Host.
    void trace(const QString& line) override;
    int64_t nowMs() const override;
    int64_t scriptTimeoutMs() const override { return timeoutMs_; }
    int64_t movieTimeMs() const override { return int64_t(timeMs_); }

    // Runs script code, reporting what it throws; false when scripts are stopped.
    bool guarded(const std::function<void()>& run);
    void reportUncaught(const ScriptThrow& t);
    void loadBlocksUpTo(int frame);
    void bindDocumentClass();
    void constructCreated();
    std::vector<int> treePath(const display::DisplayObject& object) const;
    void runFrameScripts();

    std::unique_ptr<Runtime> rt_;
    std::unique_ptr<StageBridge> bridge_;
    display::MovieClip* root_ = nullptr;
    display::ScriptHost* host_ = nullptr;
    size_t nextBlock_ = 0;
    size_t nextLink_ = 0;
    QString documentClass_;
    bool documentBound_ = false;
    std::shared_ptr<class EventTargetObject> documentObject_;
    struct FrameJob {
        std::weak_ptr<display::DisplayObject> clip;
        int frame = 0;
    };
    std::deque<FrameJob> frames_;
    std::vector<std::weak_ptr<display::DisplayObject>> created_;
    bool inFrame_ = false;
    int framesStarted_ = 0;
    double frameMs_ = 1000.0 / 12.0;
    double timeMs_ = 0;
    int64_t timeoutMs_ = 15000;
    int runDepth_ = 0;
    bool runCut_ = false;
    bool cancelled_ = false;
    mutable double lastStillRunning_ = 0;
    display::ScriptStop stopped_ = display::ScriptStop::None;
};

} // namespace nimbrel::movie::avm2
