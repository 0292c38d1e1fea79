#include "movie/avm1/ActionRunner.h"
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/DataLoad.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/LoadQueue.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/NumberFormat.h"
#include "movie/avm1/ScriptFunction.h"
#include "movie/avm1/SuperObject.h"
#include "movie/swf/BitReader.h"
#include <QRandomGenerator>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <limits>

namespace nimbrel::movie::avm1 {

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

QString readString(const uint8_t* data, size_t len, size_t& at, int version)
{
    size_t start = at;
    while (at < len && data[at] != 0)
        ++at;
    const char* p = reinterpret_cast<const char*>(data + start);
    int n = int(at - start);
    if (at < len)
        ++at; // the terminator
    if (version >= 6)
        return QString::fromUtf8(p, n);
    return QString::fromLatin1(p, n);
}

[[noreturn]] void malformed(const char* what)
{
    throw ScriptAbort{QString::fromLatin1(what)};
}

bool isPath(const QString& name)
{
    return name.contains(QLatin1Char('/')) || name.contains(QLatin1Char(':')) || name.contains(QLatin1Char('.'));
}

// The object a slash or dot path names: clips first, then members of any object on the way.
Object* objectAtPath(Interpreter& vm, const QString& rawPath, MovieClipObject* base)
{
    if (MovieClipObject* c = vm.resolveTarget(rawPath, base))
        return c;
    QString path = rawPath;
    MovieClipObject* start = base ? base : vm.root;
    if (!start)
        return nullptr;
    Object* cur = start;
    if (path.startsWith(QLatin1Char('/'))) {
        cur = start->rootClip();
        path = path.mid(1);
    }
    const QStringList parts =
        path.contains(QLatin1Char('/')) ? path.split(QLatin1Char('/')) : path.split(QLatin1Char('.'));
    for (const QString& part : parts) {
        if (part.isEmpty())
            continue;
        Object* next = nullptr;
        if (cur->isMovieClip())
            next = vm.resolveTarget(part, static_cast<MovieClipObject*>(cur));
        if (!next && part != QLatin1String(".."))
            next = cur->get(part).object();
        cur = next;
        if (!cur)
            return nullptr;
    }
    return cur;
}
} // namespace

ActionRunner::ActionRunner(Interpreter& vm, Activation& act) : vm_(vm), act_(act) {}

Value ActionRunner::run()
{
    if (!act_.code.data())
        return Value();
    size_t pc = act_.code.begin;
    Exit e = runRange(act_.code.begin, act_.code.end, pc);
    return e == Exit::Return ? returnValue_ : Value();
}

Value ActionRunner::pop()
{
    if (act_.stack.empty())
        return Value();
    Value v = std::move(act_.stack.back());
    act_.stack.pop_back();
    return v;
}

std::vector<Value> ActionRunner::popArgs()
{
    double n = vm_.toNumber(pop());
    // Compared as doubles first: a count beyond any integer must not be cast.
    long long count = std::isfinite(n) && n > 0 ? (long long)std::min(n, double(act_.stack.size())) : 0;
    std::vector<Value> args;
    args.reserve(size_t(count));
    for (long long i = 0; i < count; ++i)
        args.push_back(pop());
    return args;
}

Value& ActionRunner::reg(int i)
{
    static Value scratch;
    if (i < 0 || i >= int(act_.registers.size())) {
        scratch = Value();
        return scratch;
    }
    return act_.registers[size_t(i)];
}

ActionRunner::Exit ActionRunner::runRange(size_t begin, size_t end, size_t& pc)
{
    const uint8_t* base = act_.code.data();
    pc = begin;
    while (pc < end) {
        vm_.tick();
        const uint8_t code = base[pc++];
        if (code == 0)
            return Exit::End;
        size_t len = 0;
        if (code >= 0x80) {
            if (pc + 2 > end)
                malformed("truncated action header");
            len = size_t(base[pc]) | (size_t(base[pc + 1]) << 8);
            pc += 2;
            if (pc + len > end)
                malformed("action runs past its block");
        }
        const uint8_t* data = base + pc;
        pc += len;
        Exit exit = Exit::End;
        bool jumped = false;
        size_t before = pc;
        step(code, data, len, pc, end, exit);
        if (exit == Exit::Return)
            return Exit::Return;
        if (exit == Exit::JumpOut)
            jumped = true;
        else if (pc != before && (pc < begin || pc > end)) {
            jumpTarget_ = pc;
            jumped = true;
        }
        if (jumped) {
            if (jumpTarget_ >= begin && jumpTarget_ <= end) {
                pc = jumpTarget_;
                continue;
            }
            return Exit::JumpOut;
        }
    }
    return Exit::End;
}

Object* ActionRunner::scopeObject(const Scope* s) const
{
    // tellTarget puts its clip where the timeline of the code was.
    if (s->object && s->object == act_.baseTarget && act_.target && act_.target != act_.baseTarget)
        return act_.target;
    return s->object;
}

MovieClipObject* ActionRunner::defaultTarget()
{
    return act_.target ? act_.target : vm_.root;
}

MovieClipObject* ActionRunner::targetFromValue(const Value& v)
{
    if (Object* o = v.object(); o && o->isMovieClip())
        return static_cast<MovieClipObject*>(o);
    // Anything else names a clip by its text (objects through their toString).
    QString path = vm_.toString(v);
    if (path.isEmpty())
        return act_.targetLost ? nullptr : defaultTarget();
    // Paths start at the tellTarget clip; once that is gone, at the code's own timeline.
    MovieClipObject* from = defaultTarget();
    if (from && from->isRemoved() && act_.baseTarget && from != act_.baseTarget)
        from = act_.baseTarget;
    return vm_.resolveTarget(path, from);
}

