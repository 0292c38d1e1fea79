#pragma once
// An XMLList value: an ordered list of nodes, and where it came from (the
// node and name a lookup found nothing under) so that assigning to an
// empty result can create the child it names.
#include "movie/avm2/ReferenceVisitor.h"
#include "movie/avm2/ScriptObject.h"
#include "movie/avm2/XmlNode.h"

namespace nimbrel::movie::avm2 {

class Runtime;

class XmlListObject : public ScriptObject {
public:
    XmlListObject() : ScriptObject(Type::XmlList) {}
    bool getIndex(uint32_t i, Value& out) const override;
    uint32_t indexCount() const override { return uint32_t(items.size()); }
    int ownEnumCount() const override { return int(items.size()); }
    int nextOwnEnumPosition(int position) const override { return position < int(items.size()) ? position + 1 : 0; }

    std::vector<XmlNodePtr> items;
    XmlNodePtr targetNode;
    std::shared_ptr<XmlListObject> targetList; // the (empty) list this lookup ran on, when it had no node
    QString targetUri, targetLocal;
    bool targetAttribute = false;
    bool hasTargetName = false;
    Runtime* runtime = nullptr; // wraps items for enumeration

    void visitReferences(ReferenceVisitor& visit) const override {
        ScriptObject::visitReferences(visit);
        visit.object(targetList.get());
    }
    void dropReferences() override {
        ScriptObject::dropReferences();
        targetList.reset();
    }
};

} // namespace nimbrel::movie::avm2
