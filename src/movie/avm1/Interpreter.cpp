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

void Interpreter::checkHeap()
{
    // A runaway script allocating in a loop is stopped before memory runs out.
    if (topLevelDepth_ > 0 && heap_.size() > heapAtStart_ + kMaxObjectsPerRun)
        throw ScriptAbort{QStringLiteral("too many objects")};
}

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
    if (!globalName.isEmpty())
        global->define(globalName, Value(static_cast<Object*>(f)), DontEnum);
    return f;
}

void Interpreter::addGetterSetter(Object* target, const QString& name, NativeFunction::Fn getter,
                                  NativeFunction::Fn setter)
{
    target->defineAccessor(name, getter ? newFunction(std::move(getter)) : nullptr,
                           setter ? newFunction(std::move(setter)) : nullptr, DontEnum);
}

// ---- conversions -----------------------------------------------------------

namespace {
// A reference to a removed clip stands for whatever clip now holds its path (a
// movie loaded in its place, a new clip of that name); null when none does.
MovieClipObject* liveClip(Interpreter& vm, MovieClipObject* clip)
{
    if (!clip->isRemoved())
        return clip;
    MovieClipObject* now = vm.resolveTarget(clip->targetPath(), vm.root);
    return now && now != clip && !now->isRemoved() ? now : nullptr;
}

QString clipText(Interpreter& vm, MovieClipObject* clip)
{
    MovieClipObject* now = liveClip(vm, clip);
    return now ? now->targetPath() : QString();
}

// The object a member access reaches: removed clips are looked up again by path.
Object* memberTarget(Interpreter& vm, Object* o)
{
    if (!o->isMovieClip())
        return o;
    auto* clip = static_cast<MovieClipObject*>(o);
    if (!clip->isRemoved())
        return o;
    MovieClipObject* now = liveClip(vm, clip);
    return now ? now : o;
}
} // namespace

Value Interpreter::toPrimitive(const Value& v, bool preferString)
{
    Object* o = v.object();
    if (!o)
        return v;
    // Clips have no primitive value: arithmetic on them gives NaN, text gives their path.
    if (o->isMovieClip())
        return preferString ? Value(clipText(*this, static_cast<MovieClipObject*>(o))) : v;
    // `super` itself has no text of its own.
    if (dynamic_cast<SuperObject*>(o))
        return preferString ? Value(QStringLiteral("[type Object]")) : v;
    // One method is asked: an object answer gives back the object itself (to be
    // converted again by whoever needs text or a number), no method gives undefined.
    Value f = o->get(preferString ? QStringLiteral("toString") : QStringLiteral("valueOf"));
    if (!f.isObject() || !f.o->isFunction())
        return Value();
    Value r = call(f, v, {});
    return r.isObject() ? v : r;
}

Value Interpreter::add(const Value& a, const Value& b)
{
    // Dates prefer their text (SWF 6 and later); the right operand is converted first.
    auto isDate = [this](const Value& v) {
        if (version_ < 6)
            return false;
        int guard = 0;
        for (Object* p = v.object() ? v.o->proto() : nullptr; p && guard < 256; p = p->proto(), ++guard)
            if (p == dateProto)
                return true;
        return false;
    };
    const Value pb = toPrimitive(b, isDate(b)), pa = toPrimitive(a, isDate(a));
    if (pa.isString() || pb.isString()) {
        const QString right = toString(pb);
        return Value(toString(pa) + right);
    }
    const double y = toNumber(pb), x = toNumber(pa);
    return Value(x + y);
}

double Interpreter::toNumber(const Value& v)
{
    switch (v.type) {
    case Value::Type::Undefined:
    case Value::Type::Null: return version_ >= 7 ? std::numeric_limits<double>::quiet_NaN() : 0.0;
    case Value::Type::Boolean: return v.b ? 1.0 : 0.0;
    case Value::Type::Number: return v.n;
    case Value::Type::String: return stringToNumber(v.s, version_);
    case Value::Type::Object: {
        if (v.o->isMovieClip())
            return std::numeric_limits<double>::quiet_NaN();
        Value p = toPrimitive(v);
        // SWF 4 movies know no objects: one without a number counts as 0 there.
        if (p.isObject())
            return version_ < 5 ? 0.0 : std::numeric_limits<double>::quiet_NaN();
        return toNumber(p);
    }
    }
    return 0;
}

