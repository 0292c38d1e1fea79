#pragma once
// Vector.<T>: the generic class, its specialisations (made once per base
// type), element conversion, range checks and the element methods.
#include "movie/avm2/MethodRef.h"
#include "movie/avm2/Namespace.h"

namespace nimbrel::movie::avm2 {

class Runtime;
class ScriptObject;
class ClassObject;
class VectorObject;

class VectorClass {
public:
    static void install(Runtime& rt);
    // Vector.<elementType> (null: Vector.<*>), made on first use and kept.
    static ClassObject* specialise(Runtime& rt, ClassObject* elementType);
    static bool isGeneric(Runtime& rt, const ScriptObject* cls);
    // Element reads and writes by a numeric name; false when the name is not numeric.
    static bool read(Runtime& rt, const VectorObject& v, const Name& name, Value& out);
    static bool write(Runtime& rt, VectorObject& v, const Name& name, const Value& value);
};

} // namespace nimbrel::movie::avm2
