#pragma once
// Turns a block's trait lists and class infos into run-time trait tables and
// classes: newclass (statics initialised there), script globals, activations.
#include "movie/avm2/ClassObject.h"

namespace nimbrel::movie::avm2 {

class AbcUnit;
class Runtime;
struct TraitInfo;

class ClassBuilder {
public:
    static std::shared_ptr<ClassObject> newClass(Runtime& rt, AbcUnit& unit, uint32_t classIndex, const Value& base,
                                                 const ScopePtr& scope);
    // Adds traits to a table; slots get their declared defaults.
    static void addTraits(Runtime& rt, AbcUnit& unit, TraitTable& table, const std::vector<TraitInfo>& traits,
                          const ScopePtr& scope, ClassObject* home, int scriptIndex = -1, bool relativeSlots = false);
    static ObjectPtr newActivation(Runtime& rt, AbcUnit& unit, uint32_t bodyIndex, const ScopePtr& scope);
    static ObjectPtr newCatchScope(Runtime& rt, AbcUnit& unit, uint32_t nameIndex);
    static SlotType slotTypeOf(AbcUnit& unit, uint32_t multiname);
    // The class a type multiname names (Vector.<T> specialised); null for "*". ReferenceError when undefined.
    static ClassObject* resolveClass(Runtime& rt, AbcUnit& unit, uint32_t multiname);
};

} // namespace nimbrel::movie::avm2
