#include "movie/avm2/Verifier.h"
#include "movie/avm2/MethodDecoder.h"
#include <vector>

namespace nimbrel::movie::avm2 {

namespace {

struct Depths {
    int64_t stack = -1; // -1: no path has reached the instruction yet
    int64_t scope = 0;
};

class Flow {
public:
    Flow(const AbcFile& abc, const DecodedMethod& m)
        : abc_(abc), m_(m), body_(abc.bodies[m.bodyIndex]), method_(abc.methods[body_.method]),
          at_(m.code.size()) {}

    std::optional<Avm2Error> run() {
        if (m_.code.empty()) return Avm2Error::make(err::FallsOffEnd);
        if (body_.maxScopeDepth < body_.initScopeDepth) return Avm2Error::make(err::CorruptAbc);
        scopeCapacity_ = int64_t(body_.maxScopeDepth) - int64_t(body_.initScopeDepth);
        if (auto e = reach(0, {0, 0})) return e;
        while (!work_.empty()) {
            const uint32_t i = work_.back();
            work_.pop_back();
            if (auto e = step(i)) return e;
        }
        return std::nullopt;
    }

private:
    std::optional<Avm2Error> reach(uint32_t index, Depths d) {
        if (index >= at_.size()) return Avm2Error::make(err::FallsOffEnd);
        Depths& known = at_[index];
        if (known.stack < 0) {
            known = d;
            work_.push_back(index);
            return std::nullopt;
        }
        if (known.stack != d.stack)
            return Avm2Error::make(err::StackUnbalanced, {QString::number(d.stack), QString::number(known.stack)});
        if (known.scope != d.scope)
            return Avm2Error::make(err::ScopeUnbalanced, {QString::number(d.scope), QString::number(known.scope)});
        return std::nullopt;
    }

    std::optional<Avm2Error> checkRegister(uint32_t reg) const {
        if (reg < body_.localCount) return std::nullopt;
        return Avm2Error::make(err::BadRegister, {QString::number(reg)});
    }

    int64_t pops(const Instruction& ins, const OpInfo& info) const {
        int64_t n = info.pops;
        for (int k = 0; k < info.operandCount; ++k) {
            if (info.operands[k] == OperandKind::ArgCount) {
                if (info.has(opflags::ARGC)) n += ins.operands[k];
                if (info.has(opflags::ARGC2)) n += 2 * int64_t(ins.operands[k]);
            }
            if (info.operands[k] == OperandKind::Multiname && info.has(opflags::RTNAME))
                n += abc_.pool.multinames[ins.operands[k]].runtimeParts();
        }
        return n;
    }

    std::optional<Avm2Error> step(uint32_t i) {
        const Instruction& ins = m_.code[i];
        const OpInfo& info = OpcodeTable::info(ins.op);
        Depths d = at_[i];
        for (int k = 0; k < info.operandCount; ++k) {
            if (info.operands[k] == OperandKind::Register)
                if (auto e = checkRegister(ins.operands[k])) return e;
            // These look a name up at verification time; it cannot come from the stack.
            if (info.operands[k] == OperandKind::Multiname && !info.has(opflags::RTNAME) &&
                (ins.op == Op::GetLex || ins.op == Op::FindDef) &&
                abc_.pool.multinames[ins.operands[k]].runtimeParts() > 0)
                return Avm2Error::make(err::IllegalMultinameForOpcode,
                                       {QString::fromLatin1(info.name), abc_.multinameText(ins.operands[k])});
        }
        if (const int reg = OpcodeTable::implicitRegister(ins.op); reg >= 0)
            if (auto e = checkRegister(uint32_t(reg))) return e;
        if (ins.op == Op::NewActivation && !(method_.flags & methodflags::NeedActivation))
            return Avm2Error::make(err::NewActivationWithoutFlag);

        // An instruction that may throw leads to each handler covering it, which starts
        // with the thrown value alone on the stack and an empty scope stack.
        if (!info.has(opflags::NOTHROW)) {
            for (const DecodedHandler& h : m_.handlers) {
                if (i < h.from || i >= h.to) continue;
                if (body_.maxStack < 1) return Avm2Error::make(err::StackOverflow);
                if (auto e = reach(h.target, {1, 0})) return e;
            }
        }

        const int64_t popped = pops(ins, info);
        if (d.stack < popped) return Avm2Error::make(err::StackUnderflow);
        d.stack += info.pushes - popped;
        if (d.stack > int64_t(body_.maxStack)) return Avm2Error::make(err::StackOverflow);

        if (info.has(opflags::PUSHSCOPE) && ++d.scope > scopeCapacity_) return Avm2Error::make(err::ScopeOverflow);
        if (info.has(opflags::POPSCOPE) && --d.scope < 0) return Avm2Error::make(err::ScopeUnderflow);
        if (ins.op == Op::GetScopeObject && int64_t(ins.operands[0]) >= d.scope)
            return Avm2Error::make(err::ScopeObjectOutOfBounds, {QString::number(ins.operands[0])});

        if (ins.op == Op::LookupSwitch) {
            for (uint32_t c = 0; c <= ins.operands[1] + 0u; ++c)
                if (auto e = reach(uint32_t(m_.switchTargets[size_t(ins.target) + c]), d)) return e;
            return std::nullopt;
        }
        if (info.has(opflags::BRANCH))
            if (auto e = reach(uint32_t(ins.target), d)) return e;
        if (!info.has(opflags::END)) return reach(i + 1, d);
        return std::nullopt;
    }

    const AbcFile& abc_;
    const DecodedMethod& m_;
    const MethodBody& body_;
    const MethodInfo& method_;
    std::vector<Depths> at_;
    std::vector<uint32_t> work_;
    int64_t scopeCapacity_ = 0;
};

} // namespace

std::optional<Avm2Error> Verifier::verify(const AbcFile& abc, const DecodedMethod& method) {
    if (method.bodyIndex >= abc.bodies.size()) return Avm2Error::make(err::CorruptAbc);
    return Flow(abc, method).run();
}

AbcResult<DecodedMethod> Verifier::prepare(const AbcFile& abc, uint32_t bodyIndex) {
    auto decoded = MethodDecoder::decode(abc, bodyIndex);
    if (!decoded) return decoded;
    if (auto e = verify(abc, decoded.value())) return *e;
    return decoded;
}

} // namespace nimbrel::movie::avm2
