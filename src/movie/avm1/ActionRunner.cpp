#include "movie/avm1/ActionRunner.h"
#include "movie/avm1/ActionRunnerSupport.h"
#include "movie/avm1/MovieClipObject.h"
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::avm1 {

Object* actions::objectAtPath(Interpreter& vm, const QString& rawPath, MovieClipObject* base)
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

void ActionRunner::pushResult(Value v)
{
    for (Value& left : vm_.leftoverStack)
        push(std::move(left));
    vm_.leftoverStack.clear();
    push(std::move(v));
}

QString ActionRunner::readText(const Action& a, size_t& at) const
{
    return actions::readString(a.data, a.len, at, act_.code.swfVersion);
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
                actions::malformed("truncated action header");
            len = size_t(base[pc]) | (size_t(base[pc + 1]) << 8);
            pc += 2;
            if (pc + len > end)
                actions::malformed("action runs past its block");
        }
        const Action action{ActionOp(code), base + pc, len};
        pc += len;
        Flow flow{pc, end};
        dispatch(action, flow);
        bool jumped = false;
        if (flow.exit == Exit::Return)
            return Exit::Return;
        if (flow.exit == Exit::JumpOut)
            jumped = true;
        else if (flow.pc != pc && (flow.pc < begin || flow.pc > end)) {
            jumpTarget_ = flow.pc;
            jumped = true;
        }
        pc = flow.pc;
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

void ActionRunner::dispatch(const Action& a, Flow& flow)
{
    using Op = ActionOp;
    switch (a.op) {
    // Stack, arithmetic and strings
    case Op::Push: opPush(a); break;
    case Op::Pop: opPop(); break;
    case Op::Add: opAdd(); break;
    case Op::Subtract: opSubtract(); break;
    case Op::Multiply: opMultiply(); break;
    case Op::Divide: opDivide(); break;
    case Op::Modulo: opModulo(); break;
    case Op::Increment: opIncrement(); break;
    case Op::Decrement: opDecrement(); break;
    case Op::Equals: opEquals(); break;
    case Op::Less: opLess(); break;
    case Op::And: opAnd(); break;
    case Op::Or: opOr(); break;
    case Op::Not: opNot(); break;
    case Op::Equals2: opEquals2(); break;
    case Op::StrictEquals: opStrictEquals(); break;
    case Op::Less2: opLess2(); break;
    case Op::Greater: opGreater(); break;
    case Op::Add2: opAdd2(); break;
    case Op::BitAnd: opBitAnd(); break;
    case Op::BitOr: opBitOr(); break;
    case Op::BitXor: opBitXor(); break;
    case Op::BitLShift: opBitLShift(); break;
    case Op::BitRShift: opBitRShift(); break;
    case Op::BitURShift: opBitURShift(); break;
    case Op::StringEquals: opStringEquals(); break;
    case Op::StringLength:
    case Op::MbStringLength: opStringLength(); break;
    case Op::StringAdd: opStringAdd(); break;
    case Op::StringExtract:
    case Op::MbStringExtract: opStringExtract(); break;
    case Op::StringLess: opStringLess(); break;
    case Op::StringGreater: opStringGreater(); break;
    case Op::ToInteger: opToInteger(); break;
    case Op::CharToAscii:
    case Op::MbCharToAscii: opCharToAscii(); break;
    case Op::AsciiToChar:
    case Op::MbAsciiToChar: opAsciiToChar(); break;
    case Op::ToNumber: opToNumber(); break;
    case Op::ToString: opToString(); break;
    case Op::TypeOf: opTypeOf(); break;
    case Op::PushDuplicate: opPushDuplicate(); break;
    case Op::StackSwap: opStackSwap(); break;
    case Op::StoreRegister: opStoreRegister(a); break;
    case Op::ConstantPool: opConstantPool(a); break;
    case Op::GetTime: opGetTime(); break;
    case Op::RandomNumber: opRandomNumber(); break;
    // Variables and scope
    case Op::GetVariable: opGetVariable(); break;
    case Op::SetVariable: opSetVariable(); break;
    case Op::DefineLocal: opDefineLocal(); break;
    case Op::DefineLocal2: opDefineLocal2(); break;
    case Op::Delete: opDelete(); break;
    case Op::Delete2: opDelete2(); break;
    // Control flow
    case Op::Jump: opJump(a, flow); break;
    case Op::If: opIf(a, flow); break;
    case Op::Return: opReturn(flow); break;
    case Op::With: opWith(a, flow); break;
    case Op::Throw: opThrow(); break;
    case Op::Try: opTry(a, flow); break;
    // Objects and functions
    case Op::DefineFunction:
    case Op::DefineFunction2: opDefineFunction(a, flow); break;
    case Op::CallFunction: opCallFunction(); break;
    case Op::CallMethod: opCallMethod(); break;
    case Op::NewObject: opNewObject(); break;
    case Op::NewMethod: opNewMethod(); break;
    case Op::GetMember: opGetMember(); break;
    case Op::SetMember: opSetMember(); break;
    case Op::InitArray: opInitArray(); break;
    case Op::InitObject: opInitObject(); break;
    case Op::Enumerate: opEnumerate(); break;
    case Op::Enumerate2: opEnumerate2(); break;
    case Op::InstanceOf: opInstanceOf(); break;
    case Op::CastOp: opCastOp(); break;
    case Op::ImplementsOp: opImplementsOp(); break;
    case Op::Extends: opExtends(); break;
    case Op::TargetPath: opTargetPath(); break;
    // Clips and the timeline
    case Op::NextFrame: opNextFrame(); break;
    case Op::PreviousFrame: opPreviousFrame(); break;
    case Op::Play: opPlay(); break;
    case Op::Stop: opStop(); break;
    case Op::ToggleQuality: opToggleQuality(); break;
    case Op::StopSounds: opStopSounds(); break;
    case Op::GotoFrame: opGotoFrame(a); break;
    case Op::GotoFrame2: opGotoFrame2(a); break;
    case Op::GoToLabel: opGoToLabel(a); break;
    case Op::GetUrl: opGetUrl(a); break;
    case Op::GetUrl2: opGetUrl2(a); break;
    case Op::WaitForFrame: break; // every frame of a local movie is loaded
    case Op::WaitForFrame2: opWaitForFrame2(); break;
    case Op::SetTarget: opSetTarget(a); break;
    case Op::SetTarget2: opSetTarget2(); break;
    case Op::Call: opCall(); break;
    case Op::GetProperty: opGetProperty(); break;
    case Op::SetProperty: opSetProperty(); break;
    case Op::CloneSprite: opCloneSprite(); break;
    case Op::RemoveSprite: opRemoveSprite(); break;
    case Op::StartDrag: opStartDrag(); break;
    case Op::EndDrag: opEndDrag(); break;
    case Op::Trace: opTrace(); break;
    case Op::End:
        break;
    }
    // Unknown actions are skipped by their length, as the player does.
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

} // namespace nimbrel::movie::avm1
