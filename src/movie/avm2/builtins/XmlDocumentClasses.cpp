#include "movie/avm2/builtins/XmlDocumentClasses.h"
#include "movie/avm1/XmlParser.h"
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/XmlDomNode.h"
#include "movie/avm2/builtins/NativeSupport.h"

namespace nimbrel::movie::avm2 {

using namespace native;

namespace {

// XMLDocument's own settings, kept out of the script's sight.
const QString kIgnoreWhite = QStringLiteral(" ignoreWhite");
const QString kXmlDecl = QStringLiteral(" xmlDecl");
const QString kDocTypeDecl = QStringLiteral(" docTypeDecl");
const QString kIdMap = QStringLiteral(" idMap");

XmlDomNode& thisNode(Runtime& rt, const Value& self) {
    XmlDomNode* n = XmlDomNode::from(self);
    if (!n) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("flash.xml.XMLNode")});
    return *n;
}
std::shared_ptr<XmlDomNode> nodeArg(Runtime& rt, const Value& v, const char* name) {
    if (v.isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QString::fromLatin1(name)});
    XmlDomNode* n = XmlDomNode::from(v);
    if (!n) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(v), QStringLiteral("flash.xml.XMLNode")});
    return std::static_pointer_cast<XmlDomNode>(n->shared_from_this());
}
Value valueOf(XmlDomNode* n) { return n ? Value::object(n->shared_from_this()) : Value::null(); }

ObjectPtr allocateNode(const ClassObject&) { return std::make_shared<XmlDomNode>(); }

std::shared_ptr<XmlDomNode> makeNode(Runtime& rt, int type, const QString& text) {
    ClassObject* cls = rt.builtin(QStringLiteral("flash.xml.XMLNode"));
    auto node = std::static_pointer_cast<XmlDomNode>(cls->allocate());
    node->attributes = Value::object(rt.newObject());
    node->nodeType = type;
    (type == XmlDomNode::TextNode ? node->nodeValue : node->nodeName) = Value::string(text);
    return node;
}

Value constructNode(Runtime& rt, const Value& self, Args a) {
    XmlDomNode& n = thisNode(rt, self);
    n.attributes = Value::object(rt.newObject());
    n.nodeType = int(rt.toUint32(a[0]));
    const Value text = a[1].isNullish() ? Value::null() : Value::string(rt.toString(a[1]));
    (n.nodeType == XmlDomNode::TextNode ? n.nodeValue : n.nodeName) = text;
    return Value();
}

// Parsed nodes built under `into`, iteratively; elements with an id go into idMap.
void appendParsed(Runtime& rt, XmlDomNode& into, const std::vector<avm1::XmlParsedNode>& nodes, ScriptObject* idMap) {
    std::vector<std::pair<XmlDomNode*, const std::vector<avm1::XmlParsedNode>*>> work{{&into, &nodes}};
    while (!work.empty()) {
        auto [parent, list] = work.back();
        work.pop_back();
        for (const avm1::XmlParsedNode& p : *list) {
            const bool text = p.type == avm1::XmlParsedNode::Text;
            auto n = makeNode(rt, text ? XmlDomNode::TextNode : XmlDomNode::ElementNode, text ? p.value : p.name);
            for (const auto& [key, value] : p.attributes) {
                n->attributes.obj()->setOwn(key, Value::string(value));
                if (idMap && key == QLatin1String("id")) idMap->setOwn(value, Value::object(n));
            }
            parent->appendChild(n);
            if (!p.children.empty()) work.push_back({n.get(), &p.children});
        }
    }
}

Value parseXml(Runtime& rt, const Value& self, Args a) {
    XmlDomNode& doc = thisNode(rt, self);
    const bool ignoreWhite = doc.findOwn(kIgnoreWhite) && doc.findOwn(kIgnoreWhite)->toBoolean();
    const avm1::XmlParseResult parsed = avm1::XmlParser::parse(stringArg(rt, a, 0, QString()), ignoreWhite);
    doc.removeAllChildren();
    doc.setOwn(kXmlDecl, parsed.hasXmlDecl ? Value::string(parsed.xmlDecl) : Value::null(), false);
    doc.setOwn(kDocTypeDecl, parsed.hasDocType ? Value::string(parsed.docTypeDecl) : Value::null(), false);
    Value* idMap = doc.findOwn(kIdMap);
    appendParsed(rt, doc, parsed.nodes, idMap && idMap->isObject() ? idMap->obj() : nullptr);
    return Value();
}

Value constructDocument(Runtime& rt, const Value& self, Args a) {
    XmlDomNode& doc = thisNode(rt, self);
    doc.attributes = Value::object(rt.newObject());
    doc.isDocument = true;
    doc.setOwn(kIdMap, Value::object(rt.newObject()), false);
    if (!a[0].isNullish()) parseXml(rt, self, a);
    return Value();
}

