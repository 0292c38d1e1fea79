#include "movie/avm2/OpcodeTable.h"
#include <array>

namespace nimbrel::movie::avm2 {

namespace {
using namespace opflags;

constexpr uint8_t countOperands(OperandKind a, OperandKind b, OperandKind c, OperandKind d) {
    return uint8_t((a != OperandKind::None) + (b != OperandKind::None) + (c != OperandKind::None) +
                   (d != OperandKind::None));
}

std::array<OpInfo, 256> buildTable() {
    std::array<OpInfo, 256> t{};
#define NIMBREL_AVM2_ROW(code, ident, name, pops, pushes, flags, k1, k2, k3, k4)                                 \
    t[code] = OpInfo{name, pops, pushes, uint8_t(flags),                                                        \
                     countOperands(OperandKind::k1, OperandKind::k2, OperandKind::k3, OperandKind::k4),        \
                     {OperandKind::k1, OperandKind::k2, OperandKind::k3, OperandKind::k4}};
    NIMBREL_AVM2_OPS(NIMBREL_AVM2_ROW)
#undef NIMBREL_AVM2_ROW
    return t;
}
} // namespace

const OpInfo& OpcodeTable::info(uint8_t code) {
    static const std::array<OpInfo, 256> table = buildTable();
    return table[code];
}

int OpcodeTable::implicitRegister(Op op) {
    const uint8_t code = uint8_t(op);
    return code >= 0xD0 && code <= 0xD7 ? code & 3 : -1;
}

} // namespace nimbrel::movie::avm2
