#include "movie/avm2/XmlNode.h"

namespace nimbrel::movie::avm2 {

XmlNodePtr XmlNode::element(const QString& uri, const QString& local, const QString& prefix) {
    auto n = std::make_shared<XmlNode>(Kind::Element);
    n->uri = uri;
    n->local = local;
    n->prefix = prefix;
    return n;
}

XmlNodePtr XmlNode::text(const QString& value) {
    auto n = std::make_shared<XmlNode>(Kind::Text);
    n->value = value;
    n->hasName = false;
    return n;
}

XmlNodePtr XmlNode::attribute(const QString& uri, const QString& local, const QString& value, const QString& prefix) {
    auto n = std::make_shared<XmlNode>(Kind::Attribute);
    n->uri = uri;
    n->local = local;
    n->value = value;
    n->prefix = prefix;
    return n;
}

XmlNodePtr XmlNode::copy() const {
    auto n = std::make_shared<XmlNode>(kind);
    n->uri = uri;
    n->local = local;
    n->prefix = prefix;
    n->hasName = hasName;
    n->cdata = cdata;
    n->value = value;
    n->namespaces = namespaces;
    for (const XmlNodePtr& a : attributes) {
        XmlNodePtr c = a->copy();
        c->parent = n;
        n->attributes.push_back(std::move(c));
    }
    for (const XmlNodePtr& k : children) {
        XmlNodePtr c = k->copy();
        c->parent = n;
        n->children.push_back(std::move(c));
    }
    return n;
}

bool XmlNode::deepEquals(const XmlNode& o) const {
    if (kind != o.kind || value != o.value) return false;
    if (kind == Kind::Element || kind == Kind::Attribute || kind == Kind::ProcessingInstruction)
        if (local != o.local || uri != o.uri) return false;
    if (attributes.size() != o.attributes.size() || children.size() != o.children.size()) return false;
    for (const XmlNodePtr& a : attributes) {
        bool found = false;
        for (const XmlNodePtr& b : o.attributes)
            if (a->local == b->local && a->uri == b->uri && a->value == b->value) found = true;
        if (!found) return false;
    }
    for (size_t i = 0; i < children.size(); ++i)
        if (!children[i]->deepEquals(*o.children[i])) return false;
    return true;
}

bool XmlNode::hasSimpleContent() const {
    if (kind == Kind::Comment || kind == Kind::ProcessingInstruction) return false;
    for (const XmlNodePtr& c : children)
        if (c->kind == Kind::Element) return false;
    return true;
}

QString XmlNode::stringValue() const {
    if (kind != Kind::Element) return value;
    QString out;
    for (const XmlNodePtr& c : children)
        if (c->kind == Kind::Text || c->kind == Kind::Element) out += c->stringValue();
    return out;
}

int XmlNode::indexInParent() const {
    XmlNodePtr p = parentNode();
    if (!p || kind == Kind::Attribute) return -1;
    for (size_t i = 0; i < p->children.size(); ++i)
        if (p->children[i].get() == this) return int(i);
    return -1;
}

std::vector<XmlNamespace> XmlNode::inScopeNamespaces() const {
    std::vector<XmlNamespace> out;
    for (const XmlNode* n = this; n; ) {
        for (const XmlNamespace& ns : n->namespaces) {
            bool hidden = false;
            for (const XmlNamespace& seen : out) hidden = hidden || seen.prefix == ns.prefix;
            if (!hidden) out.push_back(ns);
        }
        XmlNodePtr p = n->parentNode();
        n = p.get(); // alive: its owner holds it while this child is reachable
    }
    return out;
}

QString XmlNode::prefixFor(const QString& nsUri) const {
    for (const XmlNamespace& ns : inScopeNamespaces())
        if (ns.uri == nsUri && !ns.prefix.isNull()) return ns.prefix;
    return QString();
}

void XmlNode::addNamespace(const XmlNamespace& ns) {
    if (kind != Kind::Element) return;
    for (XmlNamespace& own : namespaces) {
        if (own.prefix == ns.prefix) {
            own.uri = ns.uri;
            return;
        }
    }
    namespaces.push_back(ns);
}

void XmlNode::insertChild(size_t at, const XmlNodePtr& child) {
    child->parent = weak_from_this();
    children.insert(children.begin() + long(std::min(at, children.size())), child);
}

void XmlNode::removeChild(size_t at) {
    if (at >= children.size()) return;
    children[at]->parent.reset();
    children.erase(children.begin() + long(at));
}

bool XmlNode::isAncestorOf(const XmlNode* other) const {
    for (XmlNodePtr p = other ? other->parentNode() : nullptr; p; p = p->parentNode())
        if (p.get() == this) return true;
    return false;
}

} // namespace nimbrel::movie::avm2
