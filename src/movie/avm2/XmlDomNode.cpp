#include "movie/avm2/XmlDomNode.h"
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/Runtime.h"
#include "movie/avm1/XmlParser.h"

namespace nimbrel::movie::avm2 {

namespace {
// Own enumerable properties of an object, in order.
template <typename Fn>
void eachProperty(const Value& object, Fn fn) {
    if (!object.isObject()) return;
    const ScriptObject* o = object.obj();
    for (int p = o->nextOwnEnumPosition(0); p; p = o->nextOwnEnumPosition(p)) fn(o->ownEnumName(p), o->ownEnumValue(p));
}
bool matchesPrefix(const QString& key, const QString& prefix) {
    if (!key.startsWith(QLatin1String("xmlns"))) return false;
    // "xmlns", "xmlns:" and anything else without a colon name the default namespace.
    const bool named = key.size() > 6 && key[5] == QLatin1Char(':');
    return prefix.isEmpty() ? !named : (named && QStringView(key).mid(6) == prefix);
}
} // namespace

void XmlDomNode::syncChildArray() {
    auto* array = childArray.isObject() && childArray.obj()->type == Type::Array ? static_cast<ArrayObject*>(childArray.obj()) : nullptr;
    if (!array) return;
    array->setLength(0);
    for (const auto& c : children_) array->items.push_back(Value::object(c));
    array->holes.clear();
    array->itemsResized();
}

XmlDomNode* XmlDomNode::sibling(int offset) const {
    if (!parent_) return nullptr;
    const auto& list = parent_->children_;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].get() != this) continue;
        const int64_t at = int64_t(i) + offset;
        return at >= 0 && at < int64_t(list.size()) ? list[size_t(at)].get() : nullptr;
    }
    return nullptr;
}

bool XmlDomNode::isSelfOrAncestorOf(const XmlDomNode* node) const {
    for (const XmlDomNode* n = node; n; n = n->parent_)
        if (n == this) return true;
    return false;
}

bool XmlDomNode::appendChild(const std::shared_ptr<XmlDomNode>& child) {
    return insertBefore(child, nullptr);
}

bool XmlDomNode::insertBefore(const std::shared_ptr<XmlDomNode>& child, XmlDomNode* before) {
    if (!child || child->isSelfOrAncestorOf(this) || child.get() == before) return false;
    if (before && before->parent_ != this) return false;
    const std::shared_ptr<XmlDomNode> keep = child; // leaving its parent must not free it
    keep->removeFromParent();
    auto at = children_.end();
    for (auto it = children_.begin(); before && it != children_.end(); ++it)
        if (it->get() == before) at = it;
    children_.insert(at, keep);
    keep->parent_ = this;
    syncChildArray();
    return true;
}

void XmlDomNode::removeFromParent() {
    if (!parent_) return;
    auto& list = parent_->children_;
    XmlDomNode* self = this;
    XmlDomNode* parent = parent_;
    parent_ = nullptr;
    std::erase_if(list, [self](const std::shared_ptr<XmlDomNode>& c) { return c.get() == self; });
    parent->syncChildArray();
}

void XmlDomNode::removeAllChildren() {
    for (auto& c : children_) c->parent_ = nullptr;
    children_.clear();
    syncChildArray();
}

void XmlDomNode::openTag(Runtime& rt, QString& out) const {
    out += QLatin1Char('<') + rt.toString(nodeName);
    eachProperty(attributes, [&](const Value& k, const Value& v) {
        out += QLatin1Char(' ') + rt.toString(k) + QLatin1String("=\"") +
               avm1::XmlParser::encodeEntities(rt.toString(v)) + QLatin1Char('"');
    });
}

QString XmlDomNode::toXmlString(Runtime& rt) {
    QString out;
    struct Step {
        XmlDomNode* node;
        bool closing;
    };
    std::vector<Step> work{{this, false}};
    while (!work.empty()) {
        const Step s = work.back();
        work.pop_back();
        XmlDomNode* n = s.node;
        if (s.closing) {
            out += QLatin1String("</") + rt.toString(n->nodeName) + QLatin1Char('>');
            continue;
        }
        if (n->nodeType == TextNode) {
            if (!n->nodeValue.isNullish()) out += avm1::XmlParser::encodeEntities(rt.toString(n->nodeValue));
            continue;
        }
        if (!n->nodeName.isNullish()) {
            n->openTag(rt, out);
            if (n->children_.empty()) {
                out += QLatin1String(" />");
                continue;
            }
            out += QLatin1Char('>');
            work.push_back({n, true});
        }
        for (auto it = n->children_.rbegin(); it != n->children_.rend(); ++it) work.push_back({it->get(), false});
    }
    return out;
}

QString XmlDomNode::prefix(Runtime& rt) const {
    const QString name = rt.toString(nodeName);
    const qsizetype colon = name.indexOf(QLatin1Char(':'));
    return colon < 0 ? QString(QLatin1String("")) : name.left(colon);
}

QString XmlDomNode::localName(Runtime& rt) const {
    const QString name = rt.toString(nodeName);
    return name.mid(name.indexOf(QLatin1Char(':')) + 1);
}

Value XmlDomNode::namespaceForPrefix(Runtime& rt, const QString& prefix) const {
    for (const XmlDomNode* n = this; n; n = n->parent_) {
        Value found;
        eachProperty(n->attributes, [&](const Value& k, const Value& v) {
            if (found.isUndefined() && matchesPrefix(rt.toString(k), prefix)) found = v;
        });
        if (!found.isUndefined()) return found;
    }
    return Value::null();
}

Value XmlDomNode::prefixForNamespace(Runtime& rt, const QString& uri) const {
    for (const XmlDomNode* n = this; n; n = n->parent_) {
        Value found;
        eachProperty(n->attributes, [&](const Value& k, const Value& v) {
            const QString key = rt.toString(k);
            if (!found.isUndefined() || !key.startsWith(QLatin1String("xmlns")) || rt.toString(v) != uri) return;
            found = Value::string(key.size() > 6 && key[5] == QLatin1Char(':') ? key.mid(6) : QString(QLatin1String("")));
        });
        if (!found.isUndefined()) return found;
    }
    return Value::null();
}

} // namespace nimbrel::movie::avm2