QString Interpreter::toString(const Value& v)
{
    switch (v.type) {
    case Value::Type::Undefined: return version_ >= 7 ? QStringLiteral("undefined") : QString();
    case Value::Type::Null: return QStringLiteral("null");
    case Value::Type::Boolean: return v.b ? QStringLiteral("true") : QStringLiteral("false");
    case Value::Type::Number: return numberToString(v.n);
    case Value::Type::String: return v.s;
    case Value::Type::Object: {
        if (v.o->isMovieClip())
            return clipText(*this, static_cast<MovieClipObject*>(v.o));
        if (dynamic_cast<SuperObject*>(v.o))
            return QStringLiteral("[type Object]");
        // Only toString is asked, and only a string answer counts.
        Value f = v.o->get(QStringLiteral("toString"));
        if (f.isObject() && f.o->isFunction()) {
            Value r = call(f, v, {});
            if (r.isString())
                return r.s;
        }
        return v.o->isFunction() ? QStringLiteral("[type Function]") : QStringLiteral("[type Object]");
    }
    }
    return QString();
}

bool Interpreter::toBoolean(const Value& v)
{
    switch (v.type) {
    case Value::Type::Undefined:
    case Value::Type::Null: return false;
    case Value::Type::Boolean: return v.b;
    case Value::Type::Number: return v.n != 0 && !std::isnan(v.n);
    case Value::Type::String: {
        if (version_ >= 7)
            return !v.s.isEmpty();
        double n = stringToNumber(v.s, version_);
        return n != 0 && !std::isnan(n);
    }
    case Value::Type::Object: return true;
    }
    return false;
}

Object* Interpreter::toObject(const Value& v)
{
    switch (v.type) {
    case Value::Type::Object: return v.o;
    case Value::Type::String:
    case Value::Type::Number:
    case Value::Type::Boolean: {
        Object* proto = v.isString() ? stringProto : v.isNumber() ? numberProto : booleanProto;
        Object* o = newObject(proto);
        o->hasPrimitive = true;
        o->primitive = v;
        if (v.isString())
            o->define(QStringLiteral("length"), Value(double(v.s.size())), DontEnum | DontDelete | ReadOnly);
        return o;
    }
    default: return nullptr;
    }
}

QString Interpreter::typeOf(const Value& v)
{
    switch (v.type) {
    case Value::Type::Undefined: return QStringLiteral("undefined");
    case Value::Type::Null: return QStringLiteral("null");
    case Value::Type::Boolean: return QStringLiteral("boolean");
    case Value::Type::Number: return QStringLiteral("number");
    case Value::Type::String: return QStringLiteral("string");
    case Value::Type::Object:
        if (v.o->isFunction())
            return QStringLiteral("function");
        if (v.o->isMovieClip()) {
            auto* c = static_cast<MovieClipObject*>(v.o);
            if (c->kind == MovieClipObject::Kind::Sprite)
                return QStringLiteral("movieclip");
            return QStringLiteral("object");
        }
        return QStringLiteral("object");
    }
    return QStringLiteral("undefined");
}

double Interpreter::toInteger(const Value& v)
{
    double n = toNumber(v);
    if (std::isnan(n))
        return 0;
    if (std::isinf(n))
        return n;
    return std::trunc(n);
}

int32_t Interpreter::toInt32(const Value& v)
{
    return avm1::toInt32(toNumber(v));
}

// ---- member access and calls --------------------------------------------------

Value Interpreter::getMember(const Value& target, const QString& name)
{
    switch (target.type) {
    case Value::Type::Object: return memberTarget(*this, target.o)->get(name);
    case Value::Type::String:
        if (name == QLatin1String("length"))
            return Value(double(target.s.size()));
        return stringProto->get(name);
    case Value::Type::Number: return numberProto->get(name);
    case Value::Type::Boolean: return booleanProto->get(name);
    default: return Value();
    }
}

void Interpreter::setMember(const Value& target, const QString& name, const Value& v)
{
    if (Object* o = target.object())
        memberTarget(*this, o)->set(name, v);
}

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

