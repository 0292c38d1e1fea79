#pragma once
// A flash.xml XMLNode (an XMLDocument is one without a name): the tree links
// live here so that childNodes, the sibling links and parentNode always
// agree. The attributes are a plain object scripts may replace.
#include "movie/avm2/ScriptObject.h"

namespace nimbrel::movie::avm1 {
struct XmlParsedNode;
}

namespace nimbrel::movie::avm2 {

class Runtime;

class XmlDomNode : public ScriptObject {
public:
    enum { ElementNode = 1, TextNode = 3 };

    ~XmlDomNode() override {
        for (auto& c : children_) c->parent_ = nullptr;
    }
    static XmlDomNode* from(const Value& v) { return v.isObject() ? dynamic_cast<XmlDomNode*>(v.obj()) : nullptr; }

    int nodeType = ElementNode;
    Value nodeName = Value::null();
    Value nodeValue = Value::null();
    Value attributes; // a plain object, made with the node
    bool isDocument = false;

    // The childNodes array scripts hold: one per node, kept in step with the children.
    Value childArray;
    void syncChildArray();

    XmlDomNode* parentNode() const { return parent_; }
    const std::vector<std::shared_ptr<XmlDomNode>>& children() const { return children_; }
    XmlDomNode* sibling(int offset) const;
    // Both refuse to make a node its own ancestor; the child leaves its old parent first.
    bool appendChild(const std::shared_ptr<XmlDomNode>& child);
    bool insertBefore(const std::shared_ptr<XmlDomNode>& child, XmlDomNode* before);
    void removeFromParent();
    void removeAllChildren();

    // Escaped text, attributes in order, childless elements as "<name />"; walks without recursion.
    QString toXmlString(Runtime& rt);
    // The name's parts: "ns1:foo" has prefix "ns1" and local name "foo".
    QString prefix(Runtime& rt) const;
    QString localName(Runtime& rt) const;
    // Namespace lookups over this node and its ancestors (xmlns attributes).
    Value namespaceForPrefix(Runtime& rt, const QString& prefix) const;
    Value prefixForNamespace(Runtime& rt, const QString& uri) const;

private:
    bool isSelfOrAncestorOf(const XmlDomNode* node) const;
    void openTag(Runtime& rt, QString& out) const;
    XmlDomNode* parent_ = nullptr; // parents hold their children, never the other way
    std::vector<std::shared_ptr<XmlDomNode>> children_;
};

} // namespace nimbrel::movie::avm2
