#pragma once
// The ActionScript 1/2 virtual machine: the object heap, the built-in
// classes, value conversions per SWF version, calls and safety budgets.
#include "movie/avm1/ActionCode.h"
#include "movie/avm1/NativeFunction.h"
#include "movie/avm1/Object.h"
#include "movie/avm1/Scope.h"
#include <QByteArray>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace nimbrel::movie::display {
class DisplayObject;
class ScriptHost;
}
namespace nimbrel::movie::swf {
struct Movie;
}
namespace nimbrel::movie::host {
class Fetcher;
}
namespace nimbrel::movie::sound {
class Mp3Stream;
}

namespace nimbrel::movie::avm1 {

class ArrayObject;
class LoadQueue;
class MovieClipObject;

// A value thrown by `throw` and not yet caught.
struct ScriptException {
    Value value;
};
// The running action list was stopped (time or recursion budget, malformed code).
struct ScriptAbort {
    QString reason;
};

class Interpreter {
public:
    explicit Interpreter(int swfVersion);
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    int version() const { return version_; }
    bool caseSensitive() const { return version_ >= 7; }

    // ---- heap -------------------------------------------------------------
    template <class T, class... A> T* make(A&&... a)
    {
        auto obj = std::make_unique<T>(*this, std::forward<A>(a)...);
        T* raw = obj.get();
        heap_.push_back(std::move(obj));
        return raw;
    }
    Object* newObject(Object* proto);
    Object* newObject() { return newObject(objectProto); }
    ArrayObject* newArray(std::vector<Value> elements = {});
    NativeFunction* newFunction(NativeFunction::Fn fn, NativeFunction::CtorFn ctor = nullptr);
    NativeFunction* addMethod(Object* target, const QString& name, NativeFunction::Fn fn);
    // A constructor with a fresh prototype object linked both ways.
    NativeFunction* newClass(const QString& globalName, NativeFunction::Fn fn, NativeFunction::CtorFn ctor,
                             Object* prototype);
    // Gives a function object its own `constructor`: the Function class.
    void giveFunctionConstructor(Object* function);
    void addGetterSetter(Object* target, const QString& name, NativeFunction::Fn getter, NativeFunction::Fn setter);

    // ---- conversions -----------------------------------------------------
    Value toPrimitive(const Value& v, bool preferString = false);
    // The `+` of SWF 5 and later (Add2): text when either side gives text.
    Value add(const Value& a, const Value& b);
    double toNumber(const Value& v);
    QString toString(const Value& v);
    bool toBoolean(const Value& v);
    Object* toObject(const Value& v);
    QString typeOf(const Value& v);
    double toInteger(const Value& v);
    int32_t toInt32(const Value& v);

    // ---- object access and calls ------------------------------------------
    Value getMember(const Value& target, const QString& name);
    void setMember(const Value& target, const QString& name, const Value& v);
    Value call(const Value& fn, const Value& thisValue, const std::vector<Value>& args);
    Value callMethod(const Value& target, const QString& name, const std::vector<Value>& args);
    Value construct(const Value& fn, const std::vector<Value>& args);
    bool instanceOf(const Value& v, Object* ctor);
    bool strictEquals(const Value& a, const Value& b);
    bool looseEquals(const Value& a, const Value& b);
    // undefined when either side is NaN; `leftFirst` false converts b before a (the Greater action).
    Value lessThan(const Value& a, const Value& b, bool leftFirst = true);

    // ---- running code -----------------------------------------------------
    // Runs a top-level action list on a clip's timeline; throws and aborts end it quietly.
    void runActions(const ActionCode& code, MovieClipObject* clip, bool evenIfRemoved = false);
    // Calls a function and swallows an uncaught throw (event handlers, timers).
    Value callSafely(const Value& fn, const Value& thisValue, const std::vector<Value>& args);
    void enterCall(); // throws ScriptAbort past the recursion limit
    void leaveCall() { --callDepth_; }
    void tick()       // counts instructions, throws ScriptAbort when the budget runs out
    {
        if (stopped_ != Stop::None || cancelled_)
            throw ScriptAbort{QStringLiteral("scripts stopped")};
        if ((++tickCounter_ & 0xFF) == 0)
            checkClock();
    }
    bool running() const { return topLevelDepth_ > 0; } // a script is on the machine stack
    void checkHeap(); // throws ScriptAbort when one action list allocates without bound
    // Native functions can call back into conversions without end (a toString that
    // converts its own object); this bounds the machine stack any nesting may use.
    void checkStack(const char* here);
    static constexpr std::ptrdiff_t kStackBudget = 3 * 1024 * 1024;
    static constexpr size_t kMaxObjectsPerRun = 400000;

    // ---- host ---------------------------------------------------------------
    void trace(const QString& line);
    std::function<void(const QString&)> traceSink;
    std::function<void(const QString& command, const QString& args)> fsCommandSink;
    std::function<void(const QString& url, const QString& target)> urlSink;
    std::function<double()> clockMs; // milliseconds since the movie started
    MovieClipObject* root = nullptr;
    std::shared_ptr<const swf::Movie> movie; // for exported symbols
    QString movieUrl;
    display::ScriptHost* host = nullptr; // the player: input state, dragging, quality
    Value stageWidth = Value(550.0), stageHeight = Value(400.0);
    // The script object of a display object, made on first use; null for shapes.
    MovieClipObject* scriptObjectFor(display::DisplayObject* d);
    // The display object left the stage: its script object goes dead.
    void forgetDisplay(display::DisplayObject* d);
    // A clip made for an exported symbol takes the class registered for it;
    // false when no class is registered for its symbol.
    bool applyRegisteredClass(MovieClipObject* clip);
    // Action bytes of the movie as runnable code, converted once per tag.
    const ActionCode& codeFor(const QByteArray& bytes);
    // Clip reference by target path ("_level0.a.b", "/a/b", "a.b" relative to `base`).
    MovieClipObject* resolveTarget(const QString& path, MovieClipObject* base);