bool Interpreter::instanceOf(const Value& v, Object* ctor)
{
    Object* o = v.object();
    if (!o || !ctor)
        return false;
    Object* proto = ctor->get(QStringLiteral("prototype")).object();
    if (!proto)
        return false;
    int guard = 0;
    for (Object* p = o->proto(); p && guard < 256; p = p->proto(), ++guard) {
        if (p == proto)
            return true;
        for (Object* iface : p->interfaces) {
            if (iface == ctor)
                return true;
            // Interfaces extending interfaces.
            if (Object* ip = iface->get(QStringLiteral("prototype")).object())
                for (Object* sub : ip->interfaces)
                    if (sub == ctor)
                        return true;
        }
    }
    return false;
}

bool Interpreter::strictEquals(const Value& a, const Value& b)
{
    if (a.type != b.type)
        return false;
    switch (a.type) {
    case Value::Type::Undefined:
    case Value::Type::Null: return true;
    case Value::Type::Boolean: return a.b == b.b;
    case Value::Type::Number: return a.n == b.n || (std::isnan(a.n) && std::isnan(b.n));
    case Value::Type::String: return a.s == b.s;
    case Value::Type::Object: return a.o == b.o;
    }
    return false;
}

bool Interpreter::looseEquals(const Value& a, const Value& b)
{
    // NaN equals NaN here: the player compares numbers that way.
    if (a.isNumber() && b.isNumber())
        return a.n == b.n || (std::isnan(a.n) && std::isnan(b.n));
    if (a.type == b.type)
        return strictEquals(a, b);
    if (a.isNullish() && b.isNullish())
        return true;
    if (a.isObject() != b.isObject()) {
        // An object meets a primitive through its value; undefined and null included.
        const bool left = a.isObject();
        Value p = toPrimitive(left ? a : b);
        if (p.isObject())
            return false;
        return left ? looseEquals(p, b) : looseEquals(a, p);
    }
    if (a.isNullish() || b.isNullish())
        return false;
    if (a.isNumber() && b.isString())
        return a.n == toNumber(b);
    if (a.isString() && b.isNumber())
        return toNumber(a) == b.n;
    if (a.isBoolean())
        return looseEquals(Value(a.b ? 1.0 : 0.0), b);
    if (b.isBoolean())
        return looseEquals(a, Value(b.b ? 1.0 : 0.0));
    return false;
}

