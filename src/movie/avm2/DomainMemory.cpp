#include "movie/avm2/DomainMemory.h"
#include "movie/avm2/ByteArrayObject.h"
#include "movie/avm2/Runtime.h"
#include <bit>
#include <cstring>

namespace nimbrel::movie::avm2 {

namespace {
uint32_t widthOf(Op op) {
    switch (op) {
    case Op::Li8: case Op::Si8: return 1;
    case Op::Li16: case Op::Si16: return 2;
    case Op::Lf64: case Op::Sf64: return 8;
    default: return 4;
    }
}

// The bytes an access covers; RangeError when they run outside the memory.
char* span(Runtime& rt, int32_t address, uint32_t width) {
    auto* memory = static_cast<ByteArrayObject*>(rt.domainMemory.get());
    QByteArray& bytes = memory ? memory->bytes : rt.scratchMemory;
    if (address < 0 || uint64_t(uint32_t(address)) + width > uint64_t(bytes.size())) rt.raise(QStringLiteral("RangeError"), 1506);
    return bytes.data() + address;
}

uint64_t readLittle(const char* p, uint32_t width) {
    uint64_t v = 0;
    for (uint32_t i = 0; i < width; ++i) v |= uint64_t(uint8_t(p[i])) << (8 * i);
    return v;
}
void writeLittle(char* p, uint32_t width, uint64_t v) {
    for (uint32_t i = 0; i < width; ++i, v >>= 8) p[i] = char(v & 0xff);
}
} // namespace

Value DomainMemory::load(Runtime& rt, Op op, int32_t address) {
    const uint32_t width = widthOf(op);
    const uint64_t raw = readLittle(span(rt, address, width), width);
    switch (op) {
    case Op::Li8:
    case Op::Li16: return Value::integer(int32_t(raw)); // zero-extended
    case Op::Li32: return Value::integer(int32_t(uint32_t(raw)));
    case Op::Lf32: return Value::number(double(std::bit_cast<float>(uint32_t(raw))));
    default: return Value::number(std::bit_cast<double>(raw));
    }
}

void DomainMemory::store(Runtime& rt, Op op, int32_t address, const Value& v) {
    const uint32_t width = widthOf(op);
    uint64_t raw;
    if (op == Op::Sf32) raw = std::bit_cast<uint32_t>(float(rt.toNumber(v)));
    else if (op == Op::Sf64) raw = std::bit_cast<uint64_t>(rt.toNumber(v));
    else raw = uint32_t(rt.toInt32(v));
    // The value converts before the address is checked, as a script can observe through valueOf.
    writeLittle(span(rt, address, width), width, raw);
}

} // namespace nimbrel::movie::avm2