    // ---- time budget and stopping --------------------------------------------
    // Every script run between beginScriptRun() and the matching endScriptRun()
    // (one frame advance, one input event) shares one budget of scriptTimeLimit;
    // outside such a run each top-level action list has a budget of its own.
    // Running out stops the movie's scripts for good, as does endless recursion.
    //
    // 15 s, the reference player's own default: once it runs out the movie's
    // scripts never run again, so a frame of heavy but finite work must get the
    // time the player would give it. The window answers meanwhile through
    // stillRunning, so the length costs no responsiveness.
    std::chrono::milliseconds scriptTimeLimit{15000};
    void beginScriptRun();
    void endScriptRun();
    enum class Stop { None, RanTooLong, RunawayRecursion };
    Stop stopped() const { return stopped_; }
    // Ends what runs now at its next check; the next run goes on as usual.
    void cancelRun() { cancelled_ = running() || runDepth_ > 0; }
    // The last (or current) run was cut short: time ran out or it was cancelled.
    bool runCut() const { return runCut_; }
    // Wall clock of the budget in milliseconds; null means the steady clock.
    std::function<double()> wallClockMs;
    // Called at most every kStillRunningMs while a script runs; its own time is not charged.
    std::function<void()> stillRunning;
    static constexpr double kStillRunningMs = 50;
    // Told once, when the scripts are stopped for good.
    std::function<void(Stop)> stopSink;
    // Nested calls allowed (the file's ScriptLimits may change it); the player's default is 256.
    int maxCallDepth = 256;

    // ---- well-known objects ---------------------------------------------------
    Object* global = nullptr;
    Object* objectProto = nullptr;
    Object* functionProto = nullptr;
    Object* arrayProto = nullptr;
    Object* stringProto = nullptr;
    Object* numberProto = nullptr;
    Object* booleanProto = nullptr;
    Object* dateProto = nullptr;
    Object* errorProto = nullptr;
    Object* movieClipProto = nullptr;
    Object* buttonProto = nullptr;
    Object* textFieldProto = nullptr;
    Object* videoProto = nullptr;
    Object* xmlNodeProto = nullptr;
    Object* objectCtor = nullptr;
    Object* arrayCtor = nullptr;
    Object* functionCtor = nullptr;

    // Exported symbol name -> class registered by Object.registerClass.
    QHash<QString, Object*> registeredClasses;

    // setInterval timers.
    struct Timer {
        int id;
        Value target;     // function, or object with method
        QString method;   // empty for plain functions
        std::vector<Value> args;
        double intervalMs;
        double nextMs;
        bool once;
    };
    std::vector<Timer> timers;
    int nextTimerId = 1;
    void runTimers(double nowMs);

    // Sound objects with a sound playing, by the mixer's voice id: kept alive
    // for their onSoundComplete. _soundbuftime, in seconds.
    std::map<int, Object*> playingSounds;
    double soundBufferSeconds = 5;
    // Sounds loaded as streams, until they have played out or been stopped and loaded: fed every frame.
    std::map<Object*, std::shared_ptr<sound::Mp3Stream>> soundStreams;
    // NetStreams that were played and not closed: advanced every frame, kept for their handlers.
    std::vector<Object*> netStreams;

    // Loads started by scripts; the fetcher is the host's (null: local files and the web on our own).
    host::Fetcher* fetcher = nullptr;
    std::shared_ptr<LoadQueue> loads;

    // Frees objects no script can reach. Only between action lists: native
    // code holds raw pointers while scripts run.
    void collectGarbage();
    // Collects when the heap has grown enough since the last collection.
    void maybeCollectGarbage();
    size_t heapSize() const { return heap_.size(); }

    // What action lists leave on the stack, the next one finds there (bounded).
    std::vector<Value> leftoverStack;
    static constexpr size_t kMaxLeftover = 4096;

private:
    QHash<display::DisplayObject*, MovieClipObject*> wrappers_;
    QHash<const void*, ActionCode> codeCache_;
    int version_;
    std::vector<std::unique_ptr<Object>> heap_;
    int callDepth_ = 0;
    size_t heapAtStart_ = 0;
    size_t pinned_ = 0;     // built-ins: always alive
    size_t liveAfterGc_ = 0;
    int topLevelDepth_ = 0;
    const char* stackBase_ = nullptr; // where the outermost call into scripts began
    uint32_t tickCounter_ = 0;
    double nowMs() const;
    void checkClock();
    void startBudget();
    void checkBudgetAtStart();
    [[noreturn]] void stopForGood(Stop why, const QString& reason);
    double deadlineMs_ = 0;
    double lastStillRunningMs_ = 0;
    int runDepth_ = 0;
    bool cancelled_ = false;
    bool runCut_ = false;
    bool inStillRunning_ = false;
    Stop stopped_ = Stop::None;
};

} // namespace nimbrel::movie::avm1