Value Interpreter::lessThan(const Value& a, const Value& b, bool leftFirst)
{
    // An operand without a primitive value makes the comparison false at once,
    // before the other side is converted.
    // Clips have no value of their own: they compare as NaN.
    auto primitive = [this](const Value& v) {
        Value p = toPrimitive(v);
        return p.isObject() && p.o->isMovieClip() ? Value(std::numeric_limits<double>::quiet_NaN()) : p;
    };
    Value pa, pb;
    if (leftFirst) {
        pa = primitive(a);
        if (pa.isObject())
            return Value(false);
        pb = primitive(b);
    } else {
        pb = primitive(b);
        if (pb.isObject())
            return Value(false);
        pa = primitive(a);
    }
    if (pa.isObject() || pb.isObject())
        return Value(false);
    if (pa.isString() && pb.isString())
        return Value(pa.s < pb.s);
    double x = toNumber(pa), y = toNumber(pb);
    if (std::isnan(x) || std::isnan(y))
        return Value();
    return Value(x < y);
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

MovieClipObject* Interpreter::resolveTarget(const QString& rawPath, MovieClipObject* base)
{
    QString path = rawPath;
    MovieClipObject* cur = base ? base : root;
    if (!cur)
        return nullptr;
    if (path.isEmpty())
        return cur;
    const bool cs = caseSensitive();
    if (path.startsWith(QLatin1Char('/'))) {
        cur = cur->rootClip();
        path = path.mid(1);
    }
    // Slash paths ("../a/b") and dot paths ("_parent.a.b") name the same clips.
    const QStringList parts = path.contains(QLatin1Char('/')) ? path.split(QLatin1Char('/')) : path.split(QLatin1Char('.'));
    for (const QString& part : parts) {
        if (part.isEmpty())
            continue;
        if (part == QLatin1String("..")) {
            cur = cur->parentClip();
        } else if (part.compare(QLatin1String("_parent"), cs ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0) {
            cur = cur->parentClip();
        } else if (part.compare(QLatin1String("_root"), cs ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0) {
            cur = cur->rootClip();
        } else if (part.compare(QLatin1String("this"), cs ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0) {
        } else if (part.startsWith(QLatin1String("_level"), cs ? Qt::CaseSensitive : Qt::CaseInsensitive)) {
            bool ok = false;
            int n = part.mid(6).toInt(&ok);
            if (!ok)
                return nullptr;
            cur = (n == 0) ? root : nullptr;
        } else {
            MovieClipObject* next = cur->childByName(part);
            if (!next) {
                Value v = cur->get(part);
                if (Object* o = v.object(); o && o->isMovieClip())
                    next = static_cast<MovieClipObject*>(o);
            }
            cur = next;
        }
        if (!cur)
            return nullptr;
    }
    return cur;
}

MovieClipObject* Interpreter::scriptObjectFor(display::DisplayObject* d)
{
    if (!d)
        return nullptr;
    auto it = wrappers_.constFind(d);
    if (it != wrappers_.constEnd())
        return *it;
    MovieClipObject* o = nullptr;
    if (d->type() == display::DisplayObject::Type::MovieClip)
        o = make<MovieClipObject>(movieClipProto, d, MovieClipObject::Kind::Sprite);
    else if (d->type() == display::DisplayObject::Type::Button)
        o = make<MovieClipObject>(buttonProto, d, MovieClipObject::Kind::Button);
    else if (d->type() == display::DisplayObject::Type::EditText)
        o = make<MovieClipObject>(textFieldProto, d, MovieClipObject::Kind::Text);
    else
        return nullptr;
    wrappers_.insert(d, o);
    return o;
}

void Interpreter::forgetDisplay(display::DisplayObject* d)
{
    auto it = wrappers_.find(d);
    if (it == wrappers_.end())
        return;
    (*it)->detach();
    wrappers_.erase(it);
}

void Interpreter::applyRegisteredClass(MovieClipObject* clip)
{
    if (!clip || !clip->display() || registeredClasses.isEmpty() || !movie)
        return;
    const uint16_t id = clip->display()->characterId();
    if (id == 0)
        return;
    for (auto it = registeredClasses.constBegin(); it != registeredClasses.constEnd(); ++it) {
        uint16_t exportedId = 0;
        if (!movie->exported(it.key(), &exportedId) || exportedId != id)
            continue;
        Object* cls = it.value();
        if (Object* proto = cls->get(QStringLiteral("prototype")).object())
            clip->setProto(proto);
        clip->define(QStringLiteral("__constructor__"), Value(cls), DontEnum);
        clip->define(QStringLiteral("constructor"), Value(cls), DontEnum);
        callSafely(Value(cls), Value(static_cast<Object*>(clip)), {});
        return;
    }
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

void Interpreter::maybeCollectGarbage()
{
    if (topLevelDepth_ == 0 && heap_.size() > 2 * liveAfterGc_ + 20000)
        collectGarbage();
}

void Interpreter::collectGarbage()
{
    if (topLevelDepth_ != 0)
        return;
    std::vector<Object*> work;
    for (size_t i = 0; i < pinned_ && i < heap_.size(); ++i)
        work.push_back(heap_[i].get());
    for (MovieClipObject* w : wrappers_)
        work.push_back(w);
    for (const Value& v : leftoverStack)
        if (v.isObject())
            work.push_back(v.o);
    for (Object* c : registeredClasses)
        work.push_back(c);
    if (root)
        work.push_back(root);
    if (loads)
        loads->markRoots(work);
    for (const auto& [voice, sound] : playingSounds)
        work.push_back(sound);
    for (const Timer& t : timers) {
        if (t.target.isObject())
            work.push_back(t.target.o);
        for (const Value& a : t.args)
            if (a.isObject())
                work.push_back(a.o);
    }
    for (auto& o : heap_)
        o->marked = false;
    while (!work.empty()) {
        Object* o = work.back();
        work.pop_back();
        if (!o || o->marked)
            continue;
        o->marked = true;
        o->markChildren(work);
    }
    size_t keep = 0;
    for (size_t i = 0; i < heap_.size(); ++i) {
        if (heap_[i]->marked || i < pinned_) {
            if (keep != i)
                heap_[keep] = std::move(heap_[i]);
            ++keep;
        }
    }
    heap_.resize(keep);
    liveAfterGc_ = keep;
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
