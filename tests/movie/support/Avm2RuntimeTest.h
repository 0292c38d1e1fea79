#pragma once
// A runtime of the second virtual machine for the built-in class tests, with
// the trace host and the error-id probe they share.
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/Runtime.h"
#include "movie/support/Avm2TraceHost.h"
#include <functional>
#include <gtest/gtest.h>

namespace nimbrel::movie::test {

struct Avm2RuntimeTest : ::testing::Test {
    Avm2TraceHost host;
    avm2::Runtime rt{host};

    // The error id a call raises, 0 when it raises nothing.
    int errorId(const std::function<void()>& run) {
        try {
            run();
        } catch (const avm2::ScriptThrow& t) {
            return rt.toInt32(avm2::PropertyAccess::get(rt, t.value, avm2::Name::publicName(QStringLiteral("errorID"))));
        }
        return 0;
    }
};

} // namespace nimbrel::movie::test
