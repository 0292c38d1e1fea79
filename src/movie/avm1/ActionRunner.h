#pragma once
// Executes action bytes: the SWF 3 timeline actions, the SWF 4 stack machine
// and the object actions of SWF 5 to 7. Every read is bounds-checked; bad
// code ends the action list.
//
// Each action has its own member function; they live in files by family:
// ActionRunnerStack.cpp (stack, arithmetic, strings), ActionRunnerVariables.cpp
// (variables and scope), ActionRunnerControl.cpp (jumps, blocks, exceptions),
// ActionRunnerObjects.cpp (objects and functions), ActionRunnerTimeline.cpp
// (clips and the timeline).
#include "movie/avm1/ActionOp.h"
#include "movie/avm1/Activation.h"
#include "movie/avm1/Interpreter.h"
#include <QStringList>

namespace nimbrel::movie::avm1 {

class Interpreter;
class MovieClipObject;
class SuperObject;

class ActionRunner {
public:
    ActionRunner(Interpreter& vm, Activation& act);
    // Runs the whole code span; the value of a `return`, else undefined.
    Value run();

    // Variable access by name, with slash and dot paths.
    Value getVariable(const QString& name);
    void setVariable(const QString& name, const Value& v);

private:
    enum class Exit { End, Return, JumpOut };
    // One action as read from the code: its code and the payload after the
    // length field. Payload fields are read by the action itself, so bad
    // bytes stop the script exactly where they are reached.
    struct Action {
        ActionOp op;
        const uint8_t* data;
        size_t len;
    };
    // Where execution goes after an action: `pc` starts just past it, `end`
    // closes the block being run; jumps and blocks move `pc` or set `exit`.
    struct Flow {
        size_t pc;
        size_t end;
        Exit exit = Exit::End;
    };
    Exit runRange(size_t begin, size_t end, size_t& pc);
    void dispatch(const Action& a, Flow& flow);

    Value pop();
    // A script pushing without end is stopped before memory runs out.
    static constexpr size_t kMaxStack = size_t(1) << 20;
    void push(Value v)
    {
        if (act_.stack.size() >= kMaxStack)
            throw ScriptAbort{QStringLiteral("stack overflow")};
        act_.stack.push_back(std::move(v));
    }
    // SWF 4 code has no booleans: truth is 1 or 0.
    void pushTruth(bool b) { push(act_.code.swfVersion < 5 ? Value(b ? 1.0 : 0.0) : Value(b)); }
    // Functions share the stack: what a call leaves behind lies under its result.
    void pushResult(Value v);
    double number(const Value& v) { return vm_.toNumber(v); }
    QString text(const Value& v) { return vm_.toString(v); }
    QString readText(const Action& a, size_t& at) const;
    std::vector<Value> popArgs();
    Value& reg(int i);

    bool resolvePath(const QString& path, Value& out);
    Value lookupName(const QString& name, Object** holder);
    MovieClipObject* targetFromValue(const Value& v);
    MovieClipObject* defaultTarget();
    Object* scopeObject(const Scope* s) const;
    void gotoFrameValue(const Value& frame, bool play, int bias);
    MovieClipObject* splitFrameTarget(QString& frame, MovieClipObject* clip);
    Value defineFunction(const Action& a, bool v2, Flow& flow);
    Exit runTry(const Action& a, Flow& flow);
    Value callSuper(SuperObject* sup, const QString& name, const std::vector<Value>& args);
    void doGetUrl(const QString& url, const QString& target, int method);
    void enumerate(Object* obj);

    // ---- stack, arithmetic and strings (ActionRunnerStack.cpp)
    void opPush(const Action& a);
    void opPop();
    void opAdd();
    void opSubtract();
    void opMultiply();
    void opDivide();
    void opModulo();
    void opIncrement();
    void opDecrement();
    void opEquals();
    void opLess();
    void opAnd();
    void opOr();
    void opNot();
    void opEquals2();
    void opStrictEquals();
    void opLess2();
    void opGreater();
    void opAdd2();
    void opBitAnd();
    void opBitOr();
    void opBitXor();
    void opBitLShift();
    void opBitRShift();
    void opBitURShift();
    void opStringEquals();
    void opStringLength();
    void opStringAdd();
    void opStringExtract();
    void opStringLess();
    void opStringGreater();
    void opToInteger();
    void opCharToAscii();
    void opAsciiToChar();
    void opToNumber();
    void opToString();
    void opTypeOf();
    void opPushDuplicate();
    void opStackSwap();
    void opStoreRegister(const Action& a);
    void opConstantPool(const Action& a);
    void opGetTime();
    void opRandomNumber();

    // ---- variables and scope (ActionRunnerVariables.cpp)
    void opGetVariable();
    void opSetVariable();
    void opDefineLocal();
    void opDefineLocal2();
    void opDelete();
    void opDelete2();

    // ---- control flow (ActionRunnerControl.cpp)
    void opJump(const Action& a, Flow& flow);
    void opIf(const Action& a, Flow& flow);
    void opReturn(Flow& flow);
    void opWith(const Action& a, Flow& flow);
    void opThrow();
    void opTry(const Action& a, Flow& flow);

    // ---- objects and functions (ActionRunnerObjects.cpp)
    void opDefineFunction(const Action& a, Flow& flow);
    void opCallFunction();
    void opCallMethod();
    void opNewObject();
    void opNewMethod();
    void opGetMember();
    void opSetMember();
    void opInitArray();
    void opInitObject();
    void opEnumerate();
    void opEnumerate2();
    void opInstanceOf();
    void opCastOp();
    void opImplementsOp();
    void opExtends();
    void opTargetPath();

    // ---- clips and the timeline (ActionRunnerTimeline.cpp)
    void opNextFrame();
    void opPreviousFrame();
    void opPlay();
    void opStop();
    void opToggleQuality();
    void opStopSounds();
    void opGotoFrame(const Action& a);
    void opGotoFrame2(const Action& a);
    void opGoToLabel(const Action& a);
    void opGetUrl(const Action& a);
    void opGetUrl2(const Action& a);
    void opWaitForFrame2();
    void opSetTarget(const Action& a);
    void opSetTarget2();
    void opCall();
    void opGetProperty();
    void opSetProperty();
    void opCloneSprite();
    void opRemoveSprite();
    void opStartDrag();
    void opEndDrag();
    void opTrace();

    Interpreter& vm_;
    Activation& act_;
    Value returnValue_;
    size_t jumpTarget_ = 0;
};

} // namespace nimbrel::movie::avm1
