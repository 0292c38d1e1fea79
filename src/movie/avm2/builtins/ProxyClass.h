#pragma once
// flash.utils.Proxy and the flash_proxy namespace: names an instance's class
// does not declare go to its flash_proxy methods (getProperty, setProperty,
// callProperty, hasProperty, deleteProperty), and for-in walks nextNameIndex,
// nextName and nextValue.
#include "movie/avm2/MethodRef.h"
#include "movie/avm2/Namespace.h"

namespace nimbrel::movie::avm2 {

class Runtime;
class ScriptObject;

class ProxyClass {
public:
    static void install(Runtime& rt);
    static bool isProxy(const ScriptObject* obj);

    static Value get(Runtime& rt, const Value& proxy, const Name& name);
    static void set(Runtime& rt, const Value& proxy, const Name& name, const Value& v);
    static Value call(Runtime& rt, const Value& proxy, const Name& name, Args args);
    static bool has(Runtime& rt, const Value& proxy, const Name& name);
    static bool remove(Runtime& rt, const Value& proxy, const Name& name);
    // for-in: the position after `index` (0: no more), and the name or value at one.
    static int nextIndex(Runtime& rt, const Value& proxy, int index);
    static Value nextName(Runtime& rt, const Value& proxy, int index);
    static Value nextValue(Runtime& rt, const Value& proxy, int index);
};

} // namespace nimbrel::movie::avm2
