#include "movie/avm1/XmlNodeObject.h"
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/XmlParser.h"
#include <algorithm>

namespace nimbrel::movie::avm1 {

XmlNodeObject::XmlNodeObject(Interpreter& vm, Object* proto) : Object(vm, proto), attributes(vm.newObject()) {}

XmlNodeObject* XmlNodeObject::from(const Value& v)
{
    return dynamic_cast<XmlNodeObject*>(v.object());
}

void XmlNodeObject::init(const Value& type, const Value& text)
{
    nodeType = vm().toNumber(type);
    if (nodeType == TextNode)
        nodeValue = text.isUndefined() ? Value::null() : Value(vm().toString(text));
    else if (!text.isUndefined())
        nodeName = Value(vm().toString(text));
}

void XmlNodeObject::markChildren(std::vector<Object*>& out) const
{
    Object::markChildren(out);
    for (const Value* v : {&nodeName, &nodeValue})
        if (v->isObject())
            out.push_back(v->o);
    out.push_back(attributes);
    out.push_back(parent);
    out.push_back(childArray_);
    for (XmlNodeObject* c : children_)
        out.push_back(c);
}

ArrayObject* XmlNodeObject::childNodes()
{
    if (!childArray_)
        childArray_ = vm().newArray();
    childArray_->elements.assign(children_.begin(), children_.end());
    return childArray_;
}

XmlNodeObject* XmlNodeObject::sibling(int offset) const
{
    if (!parent)
        return nullptr;
    const auto& list = parent->children_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end())
        return nullptr;
    long long at = (it - list.begin()) + offset;
    return at >= 0 && at < (long long)list.size() ? list[size_t(at)] : nullptr;
}

bool XmlNodeObject::isSelfOrAncestorOf(const XmlNodeObject* node) const
{
    for (; node; node = node->parent)
        if (node == this)
            return true;
    return false;
}

bool XmlNodeObject::appendChild(XmlNodeObject* child)
{
    if (!child || child->isSelfOrAncestorOf(this))
        return false;
    child->removeFromParent();
    children_.push_back(child);
    child->parent = this;
    return true;
}

bool XmlNodeObject::insertBefore(XmlNodeObject* child, XmlNodeObject* before)
{
    if (!child || !before || before->parent != this || child == before || child->isSelfOrAncestorOf(this))
        return false;
    child->removeFromParent();
    auto it = std::find(children_.begin(), children_.end(), before);
    children_.insert(it, child);
    child->parent = this;
    return true;
}

void XmlNodeObject::removeFromParent()
{
    if (!parent)
        return;
    auto& list = parent->children_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    parent = nullptr;
}

void XmlNodeObject::removeAllChildren()
{
    for (XmlNodeObject* c : children_)
        c->parent = nullptr;
    children_.clear();
}

XmlNodeObject* XmlNodeObject::clone(bool deep)
{
    // Copied level by level with an explicit work list: a deep tree must not exhaust the stack.
    auto copyOne = [this](XmlNodeObject* from) {
        vm().checkHeap();
        auto* to = vm().make<XmlNodeObject>(from->proto());
        to->nodeType = from->nodeType;
        to->nodeName = from->nodeName;
        to->nodeValue = from->nodeValue;
        const QStringList keys = from->attributes->ownKeys();
        for (auto it = keys.rbegin(); it != keys.rend(); ++it)
            to->attributes->set(*it, from->attributes->get(*it));
        return to;
    };
    XmlNodeObject* top = copyOne(this);
    if (!deep)
        return top;
    std::vector<std::pair<XmlNodeObject*, XmlNodeObject*>> work{{this, top}};
    while (!work.empty()) {
        auto [from, to] = work.back();
        work.pop_back();
        for (XmlNodeObject* c : from->children_) {
            XmlNodeObject* copy = copyOne(c);
            to->children_.push_back(copy);
            copy->parent = to;
            work.push_back({c, copy});
        }
    }
    return top;
}

