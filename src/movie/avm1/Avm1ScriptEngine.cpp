#include "movie/avm1/Avm1ScriptEngine.h"
#include "movie/avm1/TextFieldVariable.h"
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/LoadQueue.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/display/ButtonObject.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptHost.h"
#include "movie/swf/Movie.h"

namespace nimbrel::movie::avm1 {

namespace {

// Method a clip may define instead of an onClipEvent handler.
const char* handlerName(uint32_t event)
{
    switch (event) {
    case swf::ClipEventLoad: return "onLoad";
    case swf::ClipEventEnterFrame: return "onEnterFrame";
    case swf::ClipEventUnload: return "onUnload";
    case swf::ClipEventMouseDown: return "onMouseDown";
    case swf::ClipEventMouseUp: return "onMouseUp";
    case swf::ClipEventMouseMove: return "onMouseMove";
    case swf::ClipEventKeyDown: return "onKeyDown";
    case swf::ClipEventKeyUp: return "onKeyUp";
    case swf::ClipEventData: return "onData";
    case swf::ClipEventPress: return "onPress";
    case swf::ClipEventRelease: return "onRelease";
    case swf::ClipEventReleaseOutside: return "onReleaseOutside";
    case swf::ClipEventRollOver: return "onRollOver";
    case swf::ClipEventRollOut: return "onRollOut";
    case swf::ClipEventDragOver: return "onDragOver";
    case swf::ClipEventDragOut: return "onDragOut";
    default: return nullptr;
    }
}

constexpr uint32_t kPointerEvents = swf::ClipEventPress | swf::ClipEventRelease | swf::ClipEventReleaseOutside |
                                    swf::ClipEventRollOver | swf::ClipEventRollOut | swf::ClipEventDragOver |
                                    swf::ClipEventDragOut;

const char* const kPointerMethods[] = {"onPress", "onRelease", "onReleaseOutside", "onRollOver",
                                       "onRollOut", "onDragOver", "onDragOut"};

} // namespace

Avm1ScriptEngine::Avm1ScriptEngine() = default;

Avm1ScriptEngine::~Avm1ScriptEngine() = default;

std::function<std::unique_ptr<display::ScriptEngine>()> Avm1ScriptEngine::factory()
{
    return [] { return std::make_unique<Avm1ScriptEngine>(); };
}

void Avm1ScriptEngine::attach(display::MovieClip* root, display::ScriptHost* host)
{
    host_ = host;
    const auto& movie = root->context()->movie();
    vm_ = std::make_unique<Interpreter>(movie->header.version);
    vm_->movie = movie;
    if (movie->header.frameRate > 0.01)
        frameMs_ = 1000.0 / std::min(movie->header.frameRate, 120.0);
    vm_->stageWidth = Value(movie->header.stage.width() / 20.0);
    vm_->stageHeight = Value(movie->header.stage.height() / 20.0);
    vm_->traceSink = [this](const QString& line) {
        if (host_)
            host_->trace(line);
    };
    vm_->fsCommandSink = [this](const QString& cmd, const QString& args) {
        if (host_)
            host_->fsCommand(cmd, args);
    };
    vm_->urlSink = [this](const QString& url, const QString& target) {
        if (host_)
            host_->getUrl(url, target);
    };
    vm_->clockMs = [this] { return timeMs_; };
    if (host)
        vm_->wallClockMs = [host] { return host->scriptClockMs(); };
    vm_->stillRunning = [this] {
        if (host_)
            host_->scriptStillRunning();
    };
    vm_->stopSink = [this](Interpreter::Stop why) {
        if (host_)
            host_->scriptsStopped(why == Interpreter::Stop::RanTooLong ? display::ScriptStop::RanTooLong
                                                                       : display::ScriptStop::RunawayRecursion);
    };
    vm_->host = host;
    if (host_)
        vm_->movieUrl = host_->baseUrl();
    vm_->root = vm_->scriptObjectFor(root);
    const Value system = vm_->global->get(QStringLiteral("System"));
    const Value capabilities = system.object() ? system.object()->get(QStringLiteral("capabilities")) : Value();
    const Value version = capabilities.object() ? capabilities.object()->get(QStringLiteral("version")) : Value();
    vm_->root->define(QStringLiteral("$version"), version);
    timeMs_ = 0;
}

void Avm1ScriptEngine::setScriptLimits(int maxRecursion, int timeoutSeconds)
{
    if (!vm_)
        return;
    if (maxRecursion > 0)
        vm_->maxCallDepth = maxRecursion;
    if (timeoutSeconds > 0)
        vm_->scriptTimeLimit = std::chrono::milliseconds(std::min(timeoutSeconds, kMaxTimeoutSeconds) * 1000);
}

void Avm1ScriptEngine::beginScriptRun()
{
    if (vm_)
        vm_->beginScriptRun();
}

void Avm1ScriptEngine::endScriptRun()
{
    if (vm_)
        vm_->endScriptRun();
}

void Avm1ScriptEngine::cancelRunningScripts()
{
    if (vm_)
        vm_->cancelRun();
}

bool Avm1ScriptEngine::lastRunCut() const
{
    return vm_ && vm_->runCut();
}

display::ScriptStop Avm1ScriptEngine::scriptsStopped() const
{
    if (!vm_)
        return display::ScriptStop::None;
    switch (vm_->stopped()) {
    case Interpreter::Stop::None: return display::ScriptStop::None;
    case Interpreter::Stop::RanTooLong: return display::ScriptStop::RanTooLong;
    case Interpreter::Stop::RunawayRecursion: return display::ScriptStop::RunawayRecursion;
    }
    return display::ScriptStop::None;
}

void Avm1ScriptEngine::broadcastInput(swf::ClipEvent event)
{
    if (!vm_)
        return;
    const char* source = nullptr;
    const char* message = nullptr;
    switch (event) {
    case swf::ClipEventKeyDown: source = "Key"; message = "onKeyDown"; break;
    case swf::ClipEventKeyUp: source = "Key"; message = "onKeyUp"; break;
    case swf::ClipEventMouseDown: source = "Mouse"; message = "onMouseDown"; break;
    case swf::ClipEventMouseUp: source = "Mouse"; message = "onMouseUp"; break;
    case swf::ClipEventMouseMove: source = "Mouse"; message = "onMouseMove"; break;
    default: return;
    }
    Object* listeners = vm_->global->get(QLatin1String(source)).object();
    if (!listeners)
        return;
    Job j;
    j.listeners = listeners;
    j.message = QLatin1String(message);
    queue_.push_back(std::move(j));
}

bool Avm1ScriptEngine::hearsKeys(display::DisplayObject* focused)
{
    if (!vm_)
        return false;
    if (Object* key = vm_->global->get(QStringLiteral("Key")).object()) {
        auto* listeners = dynamic_cast<ArrayObject*>(key->get(QStringLiteral("_listeners")).object());
        if (listeners && listeners->length() > 0)
            return true;
    }
    MovieClipObject* o = focused ? vm_->scriptObjectFor(focused) : nullptr;
    if (!o)
        return false;
    for (const char* name : {"onKeyDown", "onKeyUp"}) {
        const Value fn = o->get(QLatin1String(name));
        if (fn.isObject() && fn.o->isFunction())
            return true;
    }
    return false;
}

bool Avm1ScriptEngine::actsAsButton(display::DisplayObject* object)
{
    for (const swf::ClipAction& a : object->clipActions)
        if (a.events & kPointerEvents)
            return true;
    MovieClipObject* o = vm_ ? vm_->scriptObjectFor(object) : nullptr;
    if (!o || o->kind != MovieClipObject::Kind::Sprite)
        return false;
    for (const char* name : kPointerMethods) {
        Value fn = o->get(QLatin1String(name));
        if (fn.isObject() && fn.o->isFunction())
            return true;
    }
    return false;
}

bool Avm1ScriptEngine::isEnabled(display::DisplayObject* object)
{
    MovieClipObject* o = vm_ ? vm_->scriptObjectFor(object) : nullptr;
    if (!o)
        return true;
    Value v = o->get(QStringLiteral("enabled"));
    return v.isUndefined() || vm_->toBoolean(v);
}

bool Avm1ScriptEngine::usesHandCursor(display::DisplayObject* object)
{
    MovieClipObject* o = vm_ ? vm_->scriptObjectFor(object) : nullptr;
    if (!o)
        return true;
    Value v = o->get(QStringLiteral("useHandCursor"));
    return v.isUndefined() || vm_->toBoolean(v);
}

void Avm1ScriptEngine::detach()
{
    queue_.clear();
    vm_.reset();
    host_ = nullptr;
}

void Avm1ScriptEngine::frameStarted()
{
    if (!vm_)
        return;
    timeMs_ += frameMs_;
    vm_->runTimers(timeMs_);
    // Unloads asked for by the last frame or by the timers take effect before anything moves.
    LoadQueue::runUnloads(*vm_);
    deliverSoundEvents(*vm_);
    advanceNetStreams(*vm_, frameMs_);
}

void Avm1ScriptEngine::frameActions(display::MovieClip* clip, const QByteArray& actions)
{
    if (!vm_)
        return;
    Job j;
    j.target = vm_->scriptObjectFor(clip);
    j.ownBytes = actions;
    queue_.push_back(std::move(j));
}

void Avm1ScriptEngine::initActions(display::MovieClip* root, uint16_t, const QByteArray& actions)
{
    if (!vm_)
        return;
    // Init actions run before the frame's own actions.
    vm_->runActions(vm_->codeFor(actions), vm_->scriptObjectFor(root));
}

void Avm1ScriptEngine::buttonActions(display::ButtonObject* button, const QByteArray& actions)
{
    if (!vm_)
        return;
    Job j;
    j.target = vm_->scriptObjectFor(button->parent());
    j.ownBytes = actions;
    queue_.push_back(std::move(j));
}

void Avm1ScriptEngine::clipEvent(display::DisplayObject* object, swf::ClipEvent event, int)
{
    if (!vm_)
        return;
    MovieClipObject* target = vm_->scriptObjectFor(object);
    if (!target)
        return;
    Job j;
    j.target = target;
    j.event = event;
    if (event == swf::ClipEventUnload) {
        // The object is about to go: its handlers run later, after the frame's own actions.
        j.handlers = object->clipActions;
    }
    queue_.push_back(std::move(j));
}

void Avm1ScriptEngine::objectCreated(display::DisplayObject* object)
{
    if (!vm_)
        return;
    // Unnamed objects scripts can reach get the player's default names, numbered across the movie.
    const auto type = object->type();
    const bool reachable = type != display::DisplayObject::Type::Shape &&
                           type != display::DisplayObject::Type::MorphShape &&
                           type != display::DisplayObject::Type::Text;
    if (object->name().isEmpty() && reachable)
        object->setName(QStringLiteral("instance%1").arg(++instanceCount_));
    MovieClipObject* o = vm_->scriptObjectFor(object);
    if (!o)
        return;
    // The init actions of the frame placing a clip run after the placement yet
    // may register its class: one not registered yet is looked for again just
    // before the clip's construct and initialize handlers.
    const bool scriptMade = running_ && object->placedFrame < 0;
    if (!vm_->applyRegisteredClass(o) && !scriptMade && type == display::DisplayObject::Type::MovieClip) {
        Job j;
        j.target = o;
        j.bindClass = true;
        queue_.push_back(std::move(j));
    }
    // Construct and initialize handlers come before anything the placing frame runs.
    // Queued, not run here: the display list is in the middle of a change.
    for (uint32_t event : {uint32_t(swf::ClipEventConstruct), uint32_t(swf::ClipEventInitialize)}) {
        bool wanted = false;
        for (const swf::ClipAction& a : object->clipActions)
            wanted = wanted || (a.events & event);
        if (!wanted)
            continue;
        // A clip a script is making (duplicateMovieClip, attachMovie) is constructed
        // before the script goes on.
        if (scriptMade) {
            runEvent(o, event, nullptr);
            continue;
        }
        Job j;
        j.target = o;
        j.event = event;
        queue_.push_back(std::move(j));
    }
}

void Avm1ScriptEngine::objectRemoved(display::DisplayObject* object)
{
    // Focus leaves first, while handlers can still name the object.
    if (host_)
        host_->dropFocusWithin(object);
    if (vm_)
        vm_->forgetDisplay(object);
}

display::FocusTraits Avm1ScriptEngine::focusTraits(display::DisplayObject* object)
{
    display::FocusTraits t;
    MovieClipObject* o = vm_ ? vm_->scriptObjectFor(object) : nullptr;
    if (!o)
        return t;
    auto flag = [&](const char* name) -> std::optional<bool> {
        const Value v = o->get(QLatin1String(name));
        if (v.isUndefined())
            return std::nullopt;
        return vm_->toBoolean(v);
    };
    t.tabEnabled = flag("tabEnabled");
    t.tabChildren = flag("tabChildren");
    t.focusEnabled = flag("focusEnabled").value_or(false);
    t.tabIndex = o->tabIndex;
    t.actsAsButton = actsAsButton(object);
    return t;
}

void Avm1ScriptEngine::focusChanged(display::DisplayObject* lost, display::DisplayObject* gained)
{
    if (!vm_)
        return;
    MovieClipObject* was = lost ? vm_->scriptObjectFor(lost) : nullptr;
    MovieClipObject* now = gained ? vm_->scriptObjectFor(gained) : nullptr;
    const Value wasValue = was ? Value(static_cast<Object*>(was)) : Value::null();
    const Value nowValue = now ? Value(static_cast<Object*>(now)) : Value::null();
    auto callHandler = [&](MovieClipObject* target, const char* name, const Value& other) {
        const Value fn = target->get(QLatin1String(name));
        if (fn.isObject() && fn.o->isFunction())
            vm_->callSafely(fn, Value(static_cast<Object*>(target)), {other});
    };
    if (was)
        callHandler(was, "onKillFocus", nowValue);
    if (now && vm_)
        callHandler(now, "onSetFocus", wasValue);
    if (!vm_)
        return;
    const Value selection = vm_->global->get(QStringLiteral("Selection"));
    if (selection.isObject())
        vm_->callSafely(vm_->getMember(selection, QStringLiteral("broadcastMessage")), selection,
                        {Value(QStringLiteral("onSetFocus")), wasValue, nowValue});
}

void Avm1ScriptEngine::warning(const QString& message)
{
    if (host_)
        host_->trace(QStringLiteral("Warning: ") + message);
}

void Avm1ScriptEngine::textEdited(display::DisplayObject* field)
{
    if (!vm_ || field->type() != display::DisplayObject::Type::EditText)
        return;
    MovieClipObject* o = vm_->scriptObjectFor(field);
    if (!o)
        return;
    TextFieldVariable::push(*vm_, static_cast<display::EditTextObject&>(*field));
    const Value self(static_cast<Object*>(o));
    const Value fn = o->get(QStringLiteral("onChanged"));
    if (fn.isObject() && fn.o->isFunction())
        vm_->callSafely(fn, self, {self});
    if (!vm_)
        return;
    const Value broadcast = o->get(QStringLiteral("broadcastMessage"));
    if (broadcast.isObject() && broadcast.o->isFunction())
        vm_->callSafely(broadcast, self, {Value(QStringLiteral("onChanged")), self});
}

void Avm1ScriptEngine::runEvent(MovieClipObject* target, uint32_t event, const swf::ClipActionList* kept)
{
    // Copied: a handler may replace the object's handlers.
    swf::ClipActionList handlers;
    if (kept)
        handlers = *kept;
    else if (display::DisplayObject* d = target->display())
        handlers = d->clipActions;
    for (const swf::ClipAction& a : handlers)
        if (a.events & event)
            vm_->runActions(vm_->codeFor(a.actions), target, true);
    if (target->kind == MovieClipObject::Kind::Text)
        return;
    // onKeyDown/onKeyUp methods hear keys by event only while their object has
    // the focus (otherwise as Key listeners); buttons answer the pointer too.
    const bool keyEvent = event == swf::ClipEventKeyDown || event == swf::ClipEventKeyUp;
    if (keyEvent && !(host_ && target->display() && host_->keyFocus() == target->display()))
        return;
    if (target->kind == MovieClipObject::Kind::Button && !(event & kPointerEvents) && !keyEvent)
        return;
    if (const char* name = handlerName(event)) {
        Value fn = target->get(QLatin1String(name));
        if (fn.isObject() && fn.o->isFunction())
            vm_->callSafely(fn, Value(static_cast<Object*>(target)), {});
    }
}

void Avm1ScriptEngine::runQueuedActions()
{
    if (!vm_ || running_)
        return;
    running_ = true;
    TextFieldVariable::pullAll(*vm_);
    // Frames that jump to themselves forever would never let the frame end.
    int budget = kMaxJobsPerFrame;
    while (!queue_.empty() && vm_) {
        if (--budget < 0) {
            queue_.clear();
            break;
        }
        Job j = std::move(queue_.front());
        queue_.pop_front();
        if (j.listeners) {
            vm_->callSafely(vm_->getMember(Value(j.listeners), QStringLiteral("broadcastMessage")),
                            Value(j.listeners), {Value(j.message)});
            continue;
        }
        if (!j.target)
            continue;
        if (j.bindClass)
            vm_->applyRegisteredClass(j.target);
        else if (j.event)
            runEvent(j.target, j.event, j.event == swf::ClipEventUnload ? &j.handlers : nullptr);
        else
            vm_->runActions(vm_->codeFor(j.ownBytes), j.target);
    }
    running_ = false;
    if (vm_)
        TextFieldVariable::pullAll(*vm_);
    // Loads that have arrived reach their objects once the frame's scripts are done.
    if (vm_ && LoadQueue::deliverPending(*vm_))
        runQueuedActions();
    if (vm_)
        vm_->maybeCollectGarbage();
}

} // namespace nimbrel::movie::avm1
