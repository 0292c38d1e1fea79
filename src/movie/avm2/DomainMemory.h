#pragma once
// The fast memory instructions (li8..lf64, si8..sf64): little-endian loads
// and stores into the current domain memory, RangeError outside it.
#include "movie/avm2/OpcodeTable.h"
#include "movie/avm2/Value.h"

namespace nimbrel::movie::avm2 {

class Runtime;

class DomainMemory {
public:
    static Value load(Runtime& rt, Op op, int32_t address);
    static void store(Runtime& rt, Op op, int32_t address, const Value& v);
};

} // namespace nimbrel::movie::avm2
