#include "movie/avm1/ScriptFunction.h"
#include "movie/avm1/ActionRunner.h"
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/SuperObject.h"

namespace nimbrel::movie::avm1 {

ScriptFunction::ScriptFunction(Interpreter& vm, Object* proto) : FunctionObject(vm, proto) {}

void ScriptFunction::markChildren(std::vector<Object*>& out) const
{
    FunctionObject::markChildren(out);
    for (const Scope* s = scope.get(); s; s = s->parent.get())
        if (s->object)
            out.push_back(s->object);
    if (target)
        out.push_back(target);
}

Value ScriptFunction::call(const Value& thisValue, const std::vector<Value>& args)
{
    Object* home = nullptr;
    if (Object* t = thisValue.object())
        home = t->proto();
    return callWithSuper(thisValue, args, home);
}

Value ScriptFunction::callWithSuper(const Value& thisValue, const std::vector<Value>& args, Object* home)
{
    Object* superProto = home ? home->proto() : nullptr;
    Interpreter& v = vm();
    v.enterCall();
    struct Leave {
        Interpreter& vm;
        ~Leave() { vm.leaveCall(); }
    } leave{v};

    Activation act;
    act.code = code;
    act.pool = pool;
    act.thisValue = thisValue;
    act.callee = this;
    act.superProto = superProto;
    act.target = target;
    act.baseTarget = target;
    Object* locals = v.newObject(nullptr);
    act.locals = locals;
    act.scope = Scope::push(scope, locals);
    if (code.swfVersion < 6) {
        // SWF 5 functions have no closure: they see their locals, then the clip
        // they run on (`this` when it is a clip) and the globals.
        MovieClipObject* clip = target;
        if (Object* t = thisValue.object(); t && t->isMovieClip())
            clip = static_cast<MovieClipObject*>(t);
        act.target = act.baseTarget = clip;
        act.scope = Scope::push(Scope::push(Scope::push(nullptr, v.global), clip), locals);
    }

    // `arguments`, `super` and the parameters.
    auto makeArguments = [&]() {
        ArrayObject* a = v.newArray(args);
        a->define(QStringLiteral("callee"), Value(static_cast<Object*>(this)), DontEnum);
        a->define(QStringLiteral("caller"), Value::null(), DontEnum);
        return a;
    };
    auto makeSuper = [&]() -> Value {
        return Value(static_cast<Object*>(v.make<SuperObject>(superProto, home, thisValue)));
    };

    if (isFunction2) {
        act.registers.resize(size_t(std::max(registerCount, 1)) + 1);
        int r = 1;
        auto put = [&](const Value& val) {
            if (r < int(act.registers.size()))
                act.registers[size_t(r)] = val;
            ++r;
        };
        // Suppression wins over preloading; the register is then left undefined but still counted.
        if (flags & PreloadThis)
            put((flags & SuppressThis) ? Value() : thisValue);
        if (flags & PreloadArguments)
            put((flags & SuppressArguments) ? Value() : Value(static_cast<Object*>(makeArguments())));
        else if (!(flags & SuppressArguments))
            locals->define(QStringLiteral("arguments"), Value(static_cast<Object*>(makeArguments())), DontEnum);
        if (flags & PreloadSuper)
            put((flags & SuppressSuper) ? Value() : makeSuper());
        else if (!(flags & SuppressSuper))
            locals->define(QStringLiteral("super"), makeSuper(), DontEnum);
        if (flags & PreloadRoot)
            put(Value(target ? static_cast<Object*>(target->rootClip()) : static_cast<Object*>(v.root)));
        // A missing parent takes no register: the following preloads move up.
        if ((flags & PreloadParent) && target && target->parentClip())
            put(Value(static_cast<Object*>(target->parentClip())));
        if (flags & PreloadGlobal)
            put(Value(v.global));
        for (size_t i = 0; i < params.size(); ++i) {
            Value arg = i < args.size() ? args[i] : Value();
            if (params[i].reg > 0 && params[i].reg < int(act.registers.size()))
                act.registers[size_t(params[i].reg)] = arg;
            else
                locals->define(params[i].name, arg);
        }
    } else {
        act.registers.resize(4);
        locals->define(QStringLiteral("arguments"), Value(static_cast<Object*>(makeArguments())), DontEnum);
        locals->define(QStringLiteral("super"), makeSuper(), DontEnum);
        for (size_t i = 0; i < params.size(); ++i)
            locals->define(params[i].name, i < args.size() ? args[i] : Value());
    }
    ActionRunner runner(v, act);
    Value result = runner.run();
    // What the body left on the stack stays there for the caller (see pushResult).
    for (Value& left : act.stack)
        if (v.leftoverStack.size() < Interpreter::kMaxLeftover)
            v.leftoverStack.push_back(std::move(left));
    return result;
}

} // namespace nimbrel::movie::avm1