void XmlNodeObject::appendParsed(const std::vector<XmlParsedNode>& nodes, Object* idMap)
{
    std::vector<std::pair<XmlNodeObject*, const std::vector<XmlParsedNode>*>> work{{this, &nodes}};
    Object* nodeProto = vm().xmlNodeProto ? vm().xmlNodeProto : vm().objectProto;
    while (!work.empty()) {
        auto [into, list] = work.back();
        work.pop_back();
        for (const XmlParsedNode& p : *list) {
            vm().checkHeap();
            auto* n = vm().make<XmlNodeObject>(nodeProto);
            n->nodeType = p.type;
            if (p.type == XmlParsedNode::Text) {
                n->nodeValue = Value(p.value);
            } else {
                n->nodeName = Value(p.name);
                // Stored last-first: enumeration (newest first) then gives the source order.
                for (auto it = p.attributes.rbegin(); it != p.attributes.rend(); ++it)
                    n->attributes->set(it->first, Value(it->second));
                for (const auto& a : p.attributes)
                    if (idMap && a.first == QLatin1String("id"))
                        idMap->set(a.second, Value(static_cast<Object*>(n)));
            }
            into->children_.push_back(n);
            n->parent = into;
            if (!p.children.empty())
                work.push_back({n, &p.children});
        }
    }
}

QString XmlNodeObject::escape(const QString& text)
{
    return XmlParser::encodeEntities(text);
}

void XmlNodeObject::openTag(QString& out)
{
    out += QLatin1Char('<') + vm().toString(nodeName);
    for (const QString& k : attributes->ownKeys())
        out += QLatin1Char(' ') + k + QLatin1String("=\"") + escape(vm().toString(attributes->get(k))) + QLatin1Char('"');
}

QString XmlNodeObject::toXmlString()
{
    QString out;
    if (nodeName.isNullish() && nodeType != TextNode) {
        for (const char* decl : {"xmlDecl", "docTypeDecl"}) {
            Value v = get(QLatin1String(decl));
            if (!v.isUndefined())
                out += vm().toString(v);
        }
    }
    // Each entry: a node to open, or (closing) a name to close.
    struct Step {
        XmlNodeObject* node;
        bool closing;
    };
    std::vector<Step> work{{this, false}};
    while (!work.empty()) {
        Step s = work.back();
        work.pop_back();
        XmlNodeObject* n = s.node;
        if (s.closing) {
            out += QLatin1String("</") + vm().toString(n->nodeName) + QLatin1Char('>');
            continue;
        }
        if (n->nodeType == TextNode) {
            if (!n->nodeValue.isNullish())
                out += escape(vm().toString(n->nodeValue));
            continue;
        }
        const bool named = !n->nodeName.isNullish();
        if (named) {
            n->openTag(out);
            if (n->children_.empty()) {
                out += QLatin1String(" />");
                continue;
            }
            out += QLatin1Char('>');
            work.push_back({n, true});
        }
        for (auto it = n->children_.rbegin(); it != n->children_.rend(); ++it)
            work.push_back({*it, false});
    }
    return out;
}

namespace {

bool matchesPrefix(const QString& key, const QString& prefix)
{
    if (!key.startsWith(QLatin1String("xmlns")))
        return false;
    // "xmlns", "xmlns:" and anything else without a colon name the default namespace.
    const bool named = key.size() > 6 && key[5] == QLatin1Char(':');
    return prefix.isEmpty() ? !named : (named && QStringView(key).mid(6) == prefix);
}

} // namespace

Value XmlNodeObject::namespaceForPrefix(const QString& prefix)
{
    for (XmlNodeObject* n = this; n; n = n->parent) {
        for (const QString& k : n->attributes->ownKeys())
            if (matchesPrefix(k, prefix))
                return n->attributes->get(k);
    }
    return Value::null();
}

Value XmlNodeObject::prefixForNamespace(const QString& uri)
{
    for (XmlNodeObject* n = this; n; n = n->parent) {
        for (const QString& k : n->attributes->ownKeys()) {
            if (!k.startsWith(QLatin1String("xmlns")) || vm().toString(n->attributes->get(k)) != uri)
                continue;
            return Value(k.size() > 6 && k[5] == QLatin1Char(':') ? k.mid(6) : QString());
        }
    }
    return Value::null();
}

} // namespace nimbrel::movie::avm1
