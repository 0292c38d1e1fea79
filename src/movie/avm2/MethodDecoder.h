#pragma once
// Turns a method body's bytes into a DecodedMethod: the instructions some path
// reaches from the entry or a handler, each opcode known, each operand inside
// the body and inside the pool it names, each branch and handler landing on an
// instruction (and a backward branch on a label).
#include "movie/avm2/AbcFile.h"
#include "movie/avm2/Avm2Error.h"
#include "movie/avm2/DecodedMethod.h"

namespace nimbrel::movie::avm2 {

class MethodDecoder {
public:
    static AbcResult<DecodedMethod> decode(const AbcFile& abc, uint32_t bodyIndex);
};

} // namespace nimbrel::movie::avm2