Value ActionRunner::lookupName(const QString& name, Object** holder)
{
    const bool cs = vm_.caseSensitive();
    auto is = [&](const char* s) {
        return cs ? name == QLatin1String(s) : name.compare(QLatin1String(s), Qt::CaseInsensitive) == 0;
    };
    if (holder)
        *holder = nullptr;
    if (is("this")) {
        // A DefineFunction2 that suppresses `this` or keeps it in a register leaves
        // the name to the timeline (SWF 6 and later) or to the scope chain like any variable.
        if (!(act_.callee && act_.callee->isFunction2 &&
              (act_.callee->flags & (ScriptFunction::SuppressThis | ScriptFunction::PreloadThis))))
            return act_.thisValue;
        if (act_.code.swfVersion >= 6)
            return act_.target ? Value(static_cast<Object*>(act_.target)) : Value();
    }
    Value found;
    auto probe = [&](Object* o) {
        if (!o)
            return false;
        // A timeline variable named like a clip's own reference (_root, _parent) shadows it.
        if (o->isMovieClip())
            if (Property* p = o->findOwn(name); p && !p->isAccessor()) {
                if (holder)
                    *holder = o;
                found = p->value;
                return true;
            }
        if (!o->has(name))
            return false;
        if (holder)
            *holder = o;
        found = o->get(name);
        return true;
    };
    for (Scope* s = act_.scope.get(); s; s = s->parent.get()) {
        Object* o = scopeObject(s);
        // SWF 4 code has no globals (NaN and Infinity are unknown names there).
        if (o == vm_.global && act_.code.swfVersion < 5)
            continue;
        if (probe(o))
            return found;
    }
    if (is("_global") && vm_.version() >= 6)
        return Value(vm_.global);
    if (is("_root"))
        return Value(defaultTarget() ? defaultTarget()->rootClip() : vm_.root);
    if (name.startsWith(QLatin1String("_level"), cs ? Qt::CaseSensitive : Qt::CaseInsensitive)) {
        if (MovieClipObject* c = vm_.resolveTarget(name, defaultTarget()))
            return Value(c);
    }
    return Value();
}

bool ActionRunner::resolvePath(const QString& path, Value& out)
{
    int colon = path.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) {
        Object* owner = objectAtPath(vm_, path.left(colon), defaultTarget());
        out = owner ? owner->get(path.mid(colon + 1)) : Value();
        return true;
    }
    if (path.contains(QLatin1Char('/'))) {
        MovieClipObject* clip = vm_.resolveTarget(path, defaultTarget());
        if (clip) {
            out = Value(clip);
            return true;
        }
        // "a/b/var" style: last segment is a variable.
        int slash = path.lastIndexOf(QLatin1Char('/'));
        Object* owner = objectAtPath(vm_, slash == 0 ? QStringLiteral("/") : path.left(slash), defaultTarget());
        out = owner ? owner->get(path.mid(slash + 1)) : Value();
        return true;
    }
    if (path.contains(QLatin1Char('.'))) {
        const QStringList parts = path.split(QLatin1Char('.'));
        if (parts.first().isEmpty())
            return false;
        Value v = lookupName(parts.first(), nullptr);
        for (int i = 1; i < parts.size(); ++i) {
            if (v.isNullish()) {
                out = Value();
                return true;
            }
            v = vm_.getMember(v, parts[i]);
        }
        out = v;
        return true;
    }
    return false;
}

Value ActionRunner::getVariable(const QString& name)
{
    Value out;
    if ((name.contains(QLatin1Char('/')) || name.contains(QLatin1Char(':')) || name.contains(QLatin1Char('.'))) &&
        resolvePath(name, out))
        return out;
    return lookupName(name, nullptr);
}

void ActionRunner::setVariable(const QString& name, const Value& v)
{
    // `this` is a variable of the running code: assigning it changes what later reads see.
    const bool cs = vm_.caseSensitive();
    if ((cs ? name == QLatin1String("this") : name.compare(QLatin1String("this"), Qt::CaseInsensitive) == 0) &&
        !(act_.callee && act_.callee->isFunction2 &&
          (act_.callee->flags & (ScriptFunction::SuppressThis | ScriptFunction::PreloadThis)))) {
        act_.thisValue = v;
        return;
    }
    int colon = name.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) {
        if (Object* owner = objectAtPath(vm_, name.left(colon), defaultTarget()))
            owner->set(name.mid(colon + 1), v);
        return;
    }
    int slash = name.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0) {
        Object* owner = objectAtPath(vm_, slash == 0 ? QStringLiteral("/") : name.left(slash), defaultTarget());
        if (owner)
            owner->set(name.mid(slash + 1), v);
        return;
    }
    int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) {
        Value owner = getVariable(name.left(dot));
        if (owner.isObject())
            owner.o->set(name.mid(dot + 1), v);
        return;
    }
    // A name the globals hold is shadowed, not changed: it lands on the timeline.
    for (Scope* s = act_.scope.get(); s; s = s->parent.get()) {
        Object* o = scopeObject(s);
        if (o && o != vm_.global && o->has(name)) {
            o->set(name, v);
            return;
        }
    }
    // Undeclared names land on the timeline the code belongs to.
    for (Scope* s = act_.scope.get(); s; s = s->parent.get())
        if (Object* o = scopeObject(s); o && o->isMovieClip() && !s->isWith) {
            o->set(name, v);
            return;
        }
    if (MovieClipObject* t = defaultTarget())
        t->set(name, v);
}

// "path:frame" names a frame of another clip; the path part is cut off `frame`.
MovieClipObject* ActionRunner::splitFrameTarget(QString& frame, MovieClipObject* clip)
{
    int colon = frame.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return clip;
    MovieClipObject* target = vm_.resolveTarget(frame.left(colon), clip);
    frame = frame.mid(colon + 1);
    return target;
}

