#include "movie/avm1/Interpreter.h"
#include "movie/avm1/ActionRunner.h"
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/LoadQueue.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/NumberFormat.h"
#include "movie/avm1/ScriptFunction.h"
#include "movie/avm1/SuperObject.h"
#include "movie/display/MovieClip.h"
#include "movie/swf/Movie.h"
#include <cstdlib>
#include <cmath>
#include <limits>

namespace nimbrel::movie::avm1 {

Interpreter::Interpreter(int swfVersion) : version_(swfVersion)
{
    installBuiltins(*this);
    pinned_ = heap_.size();
    liveAfterGc_ = pinned_;
}

Interpreter::~Interpreter() = default;

Object* Interpreter::newObject(Object* proto)
{
    checkHeap();
    return make<Object>(proto);
}

ArrayObject* Interpreter::newArray(std::vector<Value> elements)
{
    checkHeap();
    auto* a = make<ArrayObject>(arrayProto);
    a->elements = std::move(elements);
    return a;
}

NativeFunction* Interpreter::newFunction(NativeFunction::Fn fn, NativeFunction::CtorFn ctor)
{
    return make<NativeFunction>(functionProto, std::move(fn), std::move(ctor));
}

NativeFunction* Interpreter::addMethod(Object* target, const QString& name, NativeFunction::Fn fn)
{
    NativeFunction* f = newFunction(std::move(fn));
    target->define(name, Value(static_cast<Object*>(f)), DontEnum);
    return f;
}

NativeFunction* Interpreter::newClass(const QString& globalName, NativeFunction::Fn fn, NativeFunction::CtorFn ctor,
                                      Object* prototype)
{
    NativeFunction* f = newFunction(std::move(fn), std::move(ctor));
    f->define(QStringLiteral("prototype"), Value(prototype), DontEnum | DontDelete);
    prototype->define(QStringLiteral("constructor"), Value(static_cast<Object*>(f)), DontEnum);
    giveFunctionConstructor(f);
    if (!globalName.isEmpty())
        global->define(globalName, Value(static_cast<Object*>(f)), DontEnum);
    return f;
}

void Interpreter::giveFunctionConstructor(Object* function)
{
    // Function objects are made by Function, and like other made objects
    // carry their maker; Function.prototype knows it once Function exists.
    if (!functionProto)
        return;
    if (const Value maker = functionProto->get(QStringLiteral("constructor")); maker.isObject())
        function->define(QStringLiteral("constructor"), maker, DontEnum);
}

void Interpreter::addGetterSetter(Object* target, const QString& name, NativeFunction::Fn getter,
                                  NativeFunction::Fn setter)
{
    target->defineAccessor(name, getter ? newFunction(std::move(getter)) : nullptr,
                           setter ? newFunction(std::move(setter)) : nullptr, DontEnum);
}

// ---- calls ------------------------------------------------------------------

Value Interpreter::call(const Value& fn, const Value& thisValue, const std::vector<Value>& args)
{
    Object* f = fn.object();
    // Host code asking a getter after the run was cut short gets nothing, not a throw.
    if (!f || !f->isFunction() || stopped_ != Stop::None || (cancelled_ && topLevelDepth_ == 0))
        return Value();
    char here = 0;
    const bool first = stackBase_ == nullptr;
    if (first)
        stackBase_ = &here;
    struct Restore {
        Interpreter& vm;
        bool first;
        ~Restore()
        {
            if (first)
                vm.stackBase_ = nullptr;
        }
    } restore{*this, first};
    checkStack(&here);
    return static_cast<FunctionObject*>(f)->call(thisValue, args);
}

void Interpreter::checkStack(const char* here)
{
    if (stackBase_ && std::abs(stackBase_ - here) > kStackBudget)
        stopForGood(Stop::RunawayRecursion, QStringLiteral("recursion limit"));
}

Value Interpreter::callMethod(const Value& target, const QString& name, const std::vector<Value>& args)
{
    return call(getMember(target, name), target, args);
}

Value Interpreter::construct(const Value& fn, const std::vector<Value>& args)
{
    Object* f = fn.object();
    if (!f || !f->isFunction())
        return Value();
    enterCall();
    struct Leave {
        Interpreter& vm;
        ~Leave() { vm.leaveCall(); }
    } leave{*this};
    return static_cast<FunctionObject*>(f)->construct(args);
}

// ---- running ------------------------------------------------------------------

void Interpreter::enterCall()
{
    char here = 0;
    checkStack(&here);
    // The action list itself counts as the first level.
    if (++callDepth_ >= maxCallDepth) {
        --callDepth_;
        // The reference player disables the movie's actions at this point.
        stopForGood(Stop::RunawayRecursion, QStringLiteral("recursion limit"));
    }
}

double Interpreter::nowMs() const
{
    if (wallClockMs)
        return wallClockMs();
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void Interpreter::startBudget()
{
    const double now = nowMs();
    deadlineMs_ = now + double(scriptTimeLimit.count());
    lastStillRunningMs_ = now;
    runCut_ = false;
}

void Interpreter::beginScriptRun()
{
    if (runDepth_++ == 0) {
        cancelled_ = false;
        startBudget();
    }
}

void Interpreter::endScriptRun()
{
    if (runDepth_ > 0 && --runDepth_ == 0)
        cancelled_ = false;
}

void Interpreter::stopForGood(Stop why, const QString& reason)
{
    if (stopped_ == Stop::None) {
        stopped_ = why;
        runCut_ = true;
        if (stopSink)
            stopSink(why);
    }
    throw ScriptAbort{reason};
}

void Interpreter::checkBudgetAtStart()
{
    // Earlier scripts of the same run may have used the budget up already.
    if (runDepth_ > 0 && nowMs() > deadlineMs_)
        stopForGood(Stop::RanTooLong, QStringLiteral("script time limit"));
}

void Interpreter::checkClock()
{
    const double now = nowMs();
    if (now > deadlineMs_)
        stopForGood(Stop::RanTooLong, QStringLiteral("script time limit"));
    if (!stillRunning || inStillRunning_ || now - lastStillRunningMs_ < kStillRunningMs)
        return;
    inStillRunning_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inStillRunning_};
    stillRunning();
    // What the host did meanwhile (a dialog, say) is not the script's time.
    const double after = nowMs();
    deadlineMs_ += after - now;
    lastStillRunningMs_ = after;
    if (cancelled_ || stopped_ != Stop::None) {
        runCut_ = true;
        throw ScriptAbort{QStringLiteral("cancelled")};
    }
}

void Interpreter::runActions(const ActionCode& code, MovieClipObject* clip, bool evenIfRemoved)
{
    if (!clip || (clip->isRemoved() && !evenIfRemoved))
        return;
    const bool outermost = topLevelDepth_ == 0;
    if (outermost && (stopped_ != Stop::None || cancelled_))
        return;
    char here = 0;
    const char* savedBase = stackBase_;
    if (outermost) {
        if (runDepth_ == 0)
            startBudget();
        heapAtStart_ = heap_.size();
        if (!stackBase_)
            stackBase_ = &here;
    }
    struct RestoreBase {
        Interpreter& vm;
        const char* base;
        ~RestoreBase() { vm.stackBase_ = base; }
    } restoreBase{*this, savedBase};
    const int savedDepth = callDepth_;
    // A frame called from a script (ActionCall) is one more level of nesting.
    if (!outermost)
        enterCall();
    ++topLevelDepth_;
    Activation act;
    act.code = code;
    act.thisValue = Value(static_cast<Object*>(clip));
    act.target = clip;
    act.baseTarget = clip;
    act.registers.resize(4);
    act.scope = Scope::push(Scope::push(nullptr, global), clip);
    // One stack serves every action list: what one leaves behind, the next pops.
    if (outermost) {
        act.stack = std::move(leftoverStack);
        leftoverStack.clear();
    }
    auto keepLeftover = [&] {
        if (!outermost)
            return;
        if (act.stack.size() > kMaxLeftover)
            act.stack.erase(act.stack.begin(), act.stack.end() - long(kMaxLeftover));
        leftoverStack = std::move(act.stack);
    };
    try {
        if (outermost)
            checkBudgetAtStart();
        ActionRunner runner(*this, act);
        runner.run();
    } catch (const ScriptException&) {
        // An uncaught throw ends this action list only.
    } catch (const ScriptAbort&) {
        // A limit ends every script on the way up, not just the innermost.
        if (!outermost) {
            callDepth_ = savedDepth;
            --topLevelDepth_;
            throw;
        }
    }
    keepLeftover();
    callDepth_ = savedDepth;
    --topLevelDepth_;
    if (outermost && runDepth_ == 0)
        cancelled_ = false;
}

Value Interpreter::callSafely(const Value& fn, const Value& thisValue, const std::vector<Value>& args)
{
    const bool outermost = topLevelDepth_ == 0;
    if (stopped_ != Stop::None || (outermost && cancelled_))
        return Value();
    char here = 0;
    const char* savedBase = stackBase_;
    if (outermost) {
        if (runDepth_ == 0)
            startBudget();
        heapAtStart_ = heap_.size();
        if (!stackBase_)
            stackBase_ = &here;
    }
    struct RestoreBase {
        Interpreter& vm;
        const char* base;
        ~RestoreBase() { vm.stackBase_ = base; }
    } restoreBase{*this, savedBase};
    ++topLevelDepth_;
    const int savedDepth = callDepth_;
    Value r;
    try {
        if (outermost)
            checkBudgetAtStart();
        r = call(fn, thisValue, args);
    } catch (const ScriptException&) {
    } catch (const ScriptAbort&) {
    }
    callDepth_ = savedDepth;
    --topLevelDepth_;
    if (outermost && runDepth_ == 0)
        cancelled_ = false;
    return r;
}

void Interpreter::trace(const QString& line)
{
    // The player's log ends a line at a carriage return too.
    if (!traceSink)
        return;
    QString text = line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r'))
            text[i] = QLatin1Char('\n');
        else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter; // half a pair is no character
    }
    traceSink(text);
}

const ActionCode& Interpreter::codeFor(const QByteArray& bytes)
{
    // The movie's tag bytes are shared and live as long as the movie: their address identifies them.
    auto it = codeCache_.find(bytes.constData());
    if (it != codeCache_.end() && it->end == size_t(bytes.size()))
        return *it;
    std::vector<uint8_t> copy(bytes.begin(), bytes.end());
    return *codeCache_.insert(bytes.constData(), ActionCode::fromBytes(std::move(copy), version_));
}

void Interpreter::runTimers(double nowMs)
{
    for (size_t i = 0; i < timers.size(); ++i) {
        if (timers[i].nextMs > nowMs)
            continue;
        Timer t = timers[i];
        timers[i].nextMs = nowMs + std::max(1.0, t.intervalMs);
        Value fn = t.method.isEmpty() ? t.target : getMember(t.target, t.method);
        Value thisValue = t.method.isEmpty() ? Value() : t.target;
        callSafely(fn, thisValue, t.args);
        if (t.once && i < timers.size() && timers[i].id == t.id)
            timers.erase(timers.begin() + long(i--));
    }
}

} // namespace nimbrel::movie::avm1
