#pragma once
// What each instruction is: its name, operands and stack and scope effect.
// The decoder, the verifier and the disassembler all read this table.
#include "movie/avm2/OpcodeList.h"
#include <cstdint>

namespace nimbrel::movie::avm2 {

enum class Op : uint8_t {
#define NIMBREL_AVM2_ENUM(code, ident, name, pops, pushes, flags, k1, k2, k3, k4) ident = code,
    NIMBREL_AVM2_OPS(NIMBREL_AVM2_ENUM)
#undef NIMBREL_AVM2_ENUM
};

// How an operand is encoded and which pool or range its value indexes.
enum class OperandKind : uint8_t {
    None,
    Byte,       // u8
    SignedByte, // u8, sign-extended
    ScopeIndex, // u8
    Value,      // u30 taken as is
    Register,   // u30 local register
    Int,        // u30 into the int pool
    UInt,       // u30 into the uint pool
    Double,     // u30 into the double pool
    String,     // u30 into the string pool
    Namespace,  // u30 into the namespace pool
    Multiname,  // u30 into the multiname pool
    Method,     // u30 method index
    Class,      // u30 class index
    Exception,  // u30 index into the body's exception table
    ArgCount,   // u30
    Slot,       // u30 slot id
    DispId,     // u30 dispatch id
    Branch,     // s24 offset from the next instruction
    Switch,     // s24 default, u30 case count, s24 offsets from the instruction itself
};

namespace opflags {
constexpr uint8_t ARGC = 0x01;
constexpr uint8_t ARGC2 = 0x02;
constexpr uint8_t RTNAME = 0x04;
constexpr uint8_t END = 0x08;
constexpr uint8_t BRANCH = 0x10;
constexpr uint8_t PUSHSCOPE = 0x20;
constexpr uint8_t POPSCOPE = 0x40;
constexpr uint8_t NOTHROW = 0x80;
} // namespace opflags

struct OpInfo {
    const char* name = nullptr; // nullptr for codes that are no instruction
    uint8_t pops = 0;           // before the ARGC/RTNAME additions
    uint8_t pushes = 0;
    uint8_t flags = 0;
    uint8_t operandCount = 0;
    OperandKind operands[4] = {};

    bool valid() const { return name != nullptr; }
    bool has(uint8_t flag) const { return (flags & flag) != 0; }
};

class OpcodeTable {
public:
    static const OpInfo& info(uint8_t code);
    static const OpInfo& info(Op op) { return info(uint8_t(op)); }
    // The local register an instruction names without an operand (getlocal_0..setlocal_3), or -1.
    static int implicitRegister(Op op);
};

} // namespace nimbrel::movie::avm2
