#pragma once
// The methods XML and XMLList share, in their list form: an XML answers as
// a list of itself.
#include "movie/avm2/Runtime.h"

namespace nimbrel::movie::avm2 {

class XmlListMethods {
public:
    // Puts the shared methods on the class's prototype, then its own toJSON.
    static void installShared(Runtime& rt, ClassObject& cls, NativeFn toJSON);

    static Value attribute(Runtime& rt, const Value& self, Args a);
    static Value attributes(Runtime& rt, const Value& self, Args a);
    static Value child(Runtime& rt, const Value& self, Args a);
    static Value children(Runtime& rt, const Value& self, Args a);
    static Value comments(Runtime& rt, const Value& self, Args a);
    static Value contains(Runtime& rt, const Value& self, Args a);
    static Value copy(Runtime& rt, const Value& self, Args a);
    static Value descendants(Runtime& rt, const Value& self, Args a);
    static Value elements(Runtime& rt, const Value& self, Args a);
    static Value hasComplexContent(Runtime& rt, const Value& self, Args a);
    static Value hasSimpleContent(Runtime& rt, const Value& self, Args a);
    static Value hasOwnProperty(Runtime& rt, const Value& self, Args a);
    static Value length(Runtime& rt, const Value& self, Args a);
    static Value normalize(Runtime& rt, const Value& self, Args a);
    static Value parent(Runtime& rt, const Value& self, Args a);
    static Value processingInstructions(Runtime& rt, const Value& self, Args a);
    static Value propertyIsEnumerable(Runtime& rt, const Value& self, Args a);
    static Value text(Runtime& rt, const Value& self, Args a);
    static Value toString(Runtime& rt, const Value& self, Args a);
    static Value toXMLString(Runtime& rt, const Value& self, Args a);
    static Value valueOf(Runtime& rt, const Value& self, Args a);
};

} // namespace nimbrel::movie::avm2
