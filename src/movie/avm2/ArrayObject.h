#pragma once
// An Array: dense elements (holes are undefined with a flag) and the usual
// dynamic properties. Very large sparse indices become named properties.
#include "movie/avm2/ScriptObject.h"

namespace nimbrel::movie::avm2 {

class ArrayObject : public ScriptObject {
public:
    ArrayObject() : ScriptObject(Type::Array) {}

    bool getIndex(uint32_t i, Value& out) const override;
    bool setIndex(uint32_t i, const Value& v) override;
    bool deleteIndex(uint32_t i) override;
    uint32_t indexCount() const override { return uint32_t(items.size()); }
    void setLength(uint32_t length);

    // Holes read as undefined but are not own properties.
    std::vector<Value> items;
    std::vector<bool> holes;
    static constexpr uint32_t MaxDense = 1u << 24;
};

} // namespace nimbrel::movie::avm2
