#pragma once
// Executes action bytes: the SWF 3 timeline actions, the SWF 4 stack machine
// and the object actions of SWF 5 to 7. Every read is bounds-checked; bad
// code ends the action list.
#include "movie/avm1/Activation.h"
#include "movie/avm1/Interpreter.h"
#include <QStringList>

namespace nimbrel::movie::avm1 {

class Interpreter;
class MovieClipObject;

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
    Exit runRange(size_t begin, size_t end, size_t& pc);
    void step(uint8_t code, const uint8_t* data, size_t len, size_t& pc, size_t end, Exit& exit);

    Value pop();
    // A script pushing without end is stopped before memory runs out.
    static constexpr size_t kMaxStack = size_t(1) << 20;
    void push(Value v)
    {
        if (act_.stack.size() >= kMaxStack)
            throw ScriptAbort{QStringLiteral("stack overflow")};
        act_.stack.push_back(std::move(v));
    }
    std::vector<Value> popArgs();
    Value& reg(int i);

    bool resolvePath(const QString& path, Value& out);
    Value lookupName(const QString& name, Object** holder);
    MovieClipObject* targetFromValue(const Value& v);
    MovieClipObject* defaultTarget();
    Object* scopeObject(const Scope* s) const;
    void gotoFrameValue(const Value& frame, bool play, int bias);
    MovieClipObject* splitFrameTarget(QString& frame, MovieClipObject* clip);
    Value defineFunction(const uint8_t* data, size_t len, bool v2, size_t& pc, size_t end);
    Exit runTry(const uint8_t* data, size_t len, size_t& pc, size_t end);
    void doGetUrl(const QString& url, const QString& target, int method);
    void enumerate(Object* obj);

    Interpreter& vm_;
    Activation& act_;
    Value returnValue_;
    size_t jumpTarget_ = 0;
};

} // namespace nimbrel::movie::avm1