Value nodeToString(Runtime& rt, const Value& self, Args) {
    XmlDomNode& n = thisNode(rt, self);
    QString out;
    if (n.isDocument)
        for (const QString& key : {kXmlDecl, kDocTypeDecl})
            if (Value* v = n.findOwn(key); v && !v->isNullish()) out += rt.toString(*v);
    return Value::string(out + n.toXmlString(rt));
}

#define NODE_FIELD(field)                                                                     \
    Value get_##field(Runtime& rt, const Value& s, Args) { return thisNode(rt, s).field; }   \
    Value set_##field(Runtime& rt, const Value& s, Args a) {                                 \
        thisNode(rt, s).field = a[0].isNullish() ? Value::null() : Value::string(rt.toString(a[0])); \
        return Value();                                                                       \
    }
NODE_FIELD(nodeName)
NODE_FIELD(nodeValue)
#undef NODE_FIELD
Value getNodeType(Runtime& rt, const Value& s, Args) { return Value::unsignedInt(uint32_t(thisNode(rt, s).nodeType)); }
Value setNodeType(Runtime& rt, const Value& s, Args a) {
    thisNode(rt, s).nodeType = int(rt.toUint32(a[0]));
    return Value();
}
Value getAttributes(Runtime& rt, const Value& s, Args) { return thisNode(rt, s).attributes; }
Value setAttributes(Runtime& rt, const Value& s, Args a) {
    thisNode(rt, s).attributes = a[0].isUndefined() ? Value::null() : a[0];
    return Value();
}
Value childNodes(Runtime& rt, const Value& s, Args) {
    XmlDomNode& n = thisNode(rt, s);
    if (!n.childArray.isObject()) n.childArray = Value::object(rt.newArray());
    n.syncChildArray();
    return n.childArray;
}
Value firstChild(Runtime& rt, const Value& s, Args) {
    const auto& c = thisNode(rt, s).children();
    return c.empty() ? Value::null() : Value::object(c.front());
}
Value lastChild(Runtime& rt, const Value& s, Args) {
    const auto& c = thisNode(rt, s).children();
    return c.empty() ? Value::null() : Value::object(c.back());
}
Value nextSibling(Runtime& rt, const Value& s, Args) { return valueOf(thisNode(rt, s).sibling(1)); }
Value previousSibling(Runtime& rt, const Value& s, Args) { return valueOf(thisNode(rt, s).sibling(-1)); }
Value parentNode(Runtime& rt, const Value& s, Args) { return valueOf(thisNode(rt, s).parentNode()); }
// The name's parts mean something for elements only.
bool named(const XmlDomNode& n) { return n.nodeType == XmlDomNode::ElementNode && !n.nodeName.isNullish(); }
Value localName(Runtime& rt, const Value& s, Args) {
    XmlDomNode& n = thisNode(rt, s);
    return named(n) ? Value::string(n.localName(rt)) : Value::null();
}
Value prefix(Runtime& rt, const Value& s, Args) {
    XmlDomNode& n = thisNode(rt, s);
    return named(n) ? Value::string(n.prefix(rt)) : Value::null();
}
Value namespaceUri(Runtime& rt, const Value& s, Args) {
    XmlDomNode& n = thisNode(rt, s);
    return named(n) ? n.namespaceForPrefix(rt, n.prefix(rt)) : Value::null();
}
Value namespaceForPrefix(Runtime& rt, const Value& s, Args a) {
    return thisNode(rt, s).namespaceForPrefix(rt, stringArg(rt, a, 0));
}
Value prefixForNamespace(Runtime& rt, const Value& s, Args a) {
    return thisNode(rt, s).prefixForNamespace(rt, stringArg(rt, a, 0));
}
Value hasChildNodes(Runtime& rt, const Value& s, Args) { return Value::boolean(!thisNode(rt, s).children().empty()); }
Value appendChild(Runtime& rt, const Value& s, Args a) {
    thisNode(rt, s).appendChild(nodeArg(rt, a[0], "node"));
    return Value();
}
Value insertBefore(Runtime& rt, const Value& s, Args a) {
    XmlDomNode* before = a[1].isNullish() ? nullptr : nodeArg(rt, a[1], "before").get();
    thisNode(rt, s).insertBefore(nodeArg(rt, a[0], "node"), before);
    return Value();
}
Value removeNode(Runtime& rt, const Value& s, Args) {
    thisNode(rt, s).removeFromParent();
    return Value();
}
Value cloneNode(Runtime& rt, const Value& s, Args a) {
    // Iteratively: each copied node with the original whose children it still needs.
    const bool deep = a[0].toBoolean();
    auto copyOf = [&](const XmlDomNode& from) {
        auto n = makeNode(rt, from.nodeType, QString());
        n->nodeName = from.nodeName;
        n->nodeValue = from.nodeValue;
        if (from.attributes.isObject()) {
            const ScriptObject* o = from.attributes.obj();
            for (int p = o->nextOwnEnumPosition(0); p; p = o->nextOwnEnumPosition(p))
                n->attributes.obj()->setOwn(rt.toString(o->ownEnumName(p)), o->ownEnumValue(p));
        }
        return n;
    };
    XmlDomNode& self = thisNode(rt, s);
    auto root = copyOf(self);
    std::vector<std::pair<XmlDomNode*, const XmlDomNode*>> work{{root.get(), &self}};
    while (deep && !work.empty()) {
        auto [into, from] = work.back();
        work.pop_back();
        for (const auto& c : from->children()) {
            auto n = copyOf(*c);
            into->appendChild(n);
            work.push_back({n.get(), c.get()});
        }
    }
    return Value::object(root);
}

