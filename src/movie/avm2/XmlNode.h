#pragma once
// One node of an XML tree as scripts see it through XML and XMLList: an
// element with attributes, children and the namespaces it declares, or a
// text, comment, processing instruction or attribute leaf.
#include <QString>
#include <memory>
#include <vector>

namespace nimbrel::movie::avm2 {

class ScriptObject;
class XmlNode;
using XmlNodePtr = std::shared_ptr<XmlNode>;

struct XmlNamespace {
    QString prefix; // empty: the default namespace; isNull(): no prefix known
    QString uri;
    bool operator==(const XmlNamespace& o) const { return prefix == o.prefix && uri == o.uri; }
};

class XmlNode : public std::enable_shared_from_this<XmlNode> {
public:
    enum class Kind { Element, Text, Comment, ProcessingInstruction, Attribute };
    explicit XmlNode(Kind kind) : kind(kind) {}

    static XmlNodePtr element(const QString& uri, const QString& local, const QString& prefix = QString());
    static XmlNodePtr text(const QString& value);
    static XmlNodePtr attribute(const QString& uri, const QString& local, const QString& value, const QString& prefix = QString());

    // A deep copy without a parent.
    XmlNodePtr copy() const;
    bool deepEquals(const XmlNode& other) const;
    // E4X: simple content is text or an element without element children.
    bool hasSimpleContent() const;
    // The text of this node and its descendant text (elements), or its value.
    QString stringValue() const;
    int indexInParent() const;
    // Namespaces in scope here, nearest declaration of a prefix first.
    std::vector<XmlNamespace> inScopeNamespaces() const;
    // A prefix in scope for `uri` (null when none).
    QString prefixFor(const QString& uri) const;
    void addNamespace(const XmlNamespace& ns);
    void insertChild(size_t at, const XmlNodePtr& child);
    void removeChild(size_t at);
    bool isAncestorOf(const XmlNode* other) const;

    Kind kind;
    QString uri, local, prefix; // the name (elements, attributes; local only for processing instructions)
    bool hasName = true;
    bool cdata = false; // text read from a CDATA section prints as one again
    QString value;              // text, comment, processing instruction and attribute content
    std::vector<XmlNodePtr> children, attributes;
    std::vector<XmlNamespace> namespaces; // declared on this element
    std::weak_ptr<XmlNode> parent; // weak: a script may keep a child after dropping its tree
    XmlNodePtr parentNode() const { return parent.lock(); }
    // The script object currently standing for this node, so one node keeps one identity.
    std::weak_ptr<ScriptObject> wrapper;
    // A function told about changes to this node and below (setNotification).
    std::shared_ptr<ScriptObject> notification;
};

} // namespace nimbrel::movie::avm2
