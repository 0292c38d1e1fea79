#include "movie/avm2/MethodDecoder.h"
#include "movie/avm2/AbcByteReader.h"
#include <algorithm>

namespace nimbrel::movie::avm2 {

namespace {

Avm2Error poolError(uint32_t index, size_t size) {
    return Avm2Error::make(err::PoolIndexOutOfRange, {QString::number(index), QString::number(size)});
}

// The pool an operand indexes must hold it; multiname 0 names nothing an instruction can use.
std::optional<Avm2Error> checkOperand(const AbcFile& abc, const MethodBody& body, Op op, OperandKind kind, uint32_t v) {
    const ConstantPool& pool = abc.pool;
    auto inPool = [&](size_t size) -> std::optional<Avm2Error> {
        if (v < size) return std::nullopt;
        return poolError(v, size);
    };
    switch (kind) {
    // Entry 0 of a pool is no constant an instruction can name (debug's string aside).
    case OperandKind::Int: return v ? inPool(pool.ints.size()) : poolError(v, pool.ints.size());
    case OperandKind::UInt: return v ? inPool(pool.uints.size()) : poolError(v, pool.uints.size());
    case OperandKind::Double: return v ? inPool(pool.doubles.size()) : poolError(v, pool.doubles.size());
    case OperandKind::String: return v || op == Op::Debug ? inPool(pool.strings.size()) : poolError(v, pool.strings.size());
    case OperandKind::Namespace: return v ? inPool(pool.namespaces.size()) : poolError(v, pool.namespaces.size());
    case OperandKind::Multiname: return v ? inPool(pool.multinames.size()) : poolError(v, pool.multinames.size());
    case OperandKind::Method:
        if (v < abc.methods.size()) return std::nullopt;
        return Avm2Error::make(err::MethodOutOfRange, {QString::number(v), QString::number(abc.methods.size())});
    case OperandKind::Class:
        if (v < abc.classes.size()) return std::nullopt;
        return Avm2Error::make(err::ClassOutOfRange, {QString::number(v), QString::number(abc.classes.size())});
    case OperandKind::Exception:
        if (v < body.exceptions.size()) return std::nullopt;
        return Avm2Error::make(err::CorruptAbc);
    default:
        return std::nullopt;
    }
}

} // namespace

namespace {

struct Decoded {
    Instruction ins;
    uint32_t length = 0;
    int64_t branch = -1;                  // byte offset of a branch target
    std::vector<int64_t> switchOffsets;   // lookupswitch: default, then cases
};

// One instruction at `offset`, its operands checked against their pools.
AbcResult<Decoded> decodeOne(const AbcFile& abc, const MethodBody& body, uint32_t offset) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(body.code.constData());
    AbcByteReader in(bytes + offset, size_t(body.code.size()) - offset);
    Decoded d;
    d.ins.offset = offset;
    const uint8_t code = in.u8();
    const OpInfo& info = OpcodeTable::info(code);
    if (!info.valid())
        return Avm2Error::make(err::IllegalOpcode, {abc.methodName(body.method) + QStringLiteral("()"), QString::number(code),
                                                    QString::number(offset)});
    d.ins.op = Op(code);
    for (int i = 0; i < info.operandCount; ++i) {
        const OperandKind kind = info.operands[i];
        uint32_t v = 0;
        switch (kind) {
        case OperandKind::Byte:
        case OperandKind::ScopeIndex:
            v = in.u8();
            break;
        case OperandKind::SignedByte:
            v = uint32_t(int32_t(int8_t(in.u8())));
            break;
        case OperandKind::Branch: {
            const int32_t delta = in.s24();
            d.branch = int64_t(offset) + int64_t(in.pos()) + delta;
            v = uint32_t(delta);
            break;
        }
        case OperandKind::Switch: {
            const int32_t defaultDelta = in.s24();
            const uint32_t cases = in.u30();
            // Each case takes three bytes; a count beyond the code is a cut-off instruction.
            if (in.failed() || uint64_t(cases) + 1 > in.remaining() / 3)
                return Avm2Error::make(err::LastInstructionExceedsCode);
            d.switchOffsets.push_back(int64_t(offset) + defaultDelta);
            for (uint32_t c = 0; c <= cases; ++c) d.switchOffsets.push_back(int64_t(offset) + in.s24());
            v = uint32_t(defaultDelta);
            d.ins.operands[1] = cases;
            break;
        }
        default:
            v = in.u30();
            break;
        }
        if (in.failed()) return Avm2Error::make(err::LastInstructionExceedsCode);
        if (auto e = checkOperand(abc, body, d.ins.op, kind, v)) return *e;
        d.ins.operands[i] = v;
    }
    d.length = uint32_t(in.pos());
    return d;
}

} // namespace

