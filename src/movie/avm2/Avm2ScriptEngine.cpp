#include "movie/avm2/Avm2ScriptEngine.h"
#include "movie/avm2/builtins/LoaderClasses.h"
#include "movie/avm1/Avm1ScriptEngine.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/Runtime.h"
#include "movie/avm2/StageBridge.h"
#include "movie/avm2/builtins/TextEventClasses.h"
#include "movie/avm2/builtins/TextFieldClass.h"
#include "movie/avm2/builtins/SoundClasses.h"
#include "movie/avm2/builtins/TimerClass.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptHost.h"
#include "movie/swf/Movie.h"

namespace nimbrel::movie::avm2 {

using display::DisplayObject;
using display::MovieClip;

Avm2ScriptEngine::Avm2ScriptEngine() = default;

Avm2ScriptEngine::~Avm2ScriptEngine() { detach(); }

std::function<std::unique_ptr<display::ScriptEngine>()> Avm2ScriptEngine::factory() {
    return [] { return std::make_unique<Avm2ScriptEngine>(); };
}

void Avm2ScriptEngine::attach(MovieClip* root, display::ScriptHost* host) {
    root_ = root;
    host_ = host;
    const auto& movie = root->context()->movie();
    if (movie->header.frameRate > 0.01) frameMs_ = 1000.0 / std::min(movie->header.frameRate, 120.0);
    rt_ = std::make_unique<Runtime>(static_cast<Avm2Host&>(*this));
    bridge_ = std::make_unique<StageBridge>(*rt_, root, host);
    bridge_->constructPlaced = [this] { constructCreated(); };
    rt_->stage = bridge_.get();
    timeMs_ = 0;
    root->setName(QStringLiteral("root1"));
}

void Avm2ScriptEngine::detach() {
    frames_.clear();
    created_.clear();
    documentObject_.reset();
    if (rt_) rt_->stage = nullptr;
    bridge_.reset();
    rt_.reset();
    root_ = nullptr;
}

void Avm2ScriptEngine::trace(const QString& line) {
    if (host_) host_->trace(line);
}

int64_t Avm2ScriptEngine::nowMs() const {
    if (cancelled_) return std::numeric_limits<int64_t>::max() / 2;
    const double now = host_ ? host_->scriptClockMs() : 0;
    // The budget is checked every so often while code runs: the host's window may answer meanwhile.
    if (host_ && now - lastStillRunning_ >= 50) {
        lastStillRunning_ = now;
        host_->scriptStillRunning();
    }
    return int64_t(now);
}

void Avm2ScriptEngine::setScriptLimits(int, int timeoutSeconds) {
    if (timeoutSeconds > 0)
        timeoutMs_ = int64_t(std::min(timeoutSeconds, avm1::Avm1ScriptEngine::kMaxTimeoutSeconds)) * 1000;
}

void Avm2ScriptEngine::beginScriptRun() {
    if (runDepth_++ > 0 || !rt_) return;
    runCut_ = false;
    cancelled_ = false;
    lastStillRunning_ = host_ ? host_->scriptClockMs() : 0;
    rt_->startBudget();
}

void Avm2ScriptEngine::endScriptRun() {
    if (runDepth_ > 0) --runDepth_;
    if (runDepth_ == 0) cancelled_ = false;
}

void Avm2ScriptEngine::cancelRunningScripts() { cancelled_ = true; }

void Avm2ScriptEngine::reportUncaught(const ScriptThrow& t) {
    // As a debugging player logs it: the error's own text.
    try {
        trace(rt_->toString(t.value));
    } catch (const ScriptThrow&) {
        trace(QStringLiteral("Error"));
    }
}

bool Avm2ScriptEngine::guarded(const std::function<void()>& run) {
    if (!rt_ || stopped_ != display::ScriptStop::None) return false;
    // A run outside any frame advance or input (a test calling in) gets its own budget.
    const bool own = runDepth_ == 0;
    if (own) beginScriptRun();
    try {
        run();
    } catch (const ScriptThrow& t) {
        reportUncaught(t);
    } catch (const ScriptAbort&) {
        runCut_ = true;
        // Cancelled by the host: only this run ends. Out of time: the movie's scripts stop for good.
        if (!cancelled_) {
            stopped_ = display::ScriptStop::RanTooLong;
            if (host_) host_->scriptsStopped(stopped_);
        }
    }
    if (own) endScriptRun();
    return stopped_ == display::ScriptStop::None && !runCut_;
}

void Avm2ScriptEngine::loadBlocksUpTo(int frame) {
    const swf::Movie& movie = *root_->context()->movie();
    while (nextBlock_ < movie.abcBlocks.size() && movie.abcBlocks[nextBlock_].frame <= frame) {
        const swf::AbcBlock& block = movie.abcBlocks[nextBlock_++];
        guarded([&] { rt_->loadAndRun(block.bytes, block.lazyInitialize()); });
    }
    while (nextLink_ < movie.symbolClasses.size() && movie.symbolClasses[nextLink_].frame <= frame) {
        const swf::SymbolClassLink& link = movie.symbolClasses[nextLink_++];
        if (link.characterId == 0) documentClass_ = link.className;
        else bridge_->link(link.characterId, link.className);
    }
}

// The document class's instance is the main timeline's script object: made
// before anything reaches the root, constructed once the first frame's objects are in place.
void Avm2ScriptEngine::bindDocumentClass() {
    if (documentBound_ || documentClass_.isEmpty()) return;
    documentBound_ = true;
    guarded([&] {
        auto cls = rt_->findClass(documentClass_);
        if (!cls) return;
        ClassObject* sprite = rt_->builtin(QStringLiteral("flash.display.Sprite"));
        if (!cls->isSubclassOf(sprite)) rt_->raise(QStringLiteral("TypeError"), 2023, {cls->name + QLatin1Char('$')});
        documentObject_ = std::dynamic_pointer_cast<EventTargetObject>(cls->allocate());
        if (!documentObject_) return;
        bridge_->bind(documentObject_, root_->shared_from_this());
        bridge_->unconstructed.insert(bridge_->unconstructed.begin(), {root_->weak_from_this(), documentObject_});
    });
}

// Depths from the main timeline down to the object: an order of the display tree.
std::vector<int> Avm2ScriptEngine::treePath(const DisplayObject& object) const {
    std::vector<int> path;
    for (const DisplayObject* o = &object; o && o != root_ && path.size() < 256; o = o->parent())
        path.insert(path.begin(), o->depth());
    return path;
}

void Avm2ScriptEngine::constructCreated() {
    // Objects the timeline placed with a name become properties of their parent's object.
    auto created = std::move(created_);
    created_.clear();
    for (const auto& weak : created) {
        auto object = weak.lock();
        if (!object || !object->parent() || object->placedByScript || object->placedName().isEmpty()) continue;
        guarded([&] {
            const Value parent = bridge_->valueOf(object->parent());
            const Name name = Name::publicName(object->placedName());
            const ScriptObject* p = parent.obj();
            // A declared variable of that name, or a dynamic object, takes it.
            if (p && ((p->traits && p->traits->find(name)) || !p->sealed))
                PropertyAccess::set(*rt_, parent, name, bridge_->valueOf(object.get()));
        });
    }
    // Children are constructed before their parent, siblings from the bottom
    // up; each object placed by the timeline hears it was added once constructed.
    struct Entry {
        std::shared_ptr<DisplayObject> object;
        std::vector<int> path;
        bool announce = false;
    };
    std::vector<Entry> entries;
    auto add = [&](const std::shared_ptr<DisplayObject>& object, bool announce) {
        for (Entry& e : entries)
            if (e.object == object) {
                e.announce = e.announce || announce;
                return;
            }
        entries.push_back({object, treePath(*object), announce});
    };
    for (const auto& weak : created)
        if (auto object = weak.lock(); object && object->parent() && !object->placedByScript) add(object, true);
    for (const Entry& e : std::vector<Entry>(entries))
        if (bridge_->linkedClasses.contains(e.object->characterId())) bridge_->wrap(e.object.get());
    std::vector<std::shared_ptr<EventTargetObject>> toConstruct;
    for (auto& [weak, obj] : bridge_->unconstructed) {
        auto object = weak.lock();
        if (!object || !obj->cls) continue;
        toConstruct.push_back(obj);
        // The main timeline joins the stage with its document class.
        add(object, object.get() == root_);
    }
    bridge_->unconstructed.clear();
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const size_t n = std::min(a.path.size(), b.path.size());
        for (size_t i = 0; i < n; ++i)
            if (a.path[i] != b.path[i]) return a.path[i] < b.path[i];
        return a.path.size() > b.path.size(); // the deeper one (a child) first
    });
    for (const Entry& e : entries) {
        for (const auto& obj : toConstruct)
            if (obj->displayObject == e.object)
                guarded([&] { rt_->runConstructor(*obj->cls, Value::object(obj), {}); });
        if (e.announce && (e.object->parent() || e.object.get() == root_))
            guarded([&] { bridge_->announceAdded(*e.object, false); });
    }
    // Constructors may have linked more (a script making a linked symbol).
    for (const auto& [weak, obj] : bridge_->unconstructed)
        if (!weak.expired() && obj->cls) guarded([&] { rt_->runConstructor(*obj->cls, Value::object(obj), {}); });
    bridge_->unconstructed.clear();
}

