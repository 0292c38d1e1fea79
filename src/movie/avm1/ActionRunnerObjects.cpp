// Objects and functions: definitions, calls, construction, members,
// enumeration and the class relations of SWF 6 and 7.
#include "movie/avm1/ActionRunner.h"
#include "movie/avm1/ActionRunnerSupport.h"
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/ScriptFunction.h"
#include "movie/avm1/SuperObject.h"
#include "movie/swf/BitReader.h"
#include <QSet>
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::avm1 {

using actions::isPath;
using actions::malformed;
using actions::readString;

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

Value ActionRunner::defineFunction(const Action& a, bool v2, Flow& flow)
{
    const uint8_t* data = a.data;
    const size_t len = a.len;
    size_t& pc = flow.pc;
    const size_t end = flow.end;
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
    vm_.giveFunctionConstructor(fn);
    return Value(fn);
}

// `super()` calls the constructor that made or extended the method's home;
// `super.m()` finds m above it. Either way `this` stays the original object.
Value ActionRunner::callSuper(SuperObject* sup, const QString& name, const std::vector<Value>& args)
{
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
}

void ActionRunner::opDefineFunction(const Action& a, Flow& flow)
{
    Value fn = defineFunction(a, a.op == ActionOp::DefineFunction2, flow);
    auto* sf = static_cast<ScriptFunction*>(fn.o);
    if (sf->name.isEmpty())
        push(fn);
    else if (act_.locals)
        act_.locals->set(sf->name, fn);
    else if (isPath(sf->name))
        setVariable(sf->name, fn); // "/:f" on a timeline names where the function goes
    else if (MovieClipObject* t = defaultTarget())
        t->set(sf->name, fn);
}

void ActionRunner::opCallFunction()
{
    QString name = text(pop());
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
        return;
    }
    pushResult(vm_.call(fn, thisValue, args));
}

void ActionRunner::opCallMethod()
{
    Value nameV = pop();
    Value target = pop();
    std::vector<Value> args = popArgs();
    QString name = nameV.isUndefined() ? QString() : text(nameV);
    if (auto* sup = dynamic_cast<SuperObject*>(target.object())) {
        pushResult(callSuper(sup, name, args));
        return;
    }
    if (name.isEmpty()) {
        pushResult(vm_.call(target, Value(), args));
        return;
    }
    if (target.isNullish()) {
        push(Value());
        return;
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
}

void ActionRunner::opNewObject()
{
    QString name = text(pop());
    std::vector<Value> args = popArgs();
    pushResult(vm_.construct(getVariable(name), args));
}

void ActionRunner::opNewMethod()
{
    Value nameV = pop();
    Value target = pop();
    std::vector<Value> args = popArgs();
    QString name = nameV.isUndefined() ? QString() : text(nameV);
    Value ctor = name.isEmpty() ? target : vm_.getMember(target, name);
    pushResult(vm_.construct(ctor, args));
}

void ActionRunner::opGetMember()
{
    Value name = pop();
    Value target = pop();
    push(vm_.getMember(target, text(name)));
}

void ActionRunner::opSetMember()
{
    Value v = pop();
    Value name = pop();
    Value target = pop();
    vm_.setMember(target, text(name), v);
}

void ActionRunner::opInitArray()
{
    double n = number(pop());
    if (!std::isfinite(n) || n < 0 || n > double(act_.stack.size())) {
        // A count the stack cannot satisfy gives undefined.
        push(Value());
        return;
    }
    long long count = (long long)n;
    std::vector<Value> elems;
    elems.reserve(size_t(count));
    for (long long i = 0; i < count; ++i)
        elems.push_back(pop());
    push(Value(static_cast<Object*>(vm_.newArray(std::move(elems)))));
}

void ActionRunner::opInitObject()
{
    double n = number(pop());
    if (!std::isfinite(n) || n < 0 || 2 * n > double(act_.stack.size())) {
        push(Value());
        return;
    }
    long long count = (long long)n;
    Object* o = vm_.newObject();
    std::vector<std::pair<QString, Value>> pairs;
    for (long long i = 0; i < count && !act_.stack.empty(); ++i) {
        Value v = pop();
        QString name = text(pop());
        pairs.emplace_back(name, v);
    }
    // Stored in the order popped: enumeration (newest first) then lists them as written.
    for (const auto& [name, value] : pairs)
        o->set(name, value);
    push(Value(o));
}

void ActionRunner::opEnumerate()
{
    Value v = getVariable(text(pop()));
    enumerate(v.object());
}

void ActionRunner::opEnumerate2()
{
    Value v = pop();
    enumerate(v.object());
}

void ActionRunner::opInstanceOf()
{
    Value ctor = pop();
    Value v = pop();
    push(Value(ctor.isObject() && vm_.instanceOf(v, ctor.o)));
}

void ActionRunner::opCastOp()
{
    Value v = pop();
    Value ctor = pop();
    push(ctor.isObject() && vm_.instanceOf(v, ctor.o) ? v : Value::null());
}

void ActionRunner::opImplementsOp()
{
    Value ctor = pop();
    double n = number(pop());
    long long count = std::isfinite(n) && n > 0 ? std::min<long long>((long long)n, act_.stack.size()) : 0;
    std::vector<Object*> ifaces;
    for (long long i = 0; i < count; ++i)
        if (Object* o = pop().object())
            ifaces.push_back(o);
    if (Object* c = ctor.object())
        if (Object* proto = c->get(QStringLiteral("prototype")).object())
            proto->interfaces = ifaces;
}

void ActionRunner::opExtends()
{
    Value super = pop();
    Value sub = pop();
    Object* superCtor = super.object();
    Object* subCtor = sub.object();
    if (!superCtor || !subCtor)
        return;
    Object* proto = vm_.newObject(superCtor->get(QStringLiteral("prototype")).object());
    proto->define(QStringLiteral("__constructor__"), super, DontEnum);
    if (act_.code.swfVersion < 7)
        proto->define(QStringLiteral("constructor"), super, DontEnum);
    subCtor->set(QStringLiteral("prototype"), Value(proto));
}

void ActionRunner::opTargetPath()
{
    Value v = pop();
    Object* o = v.object();
    push(o && o->isMovieClip() ? Value(static_cast<MovieClipObject*>(o)->targetPath()) : Value());
}

} // namespace nimbrel::movie::avm1
