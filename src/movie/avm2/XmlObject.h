#pragma once
// An XML value: one node of a tree. For iteration it is a list of itself.
#include "movie/avm2/ScriptObject.h"
#include "movie/avm2/XmlNode.h"

namespace nimbrel::movie::avm2 {

class XmlObject : public ScriptObject {
public:
    explicit XmlObject(XmlNodePtr node) : ScriptObject(Type::Xml), node(std::move(node)) {}
    bool getIndex(uint32_t i, Value& out) const override;
    uint32_t indexCount() const override { return 1; }
    int ownEnumCount() const override { return 1; }
    int nextOwnEnumPosition(int position) const override { return position < 1 ? 1 : 0; }

    XmlNodePtr node;
};

} // namespace nimbrel::movie::avm2