void ActionRunner::gotoFrameValue(const Value& frameValue, bool play, int bias)
{
    MovieClipObject* clip = defaultTarget();
    if (!clip)
        return;
    // An object names its frame by its text.
    const Value frame = frameValue.isObject() ? Value(vm_.toString(frameValue)) : frameValue;
    if (frame.isString()) {
        QString f = frame.s;
        clip = splitFrameTarget(f, clip);
        if (!clip)
            return;
        double n = stringToNumber(f, 7);
        int target;
        if (std::isfinite(n))
            target = clampToInt(n + bias);
        else {
            target = clip->frameOfLabel(f);
            if (target <= 0)
                return;
            target += bias;
        }
        clip->gotoFrame(target, play);
        return;
    }
    double n = vm_.toNumber(frame);
    if (!std::isfinite(n))
        return;
    clip->gotoFrame(clampToInt(n + bias), play);
}

void ActionRunner::doGetUrl(const QString& url, const QString& target, int method)
{
    if (url.startsWith(QLatin1String("FSCommand:"), Qt::CaseInsensitive)) {
        if (vm_.fsCommandSink)
            vm_.fsCommandSink(url.mid(10), target);
        return;
    }
    // loadVariables / loadVariablesNum: bit 1 of the flags asks for variables, not a page.
    if (method & 2) {
        DataLoad::startVariables(vm_, vm_.resolveTarget(target, act_.target ? act_.target : vm_.root), url);
        return;
    }
    // loadMovie into a clip: bit 0 of the flags names a target clip, not a window.
    if (method & 1) {
        if (MovieClipObject* c = vm_.resolveTarget(target, act_.target ? act_.target : vm_.root))
            url.isEmpty() ? c->unloadMovie() : c->loadMovie(url);
        return;
    }
    // loadMovieNum / unloadMovieNum: a level is never a browser window.
    if (target.startsWith(QLatin1String("_level"), Qt::CaseInsensitive)) {
        MovieClipObject* c = url.isEmpty() ? nullptr : vm_.resolveTarget(target, vm_.root);
        if (c)
            c->loadMovie(url);
        return;
    }
    LoadQueue::navigate(vm_, url, target);
}

void ActionRunner::enumerate(Object* obj)
{
    push(Value::null());
    if (!obj)
        return;
    // The player pushes each object's names oldest first, the object before its
    // prototypes; the loop pops them, so it sees them in the reverse order.
    QSet<QString> seen;
    QStringList pushed;
    int guard = 0;
    for (Object* o = obj; o && guard < 256; o = o->proto(), ++guard) {
        const QStringList keys = o->ownKeys(true);
        for (auto it = keys.crbegin(); it != keys.crend(); ++it) {
            const QString key = vm_.caseSensitive() ? *it : it->toLower();
            if (seen.contains(key))
                continue;
            seen.insert(key);
            Property* p = o->findOwn(*it);
            if (p && (p->flags & DontEnum))
                continue;
            pushed.append(*it);
        }
    }
    for (const QString& name : pushed)
        push(Value(name));
}

Value ActionRunner::defineFunction(const uint8_t* data, size_t len, bool v2, size_t& pc, size_t end)
{
    const int ver = act_.code.swfVersion;
    size_t at = 0;
    auto* fn = vm_.make<ScriptFunction>(vm_.functionProto);
    fn->name = readString(data, len, at, ver);
    swf::BitReader r(data, len);
    r.seek(at);
    uint16_t numParams = r.u16();
    if (v2) {
        fn->isFunction2 = true;
        fn->registerCount = r.u8();
        fn->flags = r.u16();
    }
    for (uint16_t i = 0; i < numParams && !r.failed(); ++i) {
        ScriptFunction::Param p;
        if (v2)
            p.reg = r.u8();
        size_t sat = r.pos();
        p.name = readString(data, len, sat, ver);
        r.seek(sat);
        fn->params.push_back(p);
    }
    uint16_t codeSize = r.u16();
    if (r.failed())
        malformed("bad function header");
    if (pc + codeSize > end)
        malformed("function body runs past its block");
    fn->code = act_.code;
    // Function bodies of SWF 4 movies run as SWF 5 code: true booleans, no #ERROR#.
    fn->code.swfVersion = std::max(ver, 5);
    fn->code.begin = pc;
    fn->code.end = pc + codeSize;
    pc += codeSize;
    fn->pool = act_.pool;
    fn->scope = act_.scope;
    fn->target = act_.target;
    Object* proto = vm_.newObject();
    proto->define(QStringLiteral("constructor"), Value(fn), DontEnum);
    fn->define(QStringLiteral("prototype"), Value(proto), DontEnum);
    return Value(fn);
}

