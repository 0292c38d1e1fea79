// Control flow: jumps, returns, `with` blocks and exceptions.
#include "movie/avm1/ActionRunner.h"
#include "movie/avm1/ActionRunnerSupport.h"
#include "movie/swf/BitReader.h"
#include <optional>

namespace nimbrel::movie::avm1 {

using actions::malformed;
using actions::readString;

void ActionRunner::opJump(const Action& a, Flow& flow)
{
    swf::BitReader r(a.data, a.len);
    int16_t off = r.s16();
    long long target = (long long)flow.pc + off;
    if (target < (long long)act_.code.begin || target > (long long)act_.code.end) {
        jumpTarget_ = act_.code.end;
        flow.pc = act_.code.end;
    } else {
        flow.pc = size_t(target);
    }
    jumpTarget_ = flow.pc;
}

void ActionRunner::opIf(const Action& a, Flow& flow)
{
    swf::BitReader r(a.data, a.len);
    int16_t off = r.s16();
    if (vm_.toBoolean(pop())) {
        long long target = (long long)flow.pc + off;
        if (target < (long long)act_.code.begin || target > (long long)act_.code.end)
            flow.pc = act_.code.end;
        else
            flow.pc = size_t(target);
        jumpTarget_ = flow.pc;
    }
}

void ActionRunner::opReturn(Flow& flow)
{
    returnValue_ = pop();
    flow.exit = Exit::Return;
}

void ActionRunner::opWith(const Action& a, Flow& flow)
{
    swf::BitReader r(a.data, a.len);
    uint16_t size = r.u16();
    Value v = pop();
    size_t bodyEnd = flow.pc + size;
    if (bodyEnd > flow.end)
        malformed("with block runs past its block");
    Object* o = vm_.toObject(v);
    if (!o) {
        flow.pc = bodyEnd;
        return;
    }
    ScopePtr saved = act_.scope;
    act_.scope = Scope::push(saved, o);
    act_.scope->isWith = true;
    size_t p = 0;
    Exit e;
    try {
        e = runRange(flow.pc, bodyEnd, p);
    } catch (...) {
        act_.scope = saved;
        throw;
    }
    act_.scope = saved;
    if (e == Exit::End)
        flow.pc = bodyEnd;
    else
        flow.exit = e;
}

void ActionRunner::opThrow()
{
    throw ScriptException{pop()};
}

void ActionRunner::opTry(const Action& a, Flow& flow)
{
    Exit e = runTry(a, flow);
    if (e != Exit::End)
        flow.exit = e;
}

ActionRunner::Exit ActionRunner::runTry(const Action& a, Flow& flow)
{
    const uint8_t* data = a.data;
    const size_t len = a.len;
    const size_t pc = flow.pc, end = flow.end;
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
        flow.pc = after;
    return e;
}

} // namespace nimbrel::movie::avm1
