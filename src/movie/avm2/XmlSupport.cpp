#include "movie/avm2/XmlSupport.h"
#include "movie/avm2/QNameObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/Runtime.h"
#include "movie/avm2/XmlListObject.h"
#include "movie/avm2/XmlObject.h"
#include "movie/avm2/XmlPrinter.h"

namespace nimbrel::movie::avm2 {

bool XmlObject::getIndex(uint32_t i, Value& out) const {
    if (i != 0) return false;
    out = Value::object(const_cast<XmlObject*>(this)->shared_from_this());
    return true;
}

bool XmlListObject::getIndex(uint32_t i, Value& out) const {
    if (i >= items.size() || !runtime) return false;
    out = XmlSupport::wrap(*runtime, items[i]);
    return true;
}

bool XmlName::matches(const XmlNode& n) const {
    if (attribute != (n.kind == XmlNode::Kind::Attribute)) return false;
    if (!anyLocal && (n.kind != XmlNode::Kind::Element && n.kind != XmlNode::Kind::Attribute)) return false;
    if (!anyLocal && n.local != local) return false;
    if (!anyUri && ((n.kind != XmlNode::Kind::Element && n.kind != XmlNode::Kind::Attribute) ||
                    (n.uri != uri && std::find(otherUris.begin(), otherUris.end(), n.uri) == otherUris.end())))
        return false;
    return true;
}

bool XmlSupport::isXml(const Value& v) { return v.isObject() && v.obj()->type == ScriptObject::Type::Xml; }
bool XmlSupport::isXmlList(const Value& v) { return v.isObject() && v.obj()->type == ScriptObject::Type::XmlList; }
XmlObject* XmlSupport::asXml(const Value& v) { return isXml(v) ? static_cast<XmlObject*>(v.obj()) : nullptr; }
XmlListObject* XmlSupport::asList(const Value& v) { return isXmlList(v) ? static_cast<XmlListObject*>(v.obj()) : nullptr; }
XmlSettings& XmlSupport::settings(Runtime& rt) { return rt.xmlSettings; }

Value XmlSupport::wrap(Runtime& rt, const XmlNodePtr& node) {
    if (auto existing = node->wrapper.lock()) return Value::object(existing);
    auto x = std::make_shared<XmlObject>(node);
    if (ClassObject* cls = rt.builtin(QStringLiteral("XML"))) {
        x->cls = cls;
        x->proto = cls->prototype;
    }
    node->wrapper = x;
    return Value::object(x);
}

std::shared_ptr<XmlListObject> XmlSupport::newList(Runtime& rt, std::vector<XmlNodePtr> items) {
    auto l = std::make_shared<XmlListObject>();
    if (ClassObject* cls = rt.builtin(QStringLiteral("XMLList"))) {
        l->cls = cls;
        l->proto = cls->prototype;
    }
    l->items = std::move(items);
    l->runtime = &rt;
    return l;
}

std::vector<XmlNodePtr> XmlSupport::nodesOf(const Value& v) {
    if (XmlObject* x = asXml(v)) return {x->node};
    if (XmlListObject* l = asList(v)) return l->items;
    return {};
}

XmlNodePtr XmlSupport::toXmlNode(Runtime& rt, const Value& v) {
    if (XmlObject* x = asXml(v)) return x->node;
    if (XmlListObject* l = asList(v)) {
        if (l->items.size() == 1) return l->items[0];
        rt.raise(QStringLiteral("TypeError"), 1088);
    }
    if (v.isNullish()) rt.raise(QStringLiteral("TypeError"), v.isNull() ? 1009 : 1010);
    if (v.isObject() && v.obj()->type != ScriptObject::Type::Boxed) rt.raise(QStringLiteral("TypeError"), 1088);
    const QString text = rt.toString(v);
    auto parsed = XmlParser::parse(text, rt.xmlSettings, rt.defaultXmlNamespace);
    if (auto* e = std::get_if<XmlParseError>(&parsed)) rt.raise(QStringLiteral("TypeError"), e->id, e->args);
    auto& nodes = std::get<std::vector<XmlNodePtr>>(parsed);
    if (nodes.empty()) return XmlNode::text(QString());
    if (nodes.size() > 1) rt.raise(QStringLiteral("TypeError"), 1088);
    return nodes[0];
}

std::vector<XmlNodePtr> XmlSupport::toListNodes(Runtime& rt, const Value& v) {
    if (isXmlOrList(v)) return nodesOf(v);
    if (v.isNullish()) rt.raise(QStringLiteral("TypeError"), v.isNull() ? 1009 : 1010);
    auto parsed = XmlParser::parse(rt.toString(v), rt.xmlSettings, rt.defaultXmlNamespace);
    if (auto* e = std::get_if<XmlParseError>(&parsed)) rt.raise(QStringLiteral("TypeError"), e->id, e->args);
    return std::get<std::vector<XmlNodePtr>>(parsed);
}

XmlName XmlSupport::toXmlName(Runtime& rt, const Value& v, bool attribute) {
    if (v.isNullish()) rt.raise(QStringLiteral("TypeError"), v.isNull() ? 1009 : 1010);
    XmlName out;
    out.attribute = attribute;
    if (v.isObject() && v.obj()->type == ScriptObject::Type::QName) {
        auto* q = static_cast<QNameObject*>(v.obj());
        out.uri = q->uri;
        out.anyUri = q->anyUri;
        out.local = q->local;
        out.anyLocal = q->anyLocal;
        out.prefix = q->prefix;
        return out;
    }
    QString s = rt.toString(v);
    if (s.startsWith(u'@')) {
        out.attribute = true;
        s = s.mid(1);
    }
    out.local = s;
    out.anyLocal = s == QLatin1String("*");
    out.uri = out.attribute ? QString() : rt.defaultXmlNamespace;
    out.anyUri = out.anyLocal;
    return out;
}

XmlName XmlSupport::toXmlName(Runtime& rt, const Name& n) {
    if (n.objectKey && n.objectKey->type == ScriptObject::Type::QName) {
        XmlName out = toXmlName(rt, Value::object(n.objectKey->shared_from_this()), n.attribute);
        return out;
    }
    XmlName out;
    out.attribute = n.attribute;
    out.local = n.local;
    if (!out.attribute && out.local.startsWith(u'@')) {
        out.attribute = true;
        out.local = out.local.mid(1);
    }
    out.anyLocal = n.anyName || out.local == QLatin1String("*");
    if (n.anyNamespace) out.anyUri = true;
    else if (n.set) {
        // An unqualified name: elements in the default namespace, attributes in none; `*` in any.
        out.uri = out.attribute ? QString() : rt.defaultXmlNamespace;
        out.anyUri = out.anyLocal;
        for (const Namespace& ns : *n.set)
            if ((ns.kind == Namespace::Kind::Public || ns.kind == Namespace::Kind::Explicit) && !ns.uri.isEmpty() && !ns.isAs3())
                out.otherUris.push_back(ns.uri);
    } else {
        out.uri = n.single.uri;
    }
    return out;
}

Value XmlSupport::getByName(Runtime& rt, const Value& target, const XmlName& name) {
    auto list = newList(rt);
    for (const XmlNodePtr& node : nodesOf(target)) {
        if (node->kind != XmlNode::Kind::Element) continue;
        for (const XmlNodePtr& c : name.attribute ? node->attributes : node->children)
            if (name.matches(*c)) list->items.push_back(c);
    }
    if (XmlObject* x = asXml(target)) list->targetNode = x->node;
    else if (XmlListObject* l = asList(target); l && l->items.size() == 1) list->targetNode = l->items[0];
    else if (l && l->items.empty() && (l->targetNode || l->targetList))
        list->targetList = std::static_pointer_cast<XmlListObject>(l->shared_from_this());
    list->targetUri = name.uri;
    list->targetLocal = name.local;
    list->targetAttribute = name.attribute;
    list->hasTargetName = !name.anyLocal;
    return Value::object(list);
}

Value XmlSupport::get(Runtime& rt, const Value& target, const Name& name) {
    if (name.index >= 0 && !name.attribute) {
        if (isXml(target)) return name.index == 0 ? target : Value();
        XmlListObject* l = asList(target);
        return size_t(name.index) < l->items.size() ? wrap(rt, l->items[size_t(name.index)]) : Value();
    }
    return getByName(rt, target, toXmlName(rt, name));
}

std::vector<XmlNodePtr> XmlSupport::childrenFor(Runtime& rt, const Value& v) {
    std::vector<XmlNodePtr> out;
    if (isXmlOrList(v)) {
        for (const XmlNodePtr& n : nodesOf(v)) {
            XmlNodePtr c = n->kind == XmlNode::Kind::Attribute ? XmlNode::text(n->value) : n->copy();
            out.push_back(c);
        }
        return out;
    }
    out.push_back(XmlNode::text(rt.toString(v)));
    return out;
}

namespace {
int heightOf(const XmlNode& n, int limit) {
    int h = 0;
    if (limit > 0)
        for (const XmlNodePtr& c : n.children) h = std::max(h, heightOf(*c, limit - 1));
    return h + 1;
}
} // namespace

void XmlSupport::checkDepth(Runtime& rt, const XmlNode& parent, const XmlNode& child) {
    int depth = 1;
    for (XmlNodePtr p = parent.parentNode(); p && depth <= MaxTreeDepth; p = p->parentNode()) ++depth;
    if (depth + heightOf(child, MaxTreeDepth) > MaxTreeDepth) rt.raise(QStringLiteral("Error"), 1023);
}

void XmlSupport::replaceChild(Runtime& rt, XmlNode& parent, size_t at, const Value& v) {
    const std::vector<XmlNodePtr> fresh = childrenFor(rt, v);
    for (const XmlNodePtr& c : fresh) checkDepth(rt, parent, *c);
    parent.removeChild(at);
    size_t i = at;
    for (const XmlNodePtr& c : fresh) parent.insertChild(i++, c);
}

namespace {
QString attributeText(Runtime& rt, const Value& v) {
    if (XmlListObject* l = XmlSupport::asList(v)) {
        QStringList parts;
        for (const XmlNodePtr& n : l->items) parts << XmlPrinter::toString(*n, rt.xmlSettings);
        return parts.join(u' ');
    }
    return rt.toString(v);
}

void setOnElement(Runtime& rt, XmlNode& x, const XmlName& name, const Value& v) {
    if (x.kind != XmlNode::Kind::Element) return;
    if (name.attribute) {
        const QString text = attributeText(rt, v);
        bool done = false;
        for (size_t i = 0; i < x.attributes.size();) {
            if (!name.matches(*x.attributes[i])) {
                ++i;
                continue;
            }
            if (!done) {
                const QString old = x.attributes[i]->value;
                const QString changed = x.attributes[i]->local;
                x.attributes[i]->value = text;
                done = true;
                ++i;
                XmlSupport::notify(rt, x, "attributeChanged", Value::string(changed), Value::string(old));
            } else x.attributes.erase(x.attributes.begin() + long(i));
        }
        if (!done && !name.anyLocal) {
            XmlNodePtr a = XmlNode::attribute(name.anyUri ? QString() : name.uri, name.local, text);
            a->parent = x.weak_from_this();
            x.attributes.push_back(a);
            XmlSupport::notify(rt, x, "attributeAdded", Value::string(name.local), Value::string(text));
        }
        return;
    }
    const bool copyValue = XmlSupport::isXmlOrList(v) &&
                           !(XmlSupport::isXml(v) && XmlSupport::asXml(v)->node->kind != XmlNode::Kind::Element);
    long first = -1;
    for (long k = long(x.children.size()) - 1; k >= 0; --k) {
        if (!name.matches(*x.children[size_t(k)])) continue;
        if (first >= 0) x.removeChild(size_t(first));
        first = k;
    }
    const bool existed = first >= 0;
    if (first < 0) {
        if (name.anyLocal) {
            for (const XmlNodePtr& c : XmlSupport::childrenFor(rt, v)) x.insertChild(x.children.size(), c);
            return;
        }
        XmlNodePtr el = XmlNode::element(name.uri, name.local, x.prefixFor(name.uri));
        XmlSupport::checkDepth(rt, x, *el);
        x.insertChild(x.children.size(), el);
        first = long(x.children.size()) - 1;
    }
    if (copyValue) {
        XmlSupport::replaceChild(rt, x, size_t(first), v);
        if (size_t(first) < x.children.size())
            XmlSupport::notify(rt, x, existed ? "nodeChanged" : "nodeAdded", XmlSupport::wrap(rt, x.children[size_t(first)]));
        return;
    }
    XmlNode& child = *x.children[size_t(first)];
    if (child.kind != XmlNode::Kind::Element) {
        XmlSupport::replaceChild(rt, x, size_t(first), Value::string(rt.toString(v)));
        return;
    }
    while (!child.children.empty()) child.removeChild(0);
    child.insertChild(0, XmlNode::text(rt.toString(v)));
    XmlSupport::notify(rt, child, existed ? "textSet" : "nodeAdded", v);
}
} // namespace

namespace {
// An empty lookup result being assigned through creates what it named, its own target first (x.a.b.c = v).
void resolveEmpty(Runtime& rt, XmlListObject& l) {
    if (!l.items.empty() || !l.hasTargetName || l.targetAttribute) return;
    if (!l.targetNode && l.targetList) {
        resolveEmpty(rt, *l.targetList);
        if (l.targetList->items.size() == 1) l.targetNode = l.targetList->items[0];
    }
    if (!l.targetNode || l.targetNode->kind != XmlNode::Kind::Element) return;
    XmlNodePtr el = XmlNode::element(l.targetUri, l.targetLocal);
    XmlSupport::checkDepth(rt, *l.targetNode, *el);
    l.targetNode->insertChild(l.targetNode->children.size(), el);
    l.items.push_back(el);
}
} // namespace

void XmlSupport::set(Runtime& rt, const Value& target, const Name& name, const Value& v) {
    if (XmlObject* x = asXml(target)) {
        if (name.index >= 0 && !name.attribute) rt.raise(QStringLiteral("TypeError"), 1087);
        setOnElement(rt, *x->node, toXmlName(rt, name), v);
        return;
    }
    XmlListObject* l = asList(target);
    if (name.index >= 0 && !name.attribute) {
        const size_t i = size_t(name.index);
        if (i < l->items.size()) {
            XmlNodePtr old = l->items[i];
            if (XmlNodePtr p = old->parentNode(); p && old->kind != XmlNode::Kind::Attribute) {
                const int at = old->indexInParent();
                std::vector<XmlNodePtr> fresh = childrenFor(rt, v);
                if (!isXmlOrList(v) && old->kind == XmlNode::Kind::Element) {
                    setOnElement(rt, *old, XmlName{QString(), QString(), true, true}, v);
                    return;
                }
                p->removeChild(size_t(at));
                for (size_t k = 0; k < fresh.size(); ++k) p->insertChild(size_t(at) + k, fresh[k]);
                l->items.erase(l->items.begin() + long(i));
                l->items.insert(l->items.begin() + long(i), fresh.begin(), fresh.end());
            } else if (old->kind == XmlNode::Kind::Attribute) {
                old->value = attributeText(rt, v);
            } else {
                l->items[i] = isXmlOrList(v) ? toXmlNode(rt, v) : XmlNode::text(rt.toString(v));
            }
            return;
        }
        // Past the end: the value joins the list (the same nodes, as a filter collects them) and,
        // when the list came from a lookup, the tree after its last item.
        std::vector<XmlNodePtr> fresh;
        if (isXmlOrList(v)) fresh = nodesOf(v);
        else {
            XmlNodePtr el = XmlNode::element(l->targetUri, l->targetLocal);
            el->insertChild(0, XmlNode::text(rt.toString(v)));
            fresh.push_back(el);
        }
        if (l->targetNode && l->targetNode->kind == XmlNode::Kind::Element) {
            for (const XmlNodePtr& n : fresh) {
                if (n == l->targetNode || n->isAncestorOf(l->targetNode.get())) rt.raise(QStringLiteral("TypeError"), 1118);
                checkDepth(rt, *l->targetNode, *n);
            }
            size_t at = l->targetNode->children.size();
            if (!l->items.empty() && l->items.back()->parentNode() == l->targetNode) at = size_t(l->items.back()->indexInParent()) + 1;
            for (const XmlNodePtr& n : fresh) l->targetNode->insertChild(at++, n);
        }
        l->items.insert(l->items.end(), fresh.begin(), fresh.end());
        return;
    }
    resolveEmpty(rt, *l);
    if (l->items.size() != 1) rt.raise(QStringLiteral("TypeError"), 1089);
    setOnElement(rt, *l->items[0], toXmlName(rt, name), v);
}

bool XmlSupport::has(Runtime& rt, const Value& target, const Name& name) {
    if (name.index >= 0 && !name.attribute) return size_t(name.index) < nodesOf(target).size();
    const XmlName n = toXmlName(rt, name);
    for (const XmlNodePtr& node : nodesOf(target))
        for (const XmlNodePtr& c : n.attribute ? node->attributes : node->children)
            if (n.matches(*c)) return true;
    return false;
}

bool XmlSupport::remove(Runtime& rt, const Value& target, const Name& name) {
    if (name.index >= 0 && !name.attribute) {
        XmlListObject* l = asList(target);
        if (!l) return false;
        const size_t i = size_t(name.index);
        if (i >= l->items.size()) return true;
        XmlNodePtr n = l->items[i];
        if (XmlNodePtr p = n->parentNode()) {
            if (n->kind == XmlNode::Kind::Attribute) {
                std::erase(p->attributes, n);
                n->parent.reset();
                notify(rt, *p, "attributeRemoved", Value::string(n->local), Value::string(n->value));
            } else {
                p->removeChild(size_t(n->indexInParent()));
                notify(rt, *p, "nodeRemoved", wrap(rt, n));
            }
        }
        l->items.erase(l->items.begin() + long(i));
        return true;
    }
    const XmlName n = toXmlName(rt, name);
    for (const XmlNodePtr& node : nodesOf(target)) {
        auto& from = n.attribute ? node->attributes : node->children;
        for (size_t i = 0; i < from.size();) {
            if (!n.matches(*from[i])) {
                ++i;
                continue;
            }
            XmlNodePtr gone = from[i];
            gone->parent.reset();
            from.erase(from.begin() + long(i));
            if (n.attribute) notify(rt, *node, "attributeRemoved", Value::string(gone->local), Value::string(gone->value));
            else notify(rt, *node, "nodeRemoved", wrap(rt, gone));
        }
    }
    return true;
}

Value XmlSupport::call(Runtime& rt, const Value& target, const Name& name, Args args) {
    for (ScriptObject* p = target.obj()->proto.get(); p; p = p->proto.get()) {
        if (Value* fn = p->findOwn(name.local); fn && fn->isObject()) return rt.call(*fn, target, args);
    }
    // A method of the text a simple value holds, or of the one item of a list.
    if (XmlListObject* l = asList(target); l && l->items.size() == 1) return call(rt, wrap(rt, l->items[0]), name, args);
    if (XmlObject* x = asXml(target); x && x->node->hasSimpleContent()) {
        const Value text = Value::string(XmlPrinter::toString(*x->node, rt.xmlSettings));
        return PropertyAccess::call(rt, text, name, args);
    }
    rt.raise(QStringLiteral("TypeError"), 1006, {name.local});
}

std::vector<XmlNodePtr> XmlSupport::descendantNodes(const XmlNode& node, const XmlName& name) {
    std::vector<XmlNodePtr> out;
    if (name.attribute)
        for (const XmlNodePtr& a : node.attributes)
            if (name.matches(*a)) out.push_back(a);
    for (const XmlNodePtr& c : node.children) {
        if (!name.attribute && name.matches(*c)) out.push_back(c);
        if (c->kind == XmlNode::Kind::Element) {
            std::vector<XmlNodePtr> deeper = descendantNodes(*c, name);
            out.insert(out.end(), deeper.begin(), deeper.end());
        }
    }
    return out;
}

Value XmlSupport::descendants(Runtime& rt, const Value& target, const Name& name) {
    if (!isXmlOrList(target)) rt.raise(QStringLiteral("TypeError"), 1016, {rt.describe(target)});
    const XmlName n = toXmlName(rt, name);
    auto list = newList(rt);
    for (const XmlNodePtr& node : nodesOf(target)) {
        std::vector<XmlNodePtr> found = descendantNodes(*node, n);
        list->items.insert(list->items.end(), found.begin(), found.end());
    }
    return Value::object(list);
}

void XmlSupport::checkArity(Runtime& rt, Args a, int min, int max, const char* method) {
    if (a.count >= min && a.count <= max) return;
    rt.raise(QStringLiteral("ArgumentError"), 1063,
             {QStringLiteral("XML/%1()").arg(QLatin1String(method)), QString::number(a.count < min ? min : max), QString::number(a.count)});
}

void XmlSupport::notify(Runtime& rt, XmlNode& node, const char* command, const Value& value, const Value& detail) {
    XmlNodePtr at = node.shared_from_this();
    while (at && !at->notification) at = at->parentNode();
    if (!at) return;
    Value args[5] = {wrap(rt, at), Value::string(QString::fromLatin1(command)), wrap(rt, node.shared_from_this()), value, detail};
    rt.call(Value::object(at->notification), Value::null(), Args{args, 5});
}

bool XmlSupport::areNames(const Value& a, const Value& b) {
    if (!a.isObject() || !b.isObject() || a.obj()->type != b.obj()->type) return false;
    return a.obj()->type == ScriptObject::Type::Namespace || a.obj()->type == ScriptObject::Type::QName;
}

bool XmlSupport::sameName(const Value& a, const Value& b) {
    if (a.obj()->type == ScriptObject::Type::Namespace) return a.obj()->primitive.s == b.obj()->primitive.s;
    auto* x = static_cast<QNameObject*>(a.obj());
    auto* y = static_cast<QNameObject*>(b.obj());
    return x->local == y->local && x->anyUri == y->anyUri && x->uri == y->uri;
}

QString XmlSupport::textOf(Runtime& rt, const Value& v) {
    if (XmlObject* x = asXml(v)) return XmlPrinter::toString(*x->node, rt.xmlSettings);
    return XmlPrinter::toString(nodesOf(v), rt.xmlSettings);
}

bool XmlSupport::equals(Runtime& rt, const Value& a, const Value& b) {
    if (isXmlList(a) || isXmlList(b)) {
        const Value& list = isXmlList(a) ? a : b;
        const Value& other = isXmlList(a) ? b : a;
        const std::vector<XmlNodePtr> items = nodesOf(list);
        if (other.isUndefined()) return items.empty();
        if (isXmlList(other)) {
            const std::vector<XmlNodePtr> others = nodesOf(other);
            if (items.size() != others.size()) return false;
            for (size_t i = 0; i < items.size(); ++i)
                if (!equals(rt, wrap(rt, items[i]), wrap(rt, others[i]))) return false;
            return true;
        }
        return items.size() == 1 && equals(rt, wrap(rt, items[0]), other);
    }
    if (isXml(a) && isXml(b)) {
        const XmlNode& x = *asXml(a)->node;
        const XmlNode& y = *asXml(b)->node;
        if (x.hasSimpleContent() && y.hasSimpleContent() && x.kind != XmlNode::Kind::Comment && y.kind != XmlNode::Kind::Comment)
            return XmlPrinter::toString(x, rt.xmlSettings) == XmlPrinter::toString(y, rt.xmlSettings);
        return x.deepEquals(y);
    }
    const Value& x = isXml(a) ? a : b;
    const Value& other = isXml(a) ? b : a;
    if (other.isNullish()) return false;
    if (!asXml(x)->node->hasSimpleContent()) return false;
    return rt.looseEquals(Value::string(XmlPrinter::toString(*asXml(x)->node, rt.xmlSettings)), other);
}

Value XmlSupport::concat(Runtime& rt, const Value& a, const Value& b) {
    std::vector<XmlNodePtr> items = nodesOf(a);
    const std::vector<XmlNodePtr> more = nodesOf(b);
    items.insert(items.end(), more.begin(), more.end());
    return Value::object(newList(rt, std::move(items)));
}

} // namespace nimbrel::movie::avm2