ActionRunner::Exit ActionRunner::runTry(const uint8_t* data, size_t len, size_t& pc, size_t end)
{
    swf::BitReader r(data, len);
    uint8_t flags = r.u8();
    uint16_t trySize = r.u16(), catchSize = r.u16(), finallySize = r.u16();
    const bool catchInRegister = flags & 4;
    const bool hasFinally = flags & 2;
    const bool hasCatch = flags & 1;
    QString catchName;
    int catchReg = 0;
    if (catchInRegister)
        catchReg = r.u8();
    else {
        size_t at = r.pos();
        catchName = readString(data, len, at, act_.code.swfVersion);
    }
    if (r.failed())
        malformed("bad try header");
    const size_t tryBegin = pc, catchBegin = tryBegin + trySize, finallyBegin = catchBegin + catchSize,
                 after = finallyBegin + finallySize;
    if (after > end)
        malformed("try block runs past its block");
    Exit e = Exit::End;
    std::optional<ScriptException> pending;
    size_t p = 0;
    // A jump from the try or catch body into this statement's own blocks or just past them
    // is how compilers leave a block normally.
    auto normalise = [&](Exit ex) {
        if (ex == Exit::JumpOut && jumpTarget_ >= catchBegin && jumpTarget_ <= after)
            return Exit::End;
        return ex;
    };
    const size_t depth = act_.stack.size();
    try {
        e = normalise(runRange(tryBegin, catchBegin, p));
    } catch (ScriptException& ex) {
        // What the try block pushed is gone; what it popped stays popped.
        if (act_.stack.size() > depth)
            act_.stack.resize(depth);
        if (hasCatch) {
            if (catchInRegister)
                reg(catchReg) = ex.value;
            else if (act_.locals)
                act_.locals->set(catchName, ex.value);
            else
                setVariable(catchName, ex.value);
            try {
                e = normalise(runRange(catchBegin, finallyBegin, p));
            } catch (ScriptException& ex2) {
                pending = ex2;
            }
        } else {
            pending = ex;
        }
    }
    if (hasFinally) {
        Value savedReturn = returnValue_;
        size_t savedJump = jumpTarget_;
        Exit fe = runRange(finallyBegin, after, p);
        if (fe != Exit::End) {
            e = fe;
            pending.reset();
        } else {
            returnValue_ = savedReturn;
            jumpTarget_ = savedJump;
        }
    }
    if (pending)
        throw *pending;
    if (e == Exit::End)
        pc = after;
    return e;
}

