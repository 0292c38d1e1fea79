#pragma once
// TextField's questions about its laid-out lines and characters (getLineText,
// getLineMetrics, getCharBoundaries, ...) and TextLineMetrics.
#include "movie/avm2/Value.h"

namespace nimbrel::movie::avm2 {
class ClassObject;
class Runtime;
class TextFieldLines {
public:
    static void installMetricsClass(Runtime& rt);
    static void install(Runtime& rt, ClassObject& textField);
};
} // namespace nimbrel::movie::avm2
