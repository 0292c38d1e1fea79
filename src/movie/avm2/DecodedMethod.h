#pragma once
// A method body decoded once into instructions with checked operands, so the
// verifier and the interpreter never look at the bytes again.
#include "movie/avm2/OpcodeTable.h"
#include <cstdint>
#include <vector>

namespace nimbrel::movie::avm2 {

struct Instruction {
    Op op = Op::Nop;
    uint32_t offset = 0;          // in the body's code, for messages and the dumper
    uint32_t operands[4] = {};    // in table order; pool indices already checked
    // Branches: the target's instruction index. lookupswitch: the first entry
    // in DecodedMethod::switchTargets (the default, then operands[1] + 1 cases).
    int32_t target = -1;
};

struct DecodedHandler {
    uint32_t from = 0, to = 0; // instruction index range [from, to) the handler covers
    uint32_t target = 0;       // instruction index of the handler
    uint32_t exception = 0;    // index in MethodBody::exceptions
};

struct DecodedMethod {
    uint32_t bodyIndex = 0;
    std::vector<Instruction> code;
    std::vector<int32_t> switchTargets;
    std::vector<DecodedHandler> handlers;
};

} // namespace nimbrel::movie::avm2
