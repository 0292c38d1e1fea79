#pragma once
// An XMLNode (and the XML document, which is a node without a name): the
// tree links live here so that scripts see one consistent structure through
// childNodes, the sibling links and parentNode.
#include "movie/avm1/Object.h"
#include <vector>

namespace nimbrel::movie::avm1 {

class ArrayObject;
struct XmlParsedNode;

class XmlNodeObject : public Object {
public:
    enum { ElementNode = 1, TextNode = 3 };

    XmlNodeObject(Interpreter& vm, Object* proto);
    QString className() const override { return QStringLiteral("XMLNode"); }
    void markChildren(std::vector<Object*>& out) const override;

    static XmlNodeObject* from(const Value& v);
    // new XMLNode(type, text): the text is the name of an element, the value of a text node.
    void init(const Value& type, const Value& text);

    double nodeType = ElementNode;
    Value nodeName = Value::null();
    Value nodeValue = Value::null();
    Object* attributes = nullptr;
    XmlNodeObject* parent = nullptr;
    const std::vector<XmlNodeObject*>& children() const { return children_; }

    // The childNodes array: one array per node, brought up to date when read.
    ArrayObject* childNodes();
    XmlNodeObject* sibling(int offset) const;
    bool isSelfOrAncestorOf(const XmlNodeObject* node) const;
    // Both refuse to make a node its own ancestor; the child leaves its old parent first.
    bool appendChild(XmlNodeObject* child);
    bool insertBefore(XmlNodeObject* child, XmlNodeObject* before);
    void removeFromParent();
    void removeAllChildren();
    XmlNodeObject* clone(bool deep);
    // Builds parsed nodes under this one; elements with an id attribute go into idMap when given.
    void appendParsed(const std::vector<XmlParsedNode>& nodes, Object* idMap);

    // The movie-visible text: escaped text, attributes in enumeration order,
    // childless elements as "<name />". Walks without recursion.
    QString toXmlString();
    static QString escape(const QString& text);

    // Namespace lookups over this node and its ancestors (xmlns attributes).
    Value namespaceForPrefix(const QString& prefix);
    Value prefixForNamespace(const QString& uri);

private:
    void openTag(QString& out);
    std::vector<XmlNodeObject*> children_;
    ArrayObject* childArray_ = nullptr;
};

} // namespace nimbrel::movie::avm1