Value createElement(Runtime& rt, const Value&, Args a) {
    return Value::object(makeNode(rt, XmlDomNode::ElementNode, stringArg(rt, a, 0)));
}
Value createTextNode(Runtime& rt, const Value&, Args a) {
    return Value::object(makeNode(rt, XmlDomNode::TextNode, stringArg(rt, a, 0)));
}

template <const QString& key, bool asBoolean>
Value getSetting(Runtime& rt, const Value& s, Args) {
    Value* v = thisNode(rt, s).findOwn(key);
    return v ? *v : (asBoolean ? Value::boolean(false) : Value::null());
}
template <const QString& key, bool asBoolean>
Value setSetting(Runtime& rt, const Value& s, Args a) {
    thisNode(rt, s).setOwn(key, asBoolean ? Value::boolean(a[0].toBoolean()) : (a[0].isUndefined() ? Value::null() : a[0]), false);
    return Value();
}

} // namespace

void XmlDocumentClasses::install(Runtime& rt) {
    const QString pkg = QStringLiteral("flash.xml");
    auto node = rt.defineNativeClass(pkg, QStringLiteral("XMLNode"), rt.builtin(QStringLiteral("Object")), {});
    node->nativeAllocate = allocateNode;
    node->constructor = MethodRef{nullptr, 0, constructNode, node.get(), 2};
    node->dynamicInstances = false;
    const NativeMethod nodeMembers[] = {
        {"get nodeType", getNodeType}, {"set nodeType", setNodeType, 1}, {"get nodeName", get_nodeName},
        {"set nodeName", set_nodeName, 1}, {"get nodeValue", get_nodeValue}, {"set nodeValue", set_nodeValue, 1},
        {"get attributes", getAttributes}, {"set attributes", setAttributes, 1}, {"get childNodes", childNodes},
        {"get firstChild", firstChild}, {"get lastChild", lastChild}, {"get nextSibling", nextSibling},
        {"get previousSibling", previousSibling}, {"get parentNode", parentNode}, {"get localName", localName},
        {"get prefix", prefix}, {"get namespaceURI", namespaceUri}, {"getNamespaceForPrefix", namespaceForPrefix, 1},
        {"getPrefixForNamespace", prefixForNamespace, 1}, {"hasChildNodes", hasChildNodes},
        {"appendChild", appendChild, 1}, {"insertBefore", insertBefore, 2}, {"removeNode", removeNode},
        {"cloneNode", cloneNode, 1}, {"toString", nodeToString}};
    addInstanceMembers(*node, nodeMembers);

    auto doc = rt.defineNativeClass(pkg, QStringLiteral("XMLDocument"), node.get(), {});
    doc->constructor = MethodRef{nullptr, 0, constructDocument, doc.get(), 1};
    doc->dynamicInstances = false;
    const NativeMethod docMembers[] = {
        {"parseXML", parseXml, 1}, {"createElement", createElement, 1}, {"createTextNode", createTextNode, 1},
        {"toString", nodeToString}, {"get ignoreWhite", getSetting<kIgnoreWhite, true>},
        {"set ignoreWhite", setSetting<kIgnoreWhite, true>, 1}, {"get xmlDecl", getSetting<kXmlDecl, false>},
        {"set xmlDecl", setSetting<kXmlDecl, false>, 1}, {"get docTypeDecl", getSetting<kDocTypeDecl, false>},
        {"set docTypeDecl", setSetting<kDocTypeDecl, false>, 1}, {"get idMap", getSetting<kIdMap, false>},
        {"set idMap", setSetting<kIdMap, false>, 1}};
    addInstanceMembers(*doc, docMembers);

    auto type = rt.defineNativeClass(pkg, QStringLiteral("XMLNodeType"), rt.builtin(QStringLiteral("Object")), {});
    type->isFinal = true;
    const std::pair<const char*, uint32_t> kinds[] = {{"ELEMENT_NODE", 1}, {"TEXT_NODE", 3}, {"CDATA_NODE", 4},
                                                      {"XML_DECLARATION", 5}, {"PROCESSING_INSTRUCTION_NODE", 7},
                                                      {"COMMENT_NODE", 8}, {"DOCUMENT_TYPE_NODE", 10}};
    for (const auto& [name, value] : kinds) rt.defineStaticConstant(*type, QString::fromLatin1(name), Value::unsignedInt(value));
}

} // namespace nimbrel::movie::avm2