void ActionRunner::step(uint8_t code, const uint8_t* data, size_t len, size_t& pc, size_t end, Exit& exit)
{
    const int ver = act_.code.swfVersion;
    auto boolResult = [&](bool b) { push(ver < 5 ? Value(b ? 1.0 : 0.0) : Value(b)); };
    auto num = [&](const Value& v) { return vm_.toNumber(v); };
    auto str = [&](const Value& v) { return vm_.toString(v); };
    // `super()` calls the constructor that made or extended the method's home;
    // `super.m()` finds m above it. Either way `this` stays the original object.
    auto callSuper = [&](SuperObject* sup, const QString& name, const std::vector<Value>& args) {
        Object* holder = nullptr;
        Value fn;
        if (name.isEmpty()) {
            fn = sup->home ? sup->home->get(QStringLiteral("__constructor__")) : Value();
            if (!fn.isObject() && sup->superProto)
                fn = sup->superProto->get(QStringLiteral("constructor"));
            holder = sup->superProto;
        } else if (sup->superProto) {
            Property* p = sup->superProto->findOnChain(name, &holder);
            fn = p ? sup->superProto->get(name) : Value();
        }
        if (auto* sf = dynamic_cast<ScriptFunction*>(fn.object()))
            return sf->callWithSuper(sup->thisValue, args, holder);
        return vm_.call(fn, sup->thisValue, args);
    };
    // Functions share the stack: what a call leaves behind lies under its result.
    auto pushResult = [&](Value v) {
        for (Value& left : vm_.leftoverStack)
            push(std::move(left));
        vm_.leftoverStack.clear();
        push(std::move(v));
    };

    switch (code) {
    // ---- SWF 3 -------------------------------------------------------------
    case 0x04: // NextFrame
        if (MovieClipObject* c = defaultTarget())
            c->gotoFrame(c->currentFrame() + 1, false);
        break;
    case 0x05: // PreviousFrame
        if (MovieClipObject* c = defaultTarget(); c && c->currentFrame() > 1)
            c->gotoFrame(c->currentFrame() - 1, false);
        break;
    case 0x06: // Play
        if (MovieClipObject* c = defaultTarget())
            c->setPlaying(true);
        break;
    case 0x07: // Stop
        if (MovieClipObject* c = defaultTarget())
            c->setPlaying(false);
        break;
    case 0x08: // ToggleQuality: high and low quality take turns
        if (vm_.root)
            vm_.root->setProperty(16, Value(vm_.toNumber(vm_.root->property(16)) >= 1 ? 0.0 : 1.0));
        break;
    case 0x09: // StopSounds
        stopAllSounds(vm_);
        break;
    case 0x81: { // GotoFrame
        swf::BitReader r(data, len);
        int frame = r.u16();
        if (MovieClipObject* c = defaultTarget())
            c->gotoFrame(frame + 1, c->playing(), false);
        break;
    }
    case 0x83: { // GetURL
        size_t at = 0;
        QString url = readString(data, len, at, ver);
        QString target = readString(data, len, at, ver);
        doGetUrl(url, target, 0);
        break;
    }
    case 0x8A: // WaitForFrame: every frame of a local movie is loaded
    case 0x8D: // WaitForFrame2
        if (code == 0x8D)
            pop();
        break;
    case 0x8B: { // SetTarget
        size_t at = 0;
        QString path = readString(data, len, at, ver);
        act_.targetLost = false;
        if (path.isEmpty()) {
            act_.target = act_.baseTarget;
        } else {
            MovieClipObject* t = vm_.resolveTarget(path, act_.baseTarget ? act_.baseTarget : vm_.root);
            act_.target = t ? t : act_.baseTarget;
            act_.targetLost = !t;
        }
        break;
    }
    case 0x8C: { // GoToLabel
        size_t at = 0;
        QString label = readString(data, len, at, ver);
        if (MovieClipObject* c = defaultTarget()) {
            int f = c->frameOfLabel(label);
            if (f > 0)
                c->gotoFrame(f, c->playing());
        }
        break;
    }
    // ---- SWF 4 stack machine ---------------------------------------------------
    case 0x96: { // Push
        size_t at = 0;
        while (at < len) {
            uint8_t type = data[at++];
            swf::BitReader r(data, len);
            r.seek(at);
            switch (type) {
            case 0: push(Value(readString(data, len, at, ver))); continue;
            case 1: push(Value(double(r.f32()))); break;
            case 2: push(Value::null()); break;
            case 3: push(Value()); break;
            case 4: push(reg(r.u8())); break;
            case 5: push(Value(r.u8() != 0)); break;
            case 6: push(Value(r.f64())); break;
            case 7: push(Value(double(r.s32()))); break;
            case 8:
            case 9: {
                int idx = type == 8 ? r.u8() : r.u16();
                if (act_.pool && idx < int(act_.pool->size()))
                    push(Value((*act_.pool)[size_t(idx)]));
                else
                    push(Value());
                break;
            }
            default: malformed("unknown push type");
            }
            if (r.failed())
                malformed("truncated push");
            at = r.pos();
        }
        break;
    }
    case 0x17: pop(); break; // Pop
    // Which operand is converted first differs per action (valueOf side effects show it).
    case 0x0A: { Value a = pop(), b = pop(); double x = num(b), y = num(a); push(Value(x + y)); break; }
    case 0x0B: { Value a = pop(), b = pop(); double y = num(a), x = num(b); push(Value(x - y)); break; }
    case 0x0C: { Value a = pop(), b = pop(); double x = num(b), y = num(a); push(Value(x * y)); break; }
    case 0x0D: { // Divide
        Value a = pop(), b = pop();
        double d = num(a);
        double n = num(b);
        if (d == 0 && ver < 5)
            push(Value(QStringLiteral("#ERROR#")));
        else
            push(Value(n / d));
        break;
    }
    case 0x0E: { Value a = pop(), b = pop(); double y = num(a), x = num(b); boolResult(x == y); break; } // Equals
    case 0x0F: { Value a = pop(), b = pop(); double x = num(b), y = num(a); boolResult(x < y); break; }  // Less
    case 0x10: { Value a = pop(), b = pop(); boolResult(vm_.toBoolean(b) && vm_.toBoolean(a)); break; }
    case 0x11: { Value a = pop(), b = pop(); boolResult(vm_.toBoolean(b) || vm_.toBoolean(a)); break; }
    case 0x12: { Value a = pop(); boolResult(!vm_.toBoolean(a)); break; }
    case 0x13: { Value a = pop(), b = pop(); boolResult(str(b) == str(a)); break; } // StringEquals
    case 0x14:                                                                      // StringLength
    case 0x31: push(Value(double(str(pop()).size()))); break;
    case 0x21: { Value a = pop(), b = pop(); push(Value(str(b) + str(a))); break; } // StringAdd
    case 0x15:
    case 0x35: { // StringExtract / MBStringExtract
        double count = num(pop());
        double index = num(pop());
        QString s = str(pop());
        if (!std::isfinite(index))
            index = 0;
        if (!std::isfinite(count))
            count = 0;
        // Beyond any string's length either way; keeps the casts below defined.
        index = std::clamp(index, -1e15, 1e15);
        count = std::clamp(count, -1e15, 1e15);
        long long start = (long long)index - 1;
        if (start < 0)
            start = 0;
        if (start >= s.size()) {
            push(Value(QString()));
            break;
        }
        long long n = (long long)count;
        if (n < 0 || start + n > s.size())
            n = s.size() - start;
        push(Value(s.mid(int(start), int(n))));
        break;
    }
    case 0x29: { Value a = pop(), b = pop(); boolResult(str(b) < str(a)); break; } // StringLess
    case 0x68: { Value a = pop(), b = pop(); boolResult(str(b) > str(a)); break; } // StringGreater
    case 0x18: { // ToInteger
        double v = num(pop());
        push(Value(double(avm1::toInt32(v))));
        break;
    }
    case 0x32:
    case 0x36: { // CharToAscii
        QString s = str(pop());
        push(s.isEmpty() ? Value(kNaN) : Value(double(s[0].unicode())));
        break;
    }
    case 0x33:
    case 0x37: { // AsciiToChar
        double v = num(pop());
        int c = avm1::toInt32(v) & 0xFFFF;
        push(c == 0 ? Value(QString()) : Value(QString(QChar(c))));
        break;
    }
    case 0x99: { // Jump
        swf::BitReader r(data, len);
        int16_t off = r.s16();
        long long target = (long long)pc + off;
        if (target < (long long)act_.code.begin || target > (long long)act_.code.end) {
            jumpTarget_ = act_.code.end;
            pc = act_.code.end;
        } else {
            pc = size_t(target);
        }
        jumpTarget_ = pc;
        break;
    }
    case 0x9D: { // If
        swf::BitReader r(data, len);
        int16_t off = r.s16();
        if (vm_.toBoolean(pop())) {
            long long target = (long long)pc + off;
            if (target < (long long)act_.code.begin || target > (long long)act_.code.end)
                pc = act_.code.end;
            else
                pc = size_t(target);
            jumpTarget_ = pc;
        }
        break;
    }
    case 0x9E: { // Call
        Value frame = pop();
        // An object names its frame by its text.
        if (frame.isObject())
            frame = Value(str(frame));
        MovieClipObject* clip = defaultTarget();
        if (!clip)
            break;
        if (frame.isString()) {
            QString f = frame.s;
            clip = splitFrameTarget(f, clip);
            if (!clip)
                break;
            double n = stringToNumber(f, 7);
            int target = std::isfinite(n) ? clampToInt(n) : clip->frameOfLabel(f);
            if (target > 0)
                clip->callFrame(target);
        } else {
            double n = num(frame);
            if (std::isfinite(n))
                clip->callFrame(clampToInt(n));
        }
        break;
    }
    case 0x1C: { Value name = pop(); push(getVariable(str(name))); break; }
    case 0x1D: { Value v = pop(); Value name = pop(); setVariable(str(name), v); break; }
    case 0x9A: { // GetURL2
        uint8_t flags = len > 0 ? data[0] : 0;
        QString target = str(pop());
        QString url = str(pop());
        doGetUrl(url, target, flags >> 6);
        break;
    }
    case 0x9F: { // GotoFrame2
        swf::BitReader r(data, len);
        uint8_t flags = r.u8();
        int bias = (flags & 2) ? r.u16() : 0;
        gotoFrameValue(pop(), flags & 1, bias);
        break;
    }
    case 0x20: { // SetTarget2
        Value t = pop();
        act_.targetLost = false;
        if (t.isString() && t.s.isEmpty()) {
            act_.target = act_.baseTarget;
            break;
        }
        MovieClipObject* c = nullptr;
        // A clip is found again by its path: of two clips with one name, the first wins.
        if (Object* o = t.object(); o && o->isMovieClip()) {
            auto* clip = static_cast<MovieClipObject*>(o);
            c = clip->isRemoved() ? nullptr : vm_.resolveTarget(clip->targetPath(), vm_.root);
            if (!c && !clip->isRemoved())
                c = clip;
        } else if (!t.isNullish()) {
            c = targetFromValue(t);
        }
        act_.target = c ? c : act_.baseTarget;
        act_.targetLost = !c;
        break;
    }
    case 0x22: { // GetProperty
        double idx = num(pop());
        Value t = pop();
        MovieClipObject* c = targetFromValue(t);
        push(c && std::isfinite(idx) ? c->property(int(idx)) : Value());
        break;
    }
    case 0x23: { // SetProperty
        Value v = pop();
        double idx = num(pop());
        Value t = pop();
        if (MovieClipObject* c = targetFromValue(t); c && std::isfinite(idx))
            c->setProperty(int(idx), v);
        break;
    }
    case 0x24: { // CloneSprite
        double depth = num(pop());
        QString name = str(pop());
        Value source = pop();
        if (MovieClipObject* c = targetFromValue(source); c && std::isfinite(depth))
            c->duplicateClip(name, int(depth) - 16384, nullptr); // the action carries the file's depth
        break;
    }
    case 0x25: { // RemoveSprite
        if (MovieClipObject* c = targetFromValue(pop()); c && c->depth() >= 0)
            c->removeClip();
        break;
    }
    case 0x27: { // StartDrag
        Value target = pop();
        const bool lockCenter = vm_.toBoolean(pop());
        std::optional<QRectF> limits;
        if (vm_.toBoolean(pop())) {
            const double y2 = vm_.toNumber(pop()), x2 = vm_.toNumber(pop());
            const double y1 = vm_.toNumber(pop()), x1 = vm_.toNumber(pop());
            if (std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2))
                limits = QRectF(QPointF(x1, y1), QPointF(x2, y2));
        }
        if (MovieClipObject* c = targetFromValue(target))
            c->startDrag(lockCenter, limits);
        break;
    }
    case 0x28: // EndDrag
        if (vm_.root)
            vm_.root->stopDrag();
        break;
    case 0x26: { // Trace
        Value v = pop();
        QString text;
        try {
            text = v.isUndefined() ? QStringLiteral("undefined") : str(v);
        } catch (const ScriptException&) {
            // A toString that throws still leaves the object's plain name in the log.
            vm_.trace(v.isObject() && v.o->isFunction() ? QStringLiteral("[type Function]") : QStringLiteral("[type Object]"));
            throw;
        }
        vm_.trace(text);
        break;
    }
    case 0x34: push(Value(vm_.clockMs ? std::floor(vm_.clockMs()) : 0.0)); break; // GetTime
    case 0x30: { // RandomNumber
        int32_t max = vm_.toInt32(pop());
        push(Value(max <= 0 ? 0.0 : double(QRandomGenerator::global()->bounded(max))));
        break;
    }
    // ---- SWF 5 ---------------------------------------------------------------
    case 0x88: { // ConstantPool
        swf::BitReader r(data, len);
        uint16_t count = r.u16();
        auto pool = std::make_shared<std::vector<QString>>();
        size_t at = 2;
        for (uint16_t i = 0; i < count && at < len; ++i)
            pool->push_back(readString(data, len, at, ver));
        act_.pool = pool;
        break;
    }
    case 0x9B:
    case 0x8E: { // DefineFunction / DefineFunction2
        Value fn = defineFunction(data, len, code == 0x8E, pc, end);
        auto* sf = static_cast<ScriptFunction*>(fn.o);
        if (sf->name.isEmpty())
            push(fn);
        else if (act_.locals)
            act_.locals->set(sf->name, fn);
        else if (isPath(sf->name))
            setVariable(sf->name, fn); // "/:f" on a timeline names where the function goes
        else if (MovieClipObject* t = defaultTarget())
            t->set(sf->name, fn);
        break;
    }
    case 0x3C: { // DefineLocal
        Value v = pop();
        QString name = str(pop());
        if (act_.locals) {
            act_.locals->set(name, v); // in a function a path is just a name
            break;
        }
        if (isPath(name)) {
            setVariable(name, v);
            break;
        }
        // On a timeline, a `with` object that has the name keeps it.
        for (Scope* s = act_.scope.get(); s && s->object && !s->object->isMovieClip(); s = s->parent.get())
            if (s->object != vm_.global && s->object->hasOwn(name)) {
                s->object->set(name, v);
                v = Value();
                name.clear();
                break;
            }
        if (!name.isEmpty())
            if (MovieClipObject* t = defaultTarget())
                t->set(name, v);
        break;
    }
    case 0x41: { // DefineLocal2
        QString name = str(pop());
        if (act_.locals) {
            if (!act_.locals->hasOwn(name))
                act_.locals->define(name, Value());
        } else if (isPath(name)) {
            // "var /:a;" declares on the clip the path names.
            const int sep = std::max({name.lastIndexOf(QLatin1Char(':')), name.lastIndexOf(QLatin1Char('/')),
                                      name.lastIndexOf(QLatin1Char('.'))});
            const QString ownerPath = name.left(sep);
            Object* owner = name[sep] == QLatin1Char('.')
                                ? getVariable(ownerPath).object()
                                : objectAtPath(vm_, ownerPath.isEmpty() ? QStringLiteral("/") : ownerPath, defaultTarget());
            const QString var = name.mid(sep + 1);
            if (owner && !owner->has(var))
                owner->define(var, Value());
        } else if (MovieClipObject* t = defaultTarget()) {
            // A name the clip inherits counts as declared.
            if (!t->has(name))
                t->define(name, Value());
        }
        break;
    }
    case 0x3D: { // CallFunction
        QString name = str(pop());
        std::vector<Value> args = popArgs();
        Value thisValue = defaultTarget() ? Value(static_cast<Object*>(defaultTarget())) : Value();
        Value fn;
        // "a.b.f", "/a/b:f": the function is called on the object that holds it.
        int sep = std::max(name.lastIndexOf(QLatin1Char(':')), name.lastIndexOf(QLatin1Char('.')));
        if (sep > 0) {
            QString ownerPath = name.left(sep);
            Value owner;
            if (name[sep] == QLatin1Char(':') || ownerPath.contains(QLatin1Char('/'))) {
                MovieClipObject* c = vm_.resolveTarget(ownerPath, defaultTarget());
                owner = c ? Value(static_cast<Object*>(c)) : Value();
            } else {
                owner = getVariable(ownerPath);
            }
            if (owner.isObject()) {
                thisValue = owner;
                fn = vm_.getMember(owner, name.mid(sep + 1));
            }
        } else {
            fn = getVariable(name);
        }
        if (auto* sup = dynamic_cast<SuperObject*>(fn.object())) {
            pushResult(callSuper(sup, QString(), args)); // super(...) written as a call
            break;
        }
        pushResult(vm_.call(fn, thisValue, args));
        break;
    }
    case 0x52: { // CallMethod
        Value nameV = pop();
        Value target = pop();
        std::vector<Value> args = popArgs();
        QString name = nameV.isUndefined() ? QString() : str(nameV);
        if (auto* sup = dynamic_cast<SuperObject*>(target.object())) {
            pushResult(callSuper(sup, name, args));
            break;
        }
        if (name.isEmpty()) {
            pushResult(vm_.call(target, Value(), args));
            break;
        }
        if (target.isNullish()) {
            push(Value());
            break;
        }
        // A call through a removed clip's reference reaches the clip that now
        // holds its path (a movie loaded in its place), as member reads do.
        if (auto* clip = dynamic_cast<MovieClipObject*>(target.object()); clip && clip->isRemoved())
            if (MovieClipObject* now = vm_.resolveTarget(clip->targetPath(), vm_.root);
                now && now != clip && !now->isRemoved())
                target = Value(static_cast<Object*>(now));
        Value fn = vm_.getMember(target, name);
        Object* holder = nullptr;
        if (Object* o = target.object())
            o->findOnChain(name, &holder);
        if (auto* sf = dynamic_cast<ScriptFunction*>(fn.object()); sf && holder)
            pushResult(sf->callWithSuper(target, args, holder));
        else
            pushResult(vm_.call(fn, target, args));
        break;
    }
    case 0x3A: { // Delete
        QString name = str(pop());
        Value target = pop();
        Object* o = target.object();
        push(Value(o ? o->remove(name) : false));
        break;
    }
    case 0x3B: { // Delete2
        QString name = str(pop());
        bool done = false;
        for (Scope* s = act_.scope.get(); s && !done; s = s->parent.get())
            if (s->object && s->object->hasOwn(name))
                done = s->object->remove(name) || true;
        push(Value(done));
        break;
    }
    case 0x46: { // Enumerate
        Value v = getVariable(str(pop()));
        enumerate(v.object());
        break;
    }
    case 0x55: { // Enumerate2
        Value v = pop();
        enumerate(v.object());
        break;
    }
    case 0x49: { Value a = pop(), b = pop(); boolResult(vm_.looseEquals(b, a)); break; } // Equals2
    case 0x66: { Value a = pop(), b = pop(); boolResult(vm_.strictEquals(b, a)); break; } // StrictEquals
    case 0x48:   // Less2
    case 0x67: { // Greater
        Value a = pop(), b = pop();
        Value r = code == 0x48 ? vm_.lessThan(b, a) : vm_.lessThan(a, b, false);
        if (r.isBoolean())
            boolResult(r.b);
        else
            push(r);
        break;
    }
    case 0x47: { // Add2
        Value a = pop(), b = pop();
        push(vm_.add(b, a));
        break;
    }
    case 0x3F: { Value a = pop(), b = pop(); double y = num(a), x = num(b); push(Value(std::fmod(x, y))); break; } // Modulo
    case 0x4E: { // GetMember
        Value name = pop();
        Value target = pop();
        push(vm_.getMember(target, str(name)));
        break;
    }
    case 0x4F: { // SetMember
        Value v = pop();
        Value name = pop();
        Value target = pop();
        vm_.setMember(target, str(name), v);
        break;
    }
    case 0x42: { // InitArray
        double n = num(pop());
        if (!std::isfinite(n) || n < 0 || n > double(act_.stack.size())) {
            // A count the stack cannot satisfy gives undefined.
            push(Value());
            break;
        }
        long long count = (long long)n;
        std::vector<Value> elems;
        elems.reserve(size_t(count));
        for (long long i = 0; i < count; ++i)
            elems.push_back(pop());
        push(Value(static_cast<Object*>(vm_.newArray(std::move(elems)))));
        break;
    }
    case 0x43: { // InitObject
        double n = num(pop());
        if (!std::isfinite(n) || n < 0 || 2 * n > double(act_.stack.size())) {
            push(Value());
            break;
        }
        long long count = (long long)n;
        Object* o = vm_.newObject();
        std::vector<std::pair<QString, Value>> pairs;
        for (long long i = 0; i < count && !act_.stack.empty(); ++i) {
            Value v = pop();
            QString name = str(pop());
            pairs.emplace_back(name, v);
        }
        // Stored in the order popped: enumeration (newest first) then lists them as written.
        for (const auto& [name, value] : pairs)
            o->set(name, value);
        push(Value(o));
        break;
    }
    case 0x40: { // NewObject
        QString name = str(pop());
        std::vector<Value> args = popArgs();
        pushResult(vm_.construct(getVariable(name), args));
        break;
    }
    case 0x53: { // NewMethod
        Value nameV = pop();
        Value target = pop();
        std::vector<Value> args = popArgs();
        QString name = nameV.isUndefined() ? QString() : str(nameV);
        Value ctor = name.isEmpty() ? target : vm_.getMember(target, name);
        pushResult(vm_.construct(ctor, args));
        break;
    }
    case 0x45: { // TargetPath
        Value v = pop();
        Object* o = v.object();
        push(o && o->isMovieClip() ? Value(static_cast<MovieClipObject*>(o)->targetPath()) : Value());
        break;
    }
    case 0x94: { // With
        swf::BitReader r(data, len);
        uint16_t size = r.u16();
        Value v = pop();
        size_t bodyEnd = pc + size;
        if (bodyEnd > end)
            malformed("with block runs past its block");
        Object* o = vm_.toObject(v);
        if (!o) {
            pc = bodyEnd;
            break;
        }
        ScopePtr saved = act_.scope;
        act_.scope = Scope::push(saved, o);
        act_.scope->isWith = true;
        size_t p = 0;
        Exit e;
        try {
            e = runRange(pc, bodyEnd, p);
        } catch (...) {
            act_.scope = saved;
            throw;
        }
        act_.scope = saved;
        if (e == Exit::End)
            pc = bodyEnd;
        else
            exit = e;
        break;
    }
    case 0x4A: push(Value(num(pop()))); break;       // ToNumber
    case 0x4B: push(Value(str(pop()))); break;       // ToString
    case 0x44: push(Value(vm_.typeOf(pop()))); break; // TypeOf
    case 0x4C: { Value v = act_.stack.empty() ? Value() : act_.stack.back(); push(v); break; } // PushDuplicate
    case 0x4D: { Value a = pop(), b = pop(); push(a); push(b); break; }                          // StackSwap
    case 0x3E: returnValue_ = pop(); exit = Exit::Return; break;                                  // Return
    case 0x87: { // StoreRegister
        int r = len > 0 ? data[0] : -1;
        reg(r) = act_.stack.empty() ? Value() : act_.stack.back();
        break;
    }
    case 0x50: push(Value(num(pop()) + 1)); break; // Increment
    case 0x51: push(Value(num(pop()) - 1)); break; // Decrement
    case 0x60: { int32_t a = vm_.toInt32(pop()), b = vm_.toInt32(pop()); push(Value(double(b & a))); break; }
    case 0x61: { int32_t a = vm_.toInt32(pop()), b = vm_.toInt32(pop()); push(Value(double(b | a))); break; }
    case 0x62: { int32_t a = vm_.toInt32(pop()), b = vm_.toInt32(pop()); push(Value(double(b ^ a))); break; }
    case 0x63: { int32_t a = vm_.toInt32(pop()), b = vm_.toInt32(pop()); push(Value(double(int32_t(uint32_t(b) << (a & 31))))); break; }
    case 0x64: { int32_t a = vm_.toInt32(pop()), b = vm_.toInt32(pop()); push(Value(double(b >> (a & 31)))); break; }
    case 0x65: { int32_t a = vm_.toInt32(pop()), b = vm_.toInt32(pop()); push(Value(double(uint32_t(b) >> (a & 31)))); break; }
    // ---- SWF 6 and 7 -----------------------------------------------------------
    case 0x54: { // InstanceOf
        Value ctor = pop();
        Value v = pop();
        push(Value(ctor.isObject() && vm_.instanceOf(v, ctor.o)));
        break;
    }
    case 0x2B: { // CastOp
        Value v = pop();
        Value ctor = pop();
        push(ctor.isObject() && vm_.instanceOf(v, ctor.o) ? v : Value::null());
        break;
    }
    case 0x2C: { // ImplementsOp
        Value ctor = pop();
        double n = num(pop());
        long long count = std::isfinite(n) && n > 0 ? std::min<long long>((long long)n, act_.stack.size()) : 0;
        std::vector<Object*> ifaces;
        for (long long i = 0; i < count; ++i)
            if (Object* o = pop().object())
                ifaces.push_back(o);
        if (Object* c = ctor.object())
            if (Object* proto = c->get(QStringLiteral("prototype")).object())
                proto->interfaces = ifaces;
        break;
    }
    case 0x69: { // Extends
        Value super = pop();
        Value sub = pop();
        Object* superCtor = super.object();
        Object* subCtor = sub.object();
        if (!superCtor || !subCtor)
            break;
        Object* proto = vm_.newObject(superCtor->get(QStringLiteral("prototype")).object());
        proto->define(QStringLiteral("__constructor__"), super, DontEnum);
        if (ver < 7)
            proto->define(QStringLiteral("constructor"), super, DontEnum);
        subCtor->set(QStringLiteral("prototype"), Value(proto));
        break;
    }
    case 0x2A: { // Throw
        throw ScriptException{pop()};
    }
    case 0x8F: { // Try
        Exit e = runTry(data, len, pc, end);
        if (e != Exit::End)
            exit = e;
        break;
    }
    default:
        // Unknown actions are skipped by their length, as the player does.
        break;
    }
}

} // namespace nimbrel::movie::avm1
