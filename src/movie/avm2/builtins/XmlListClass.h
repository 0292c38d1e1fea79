#pragma once
// XMLList: an ordered list of XML nodes. Methods of a single node work on
// a list of exactly one.
#include "movie/avm2/Runtime.h"

namespace nimbrel::movie::avm2 {

class XmlListClass {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