AbcResult<DecodedMethod> MethodDecoder::decode(const AbcFile& abc, uint32_t bodyIndex) {
    if (bodyIndex >= abc.bodies.size()) return Avm2Error::make(err::CorruptAbc);
    const MethodBody& body = abc.bodies[bodyIndex];
    const uint32_t length = uint32_t(body.code.size());
    const auto* bytes = reinterpret_cast<const uint8_t*>(body.code.constData());

    // Only code some path reaches is decoded, as the reference player does:
    // bytes after a return that nothing jumps to may be anything.
    std::vector<int32_t> slotAt(length, -1); // byte offset -> index into `found`
    std::vector<Decoded> found;
    std::vector<uint32_t> work{0};
    std::vector<bool> handlerTarget(length, false);
    for (const ExceptionInfo& ex : body.exceptions)
        if (ex.from > ex.to || ex.to > length || ex.target >= length) return Avm2Error::make(err::BadExceptionRange);
    // A handler is reached once an instruction it covers, itself reached, may throw.
    std::vector<bool> handlerReached(body.exceptions.size(), false);
    auto reachHandlers = [&](uint32_t offset) {
        for (size_t e = 0; e < body.exceptions.size(); ++e) {
            const ExceptionInfo& ex = body.exceptions[e];
            if (handlerReached[e] || offset < ex.from || offset >= ex.to) continue;
            handlerReached[e] = true;
            handlerTarget[ex.target] = true;
            work.push_back(ex.target);
        }
    };
    if (length == 0) return Avm2Error::make(err::FallsOffEnd);
    auto follow = [&](uint32_t from, int64_t target) -> std::optional<Avm2Error> {
        if (target < 0 || target >= int64_t(length)) return Avm2Error::make(err::BadBranchTarget);
        // A branch back (or to itself) must land on a label, where loops start.
        if (target <= int64_t(from) && bytes[target] != uint8_t(Op::Label)) return Avm2Error::make(err::BadBranchTarget);
        work.push_back(uint32_t(target));
        return std::nullopt;
    };
    while (!work.empty()) {
        const uint32_t offset = work.back();
        work.pop_back();
        if (slotAt[offset] >= 0) continue;
        auto d = decodeOne(abc, body, offset);
        if (!d) return d.error();
        slotAt[offset] = int32_t(found.size());
        const OpInfo& info = OpcodeTable::info(d->ins.op);
        if (d->branch >= 0 || info.has(opflags::BRANCH))
            if (auto e = follow(offset, d->branch)) return *e;
        for (int64_t t : d->switchOffsets)
            if (auto e = follow(offset, t)) return *e;
        if (!info.has(opflags::NOTHROW)) reachHandlers(offset);
        if (!info.has(opflags::END)) {
            const uint32_t next = offset + d->length;
            if (next >= length) return Avm2Error::make(err::FallsOffEnd);
            work.push_back(next);
        }
        found.push_back(std::move(d.value()));
    }

    // Instructions in code order; one starting inside another means a target missed the boundaries.
    DecodedMethod out;
    out.bodyIndex = bodyIndex;
    std::vector<int32_t> indexAt(size_t(length) + 1, -1);
    uint32_t end = 0;
    for (uint32_t offset = 0; offset < length; ++offset) {
        if (slotAt[offset] < 0) continue;
        if (offset < end)
            return Avm2Error::make(handlerTarget[offset] ? err::BadExceptionRange : err::BadBranchTarget);
        const Decoded& d = found[size_t(slotAt[offset])];
        end = offset + d.length;
        indexAt[offset] = int32_t(out.code.size());
        out.code.push_back(d.ins);
    }
    for (Instruction& ins : out.code) {
        const Decoded& d = found[size_t(slotAt[ins.offset])];
        if (d.branch >= 0) ins.target = indexAt[size_t(d.branch)];
        if (!d.switchOffsets.empty()) {
            ins.target = int32_t(out.switchTargets.size());
            for (int64_t t : d.switchOffsets) out.switchTargets.push_back(indexAt[size_t(t)]);
        }
    }

    // A handler covers [from, to) in bytes; as instructions, those starting inside it.
    auto firstAtOrAfter = [&](uint32_t offset) {
        auto it = std::lower_bound(out.code.begin(), out.code.end(), offset,
                                   [](const Instruction& ins, uint32_t o) { return ins.offset < o; });
        return uint32_t(it - out.code.begin());
    };
    // Handlers nothing can reach are left out: no exception ever looks for them.
    for (uint32_t e = 0; e < body.exceptions.size(); ++e) {
        if (!handlerReached[e]) continue;
        const ExceptionInfo& ex = body.exceptions[e];
        out.handlers.push_back(DecodedHandler{firstAtOrAfter(ex.from), firstAtOrAfter(ex.to),
                                              uint32_t(indexAt[ex.target]), e});
    }
    return out;
}

} // namespace nimbrel::movie::avm2
