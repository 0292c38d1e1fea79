#pragma once
// XML: one node of a tree with the E4X methods, and the parser and printer
// settings as statics.
#include "movie/avm2/Runtime.h"

namespace nimbrel::movie::avm2 {

class XmlClass {
public:
    static void install(Runtime& rt);
    // The methods only a single node answers, by name, for XMLList to hand on to its one item.
    static Value callSingle(Runtime& rt, const QString& method, const Value& self, Args a);
};

} // namespace nimbrel::movie::avm2
