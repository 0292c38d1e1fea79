#pragma once
// What the cycle collector asks each object for: every reference it owns to
// another script object or to a scope chain, each exactly once. A reference
// left out only keeps its target alive; one reported twice, or one that is
// not owned, would free a live object, so report only what the object holds.
#include "movie/avm2/MethodRef.h"
#include <vector>

namespace nimbrel::movie::avm2 {

class ReferenceVisitor {
public:
    virtual ~ReferenceVisitor() = default;
    virtual void object(const ScriptObject* target) = 0;
    // By reference: a copy would change the owner count the collector reads.
    virtual void scope(const ScopePtr& chain) = 0;

    // A reference held only until nothing else reaches the target (a weak
    // Dictionary key): counted as owned, never keeping the target alive.
    virtual void weakObject(const ScriptObject* target) { object(target); }

    void object(const ObjectPtr& target) { if (target) object(target.get()); }
    void value(const Value& v) { if (v.o) object(v.o.get()); }
    void values(const std::vector<Value>& vs) { for (const Value& v : vs) value(v); }
};

} // namespace nimbrel::movie::avm2
