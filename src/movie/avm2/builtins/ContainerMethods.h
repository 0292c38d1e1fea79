#pragma once
// DisplayObjectContainer (child lists by index, with the errors scripts
// catch) and MovieClip (timeline control) over the player's clips.
#include "movie/avm2/MethodRef.h"

namespace nimbrel::movie::avm2 {
class ClassObject;
class Runtime;
class ContainerMethods {
public:
    // Defines DisplayObjectContainer below base and returns it.
    static ClassObject* install(Runtime& rt, ClassObject& base);
    static void installMovieClip(Runtime& rt, ClassObject& sprite, NativeFn constructor);
};
} // namespace nimbrel::movie::avm2
