#pragma once
// Reading, writing, calling and deleting properties of any value by name:
// sealed traits first, then array elements and dynamic properties, then the
// prototype chain; primitives answer through their class.
#include "movie/avm2/MethodRef.h"
#include "movie/avm2/Namespace.h"

namespace nimbrel::movie::avm2 {

class Runtime;
class ScriptObject;
class TraitTable;

class PropertyAccess {
public:
    static Value get(Runtime& rt, const Value& target, const Name& name);
    static void set(Runtime& rt, const Value& target, const Name& name, const Value& v, bool initialising = false);
    static bool has(Runtime& rt, const Value& target, const Name& name);
    static bool remove(Runtime& rt, const Value& target, const Name& name);
    static Value call(Runtime& rt, const Value& target, const Name& name, Args args);
    // Whether an object in a scope holds the name (findproperty), its prototypes included.
    static bool scopeHas(Runtime& rt, ScriptObject* obj, const Name& name);
    // A value as a slot of `traits` keeps it: converted to the slot's declared type.
    static Value forSlot(Runtime& rt, const TraitTable* traits, size_t slot, const Value& v);
    // The canonical array index a text names, or -1.
    static int64_t indexOf(const QString& text);
};

} // namespace nimbrel::movie::avm2
