#pragma once
// An Array: dense elements (holes flagged), far-out elements in a sparse map,
// and a length that may run past both without storing anything.
#include "movie/avm2/ScriptObject.h"
#include <map>

namespace nimbrel::movie::avm2 {

class ArrayObject : public ScriptObject {
public:
    ArrayObject() : ScriptObject(Type::Array) {}

    bool getIndex(uint32_t i, Value& out) const override;
    bool setIndex(uint32_t i, const Value& v) override;
    bool deleteIndex(uint32_t i) override;
    uint32_t indexCount() const override { return uint32_t(items.size()); }
    uint32_t length() const { return std::max(uint32_t(items.size()), extraLength_); }
    void setLength(uint32_t length);
    // After a method reshaped `items` directly (shift, splice): the length follows them.
    void itemsResized() {
        if (sparse_.empty()) extraLength_ = uint32_t(items.size());
    }

    // Holes read as undefined but are not own properties.
    std::vector<Value> items;
    std::vector<bool> holes;
    // How far past the dense end an index may land and still grow the dense part.
    static constexpr uint32_t DenseGrowth = 1u << 16;

    void visitReferences(ReferenceVisitor& visit) const override;
    void dropReferences() override;

private:
    std::map<uint32_t, Value> sparse_;
    uint32_t extraLength_ = 0; // a length beyond items, from setLength or a sparse element
};

} // namespace nimbrel::movie::avm2
