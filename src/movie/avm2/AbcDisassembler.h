#pragma once
// Readable text of an ABC block for diagnostics and the dump tool: scripts,
// classes with their traits, and each method's instructions, read off the
// opcode table.
#include "movie/avm2/AbcFile.h"
#include "movie/avm2/DecodedMethod.h"
#include <QString>

namespace nimbrel::movie::avm2 {

class AbcDisassembler {
public:
    explicit AbcDisassembler(const AbcFile& abc) : abc_(abc) {}

    // One instruction, e.g. "getproperty flash.display::MovieClip" or "iftrue -> 7".
    QString instruction(const DecodedMethod& m, const Instruction& ins) const;
    // A method's signature line and its code (or the VerifyError that stops it).
    QString method(uint32_t methodIndex) const;
    // The whole block: classes, scripts, then every method.
    QString all() const;

private:
    QString operand(OperandKind kind, uint32_t value) const;
    QString traits(const std::vector<TraitInfo>& traits, const QString& indent) const;

    const AbcFile& abc_;
};

} // namespace nimbrel::movie::avm2
