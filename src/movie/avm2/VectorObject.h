#pragma once
// A Vector.<T>: dense elements already converted to the base type, and an
// optional fixed length. Writes go through VectorClass, which converts and
// checks the range; reads past the end are the caller's RangeError.
#include "movie/avm2/ReferenceVisitor.h"
#include "movie/avm2/ScriptObject.h"

namespace nimbrel::movie::avm2 {

class VectorObject : public ScriptObject {
public:
    VectorObject() : ScriptObject(Type::Vector) {}

    bool getIndex(uint32_t i, Value& out) const override {
        if (i >= items.size()) return false;
        out = items[i];
        return true;
    }
    uint32_t indexCount() const override { return uint32_t(items.size()); }

    std::vector<Value> items;
    const ClassObject* elementType = nullptr; // null: any type (*)
    bool fixed = false;

    void visitReferences(ReferenceVisitor& visit) const override {
        ScriptObject::visitReferences(visit);
        visit.values(items);
    }
    void dropReferences() override {
        ScriptObject::dropReferences();
        items.clear();
    }
};

} // namespace nimbrel::movie::avm2