void Avm2ScriptEngine::runFrameScripts() {
    // The scripts of one frame run parents first, in display-list order.
    std::vector<std::pair<std::vector<int>, FrameJob>> batch;
    for (const FrameJob& job : frames_)
        if (auto clip = job.clip.lock()) batch.emplace_back(treePath(*clip), job);
    std::stable_sort(batch.begin(), batch.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    frames_.clear();
    for (auto& [path, job] : batch) frames_.push_back(std::move(job));
    // A goto a script made builds the frame it reached at once: that frame is
    // constructed, then its scripts run, then it is exited.
    int gotoExits = 0;
    auto afterGoto = [&] {
        if (!bridge_->gotoRan) return false;
        bridge_->gotoRan = false;
        constructCreated();
        guarded([&] { bridge_->broadcast(QStringLiteral("frameConstructed")); });
        ++gotoExits;
        return true;
    };
    afterGoto();
    int jobs = 0;
    while (!frames_.empty() && jobs++ < kMaxJobsPerFrame && stopped_ == display::ScriptStop::None) {
        FrameJob job = frames_.front();
        frames_.pop_front();
        auto clip = std::dynamic_pointer_cast<MovieClip>(job.clip.lock());
        if (!clip || clip->currentFrame() != job.frame) continue;
        auto self = bridge_->wrap(clip.get());
        auto it = self->frameScripts.find(job.frame);
        if (it == self->frameScripts.end()) continue;
        const Value fn = it->second;
        bridge_->gotoRan = false;
        guarded([&] { rt_->call(fn, Value::object(self), {}); });
        // What the script placed or linked by a goto is made before the next script runs.
        if (!afterGoto() && (!created_.empty() || !bridge_->unconstructed.empty())) constructCreated();
    }
    for (int i = 0; i < gotoExits && stopped_ == display::ScriptStop::None; ++i)
        guarded([&] { bridge_->broadcast(QStringLiteral("exitFrame")); });
}

void Avm2ScriptEngine::frameStarted() {
    if (!rt_ || stopped_ != display::ScriptStop::None) return;
    inFrame_ = true;
    // Movie time starts at the first frame and moves one frame interval per frame.
    if (framesStarted_++ > 0) timeMs_ += frameMs_;
    guarded([&] { TimerClass::tick(*rt_, timeMs_); });
    // The sound the frame before played may have reached its end.
    guarded([&] { SoundClasses::finishChannels(*rt_); });
}

void Avm2ScriptEngine::frameEntered(MovieClip* clip, int frame) {
    if (rt_) frames_.push_back({clip->weak_from_this(), frame});
}

void Avm2ScriptEngine::objectCreated(DisplayObject* object) {
    if (!rt_) return;
    if (object->name().isEmpty()) object->setName(bridge_->nextInstanceName());
    created_.push_back(object->weak_from_this());
}

void Avm2ScriptEngine::objectRemoved(DisplayObject* object) {
    if (!bridge_) return;
    if (MovieClip* parent = object->parent()) {
        bool top = true;
        for (const auto& [depth, child] : parent->children())
            if (child.get() == object) top = false;
        guarded([&] { bridge_->timelineRemoved(*object, top); });
    }
    bridge_->forget(object);
}

void Avm2ScriptEngine::runQueuedActions() {
    if (!rt_ || stopped_ != display::ScriptStop::None) return;
    loadBlocksUpTo(root_->currentFrame());
    bindDocumentClass();
    // The playhead has moved: enterFrame comes before what the frame placed is constructed.
    if (inFrame_ && framesStarted_ > 1) guarded([&] { bridge_->broadcast(QStringLiteral("enterFrame")); });
    constructCreated();
    // A goto before this point is part of this frame's own construction.
    bridge_->gotoRan = false;
    if (inFrame_) guarded([&] { bridge_->broadcast(QStringLiteral("frameConstructed")); });
    runFrameScripts();
    if (inFrame_) guarded([&] { bridge_->broadcast(QStringLiteral("exitFrame")); });
    if (inFrame_) guarded([&] { LoaderClasses::frameEnded(*rt_, framesStarted_); });
    if (inFrame_ && bridge_->renderRequested) {
        bridge_->renderRequested = false;
        guarded([&] { bridge_->broadcast(QStringLiteral("render")); });
    }
    inFrame_ = false;
    // What the exitFrame listeners started waits for the next frame's turn, save what they created.
    if (!created_.empty() || !bridge_->unconstructed.empty()) constructCreated();
    runFrameScripts();
    if (runDepth_ == 0) rt_->maybeCollectCycles();
}

void Avm2ScriptEngine::clipEvent(DisplayObject* object, swf::ClipEvent event, int) {
    if (!rt_ || !object) return;
    auto send = [&](std::initializer_list<const char*> types) {
        for (const char* type : types)
            guarded([&] { bridge_->mouseEvent(object, QString::fromLatin1(type)); });
    };
    switch (event) {
    case swf::ClipEventPress: send({"mouseDown"}); break;
    case swf::ClipEventRelease: send({"mouseUp", "click"}); break;
    case swf::ClipEventReleaseOutside: send({"releaseOutside"}); break;
    case swf::ClipEventRollOver: send({"mouseOver", "rollOver"}); break;
    case swf::ClipEventRollOut: send({"mouseOut", "rollOut"}); break;
    default: return;
    }
    runFrameScripts();
}

void Avm2ScriptEngine::broadcastInput(swf::ClipEvent event) {
    if (!rt_ || !host_) return;
    const char* type = event == swf::ClipEventKeyDown ? "keyDown" : event == swf::ClipEventKeyUp ? "keyUp" : nullptr;
    if (!type) return;
    guarded([&] {
        bridge_->keyEvent(QString::fromLatin1(type), uint32_t(host_->lastKeyCode()), uint32_t(host_->lastKeyAscii()));
    });
    runFrameScripts();
}

void Avm2ScriptEngine::textEdited(DisplayObject* field) {
    if (!rt_ || !field) return;
    guarded([&] { TextFieldClass::textEdited(*rt_, field); });
    runFrameScripts();
}

bool Avm2ScriptEngine::textTyped(DisplayObject* field, const QString& text) {
    if (!rt_ || !field) return true;
    bool allowed = true;
    guarded([&] { allowed = TextEventClasses::textTyped(*rt_, field, text); });
    runFrameScripts();
    return allowed;
}

void Avm2ScriptEngine::focusChanged(DisplayObject* lost, DisplayObject* gained) {
    if (!rt_) return;
    guarded([&] { TextEventClasses::focusChanged(*rt_, lost, gained); });
    runFrameScripts();
}

bool Avm2ScriptEngine::actsAsButton(DisplayObject* object) {
    // Every clip takes the pointer; the event goes to the innermost one under it.
    return rt_ && object && object->type() == DisplayObject::Type::MovieClip;
}

} // namespace nimbrel::movie::avm2
