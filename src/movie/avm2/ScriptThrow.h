#pragma once
// How script errors travel through native code: `throw` in a script and the
// errors the runtime raises are a ScriptThrow that handlers may catch; a
// script stopped for running too long is a ScriptAbort that none can.
#include "movie/avm2/Value.h"

namespace nimbrel::movie::avm2 {

struct ScriptThrow {
    Value value;
};

struct ScriptAbort {
    QString reason;
};

} // namespace nimbrel::movie::avm2
