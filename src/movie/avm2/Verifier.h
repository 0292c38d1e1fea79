#pragma once
// The checks the reference player makes on a method before it runs, on the
// decoded form: operand stack within max_stack and never below empty, scope
// stack within max_scope_depth - init_scope_depth, registers below
// local_count, the same depths wherever paths meet, no falling off the end.
// Code no path reaches is not checked, as in the reference player.
#include "movie/avm2/AbcFile.h"
#include "movie/avm2/Avm2Error.h"
#include "movie/avm2/DecodedMethod.h"
#include <optional>

namespace nimbrel::movie::avm2 {

class Verifier {
public:
    static std::optional<Avm2Error> verify(const AbcFile& abc, const DecodedMethod& method);
    // Decodes and verifies body `bodyIndex`: the form the interpreter runs, or the VerifyError.
    static AbcResult<DecodedMethod> prepare(const AbcFile& abc, uint32_t bodyIndex);
};

} // namespace nimbrel::movie::avm2
