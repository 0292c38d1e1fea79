#pragma once
// A callable value: a function made by newfunction (with the scopes it
// closes over) or a method closure bound to its receiver.
#include "movie/avm2/ReferenceVisitor.h"
#include "movie/avm2/ScriptObject.h"

namespace nimbrel::movie::avm2 {

class FunctionObject : public ScriptObject {
public:
    FunctionObject() : ScriptObject(Type::Function) {}

    MethodRef method;
    ScopePtr scope;
    bool bound = false; // a method closure: `this` is always boundThis
    Value boundThis;
    QString name;

    void visitReferences(ReferenceVisitor& visit) const override {
        ScriptObject::visitReferences(visit);
        visit.scope(scope);
        visit.value(boundThis);
    }
    void dropReferences() override {
        ScriptObject::dropReferences();
        scope.reset();
        boundThis = Value();
    }
};

} // namespace nimbrel::movie::avm2
