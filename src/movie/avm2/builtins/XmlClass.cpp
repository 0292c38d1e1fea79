#include "movie/avm2/builtins/XmlClass.h"
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/QNameObject.h"
#include "movie/avm2/XmlListObject.h"
#include "movie/avm2/XmlObject.h"
#include "movie/avm2/XmlPrinter.h"
#include "movie/avm2/XmlSupport.h"
#include "movie/avm2/builtins/QNameClass.h"
#include "movie/avm2/builtins/XmlListMethods.h"

namespace nimbrel::movie::avm2 {

namespace {
using Kind = XmlNode::Kind;

XmlNode& thisNode(Runtime& rt, const Value& self) {
    XmlObject* x = XmlSupport::asXml(self);
    if (!x) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("XML")});
    return *x->node;
}
XmlNodePtr thisPtr(Runtime& rt, const Value& self) { return thisNode(rt, self).shared_from_this(); }

Value makeNamespace(Runtime& rt, const XmlNamespace& ns) {
    ClassObject& cls = *rt.builtin(QStringLiteral("Namespace"));
    if (ns.prefix.isNull()) {
        Value uri = Value::string(ns.uri);
        return rt.constructClass(cls, Args{&uri, 1});
    }
    Value args[2] = {Value::string(ns.prefix), Value::string(ns.uri)};
    return rt.constructClass(cls, Args{args, 2});
}
// (prefix, uri) of a Namespace, QName or text.
XmlNamespace namespaceOf(Runtime& rt, const Value& v) {
    if (v.isObject() && v.obj()->type == ScriptObject::Type::Namespace) {
        Value* p = v.obj()->findOwn(QStringLiteral(" prefix"));
        return {p && p->isString() ? p->s : QString(), v.obj()->primitive.s};
    }
    if (v.isObject() && v.obj()->type == ScriptObject::Type::QName) {
        auto* q = static_cast<QNameObject*>(v.obj());
        return {q->prefix, q->uri};
    }
    return {QString(), rt.toString(v)};
}

// Nodes a value adds as children: XML as it is, anything else as text.
std::vector<XmlNodePtr> newChildren(Runtime& rt, const Value& v) {
    if (XmlSupport::isXmlOrList(v)) return XmlSupport::nodesOf(v);
    return {XmlNode::text(rt.toString(v))};
}
// Inserted nodes move: one already in a tree leaves its old place first.
void insertAt(Runtime& rt, XmlNode& x, size_t at, const Value& v) {
    if (x.kind != Kind::Element) return;
    for (const XmlNodePtr& c : newChildren(rt, v)) {
        if (c.get() == &x || c->isAncestorOf(&x)) rt.raise(QStringLiteral("TypeError"), 1118);
        if (c->kind == Kind::Attribute) {
            x.insertChild(at++, XmlNode::text(c->value));
            continue;
        }
        XmlSupport::checkDepth(rt, x, *c);
        if (XmlNodePtr old = c->parentNode()) {
            const int from = c->indexInParent();
            if (from >= 0) {
                old->removeChild(size_t(from));
                if (old.get() == &x && size_t(from) < at) --at;
            }
        }
        x.insertChild(at++, c);
        XmlSupport::notify(rt, x, "nodeAdded", XmlSupport::wrap(rt, c));
    }
}

Value addNamespace(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 1, 1, "addNamespace");
    XmlNode& x = thisNode(rt, self);
    const XmlNamespace ns = a[0].isNullish() ? XmlNamespace{} : namespaceOf(rt, a[0]);
    // A namespace without a prefix declares nothing; one that takes over a prefix leaves
    // the names using that prefix to find theirs again when printed.
    if (ns.prefix.isNull() || x.kind != Kind::Element) return self;
    if (x.prefix == ns.prefix && x.uri != ns.uri) x.prefix = QString();
    for (const XmlNodePtr& at : x.attributes)
        if (at->prefix == ns.prefix && at->uri != ns.uri) at->prefix = QString();
    x.addNamespace(ns);
    return self;
}
Value appendChild(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 1, 1, "appendChild");
    XmlNode& x = thisNode(rt, self);
    // Text appended after an element becomes another element of that name.
    if (!XmlSupport::isXmlOrList(a[0]) && !x.children.empty() && x.children.back()->kind == Kind::Element) {
        const XmlNode& last = *x.children.back();
        XmlNodePtr el = XmlNode::element(last.uri, last.local, last.prefix);
        el->insertChild(0, XmlNode::text(rt.toString(a[0])));
        XmlSupport::checkDepth(rt, x, *el);
        x.insertChild(x.children.size(), el);
        XmlSupport::notify(rt, x, "nodeAdded", XmlSupport::wrap(rt, el));
        return self;
    }
    insertAt(rt, x, x.children.size(), a[0]);
    return self;
}
Value prependChild(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 1, 1, "prependChild");
    insertAt(rt, thisNode(rt, self), 0, a[0]);
    return self;
}
int childPosition(const XmlNode& x, const Value& child) {
    XmlObject* c = XmlSupport::asXml(child);
    if (!c && XmlSupport::isXmlList(child) && XmlSupport::nodesOf(child).size() == 1) {
        const XmlNodePtr only = XmlSupport::nodesOf(child)[0];
        for (size_t i = 0; i < x.children.size(); ++i)
            if (x.children[i] == only) return int(i);
        return -1;
    }
    for (size_t i = 0; c && i < x.children.size(); ++i)
        if (x.children[i] == c->node) return int(i);
    return -1;
}
Value insertChildAfter(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 2, 2, "insertChildAfter");
    XmlNode& x = thisNode(rt, self);
    if (x.kind != Kind::Element) return Value();
    if (a[0].isNull()) insertAt(rt, x, 0, a[1]);
    else {
        const int at = childPosition(x, a[0]);
        if (at < 0) return Value();
        insertAt(rt, x, size_t(at) + 1, a[1]);
    }
    return self;
}
Value insertChildBefore(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 2, 2, "insertChildBefore");
    XmlNode& x = thisNode(rt, self);
    if (x.kind != Kind::Element) return Value();
    if (a[0].isNull()) insertAt(rt, x, x.children.size(), a[1]);
    else {
        const int at = childPosition(x, a[0]);
        if (at < 0) return Value();
        insertAt(rt, x, size_t(at), a[1]);
    }
    return self;
}
Value childIndex(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "childIndex");
    return Value::integer(thisNode(rt, self).indexInParent()); }
Value inScopeNamespaces(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "inScopeNamespaces");
    std::vector<Value> out;
    for (const XmlNamespace& ns : thisNode(rt, self).inScopeNamespaces()) out.push_back(makeNamespace(rt, ns));
    if (out.empty()) out.push_back(makeNamespace(rt, {QString(""), QString()}));
    return Value::object(rt.newArray(std::move(out)));
}
Value namespaceDeclarations(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "namespaceDeclarations");
    std::vector<Value> out;
    XmlNode& x = thisNode(rt, self);
    XmlNodePtr p = x.parentNode();
    const std::vector<XmlNamespace> above = p ? p->inScopeNamespaces() : std::vector<XmlNamespace>{};
    for (const XmlNamespace& ns : x.namespaces) {
        bool known = false;
        for (const XmlNamespace& a : above) known = known || (a.prefix == ns.prefix && a.uri == ns.uri);
        if (!known) out.push_back(makeNamespace(rt, ns));
    }
    return Value::object(rt.newArray(std::move(out)));
}
Value localName(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "localName");
    XmlNode& x = thisNode(rt, self);
    return x.kind == Kind::Text || x.kind == Kind::Comment ? Value::null() : Value::string(x.local);
}
Value name(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "name");
    XmlNode& x = thisNode(rt, self);
    if (x.kind == Kind::Text || x.kind == Kind::Comment) return Value::null();
    return QNameClass::make(rt, x.kind == Kind::ProcessingInstruction ? QString() : x.uri, x.local, x.prefix);
}
Value namespaceOfNode(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 1, "namespace");
    XmlNode& x = thisNode(rt, self);
    const std::vector<XmlNamespace> scope = x.inScopeNamespaces();
    if (a.count > 0) {
        const QString prefix = rt.toString(a[0]);
        for (const XmlNamespace& ns : scope)
            if (ns.prefix == prefix) return makeNamespace(rt, ns);
        return Value();
    }
    if (x.kind == Kind::Text || x.kind == Kind::Comment || x.kind == Kind::ProcessingInstruction) return Value::null();
    for (const XmlNamespace& ns : scope)
        if (ns.uri == x.uri && (x.prefix.isNull() || ns.prefix == x.prefix)) return makeNamespace(rt, ns);
    return makeNamespace(rt, {x.uri.isEmpty() ? QString("") : x.prefix, x.uri});
}
Value nodeKind(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "nodeKind");
    switch (thisNode(rt, self).kind) {
    case Kind::Element: return Value::string(QStringLiteral("element"));
    case Kind::Text: return Value::string(QStringLiteral("text"));
    case Kind::Comment: return Value::string(QStringLiteral("comment"));
    case Kind::ProcessingInstruction: return Value::string(QStringLiteral("processing-instruction"));
    case Kind::Attribute: return Value::string(QStringLiteral("attribute"));
    }
    return Value();
}
Value removeNamespace(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 1, 1, "removeNamespace");
    XmlNode& x = thisNode(rt, self);
    const XmlNamespace ns = namespaceOf(rt, a[0]);
    // A namespace the element's own name or an attribute uses stays.
    if (x.uri == ns.uri) return self;
    for (const XmlNodePtr& at : x.attributes)
        if (at->uri == ns.uri) return self;
    std::erase_if(x.namespaces, [&](const XmlNamespace& d) { return d.uri == ns.uri && (ns.prefix.isNull() || d.prefix == ns.prefix); });
    for (const XmlNodePtr& c : x.children)
        if (c->kind == Kind::Element) removeNamespace(rt, XmlSupport::wrap(rt, c), a);
    return self;
}
Value replace(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 2, 2, "replace");
    XmlNode& x = thisNode(rt, self);
    if (x.kind != Kind::Element) return self;
    const Value& key = a[0];
    const int64_t index = key.isNumeric() ? int64_t(key.numberValue()) : PropertyAccess::indexOf(rt.toString(key));
    auto put = [&](size_t at) {
        x.removeChild(at);
        insertAt(rt, x, at, XmlSupport::isXmlOrList(a[1]) ? a[1] : XmlSupport::wrap(rt, XmlNode::text(rt.toString(a[1]))));
    };
    if (index >= 0 && !(key.isObject() && key.obj()->type == ScriptObject::Type::QName)) {
        if (size_t(index) < x.children.size()) put(size_t(index));
        else insertAt(rt, x, x.children.size(), a[1]);
        return self;
    }
    const XmlName n = XmlSupport::toXmlName(rt, key);
    long first = -1;
    for (long k = long(x.children.size()) - 1; k >= 0; --k) {
        if (!n.matches(*x.children[size_t(k)])) continue;
        if (first >= 0) x.removeChild(size_t(first));
        first = k;
    }
    if (first >= 0) put(size_t(first));
    return self;
}
Value setChildren(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 1, 1, "setChildren");
    XmlNode& x = thisNode(rt, self);
    if (x.kind != Kind::Element) return self;
    while (!x.children.empty()) x.removeChild(0);
    insertAt(rt, x, 0, XmlSupport::isXmlOrList(a[0]) ? a[0] : XmlSupport::wrap(rt, XmlNode::text(rt.toString(a[0]))));
    return self;
}
Value setLocalName(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 1, 1, "setLocalName");
    XmlNode& x = thisNode(rt, self);
    if (x.kind == Kind::Text || x.kind == Kind::Comment) return Value();
    const QString local = a[0].isObject() && a[0].obj()->type == ScriptObject::Type::QName ? static_cast<QNameObject*>(a[0].obj())->local
                                                                                          : rt.toString(a[0]);
    if (!XmlParser::isValidName(local) || local.contains(u':')) rt.raise(QStringLiteral("TypeError"), 1117, {local});
    x.local = local;
    XmlSupport::notify(rt, x, "nameSet", a[0]);
    return Value();
}
Value setName(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 1, 1, "setName");
    XmlNode& x = thisNode(rt, self);
    if (x.kind == Kind::Text || x.kind == Kind::Comment) return Value();
    QString uri = x.kind == Kind::ProcessingInstruction ? QString() : x.uri, local, prefix;
    if (a[0].isObject() && a[0].obj()->type == ScriptObject::Type::QName) {
        auto* q = static_cast<QNameObject*>(a[0].obj());
        uri = q->anyUri ? QString() : q->uri;
        local = q->local;
        prefix = q->prefix;
    } else {
        local = rt.toString(a[0]);
        uri = QString();
    }
    if (!XmlParser::isValidName(local) || local.contains(u':')) rt.raise(QStringLiteral("TypeError"), 1117, {local});
    x.local = local;
    if (x.kind == Kind::ProcessingInstruction) return Value();
    x.uri = uri;
    x.prefix = prefix.isNull() ? x.prefixFor(uri) : prefix;
    if (!uri.isEmpty() && x.kind == Kind::Element && !x.prefix.isNull()) x.addNamespace({x.prefix, uri});
    XmlSupport::notify(rt, x, "nameSet", a[0]);
    return Value();
}
Value setNamespace(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 1, 1, "setNamespace");
    XmlNode& x = thisNode(rt, self);
    if (x.kind == Kind::Text || x.kind == Kind::Comment || x.kind == Kind::ProcessingInstruction) return Value();
    const XmlNamespace ns = namespaceOf(rt, a[0]);
    x.uri = ns.uri;
    x.prefix = ns.prefix;
    if (!ns.prefix.isNull()) {
        XmlNode* holder = &x;
        XmlNodePtr parent = x.kind == Kind::Attribute ? x.parentNode() : nullptr;
        if (parent) holder = parent.get();
        holder->addNamespace(ns);
    }
    XmlSupport::notify(rt, x, "namespaceSet", a[0]);
    return Value();
}
Value toJSON(Runtime&, const Value&, Args) { return Value::string(QStringLiteral("XML")); }
Value setNotification(Runtime& rt, const Value& self, Args a) {
    XmlNode& x = thisNode(rt, self);
    if (a[0].isNull()) x.notification.reset();
    else if (a[0].isObject() && a[0].obj()->type == ScriptObject::Type::Function) x.notification = a[0].o;
    else rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(a[0]), QStringLiteral("Function")});
    return Value();
}
Value notification(Runtime& rt, const Value& self, Args) {
    XmlNode& x = thisNode(rt, self);
    return x.notification ? Value::object(x.notification) : Value::null();
}

// Settings.
Value settingsObject(Runtime& rt, const XmlSettings& s) {
    ObjectPtr o = rt.newObject();
    o->setOwn(QStringLiteral("ignoreComments"), Value::boolean(s.ignoreComments));
    o->setOwn(QStringLiteral("ignoreProcessingInstructions"), Value::boolean(s.ignoreProcessingInstructions));
    o->setOwn(QStringLiteral("ignoreWhitespace"), Value::boolean(s.ignoreWhitespace));
    o->setOwn(QStringLiteral("prettyIndent"), Value::integer(s.prettyIndent));
    o->setOwn(QStringLiteral("prettyPrinting"), Value::boolean(s.prettyPrinting));
    return Value::object(o);
}
Value settings(Runtime& rt, const Value&, Args) { return settingsObject(rt, rt.xmlSettings); }
Value defaultSettings(Runtime& rt, const Value&, Args) { return settingsObject(rt, XmlSettings{}); }
Value setSettings(Runtime& rt, const Value&, Args a) {
    if (a[0].isNullish()) {
        rt.xmlSettings = XmlSettings{};
        return Value();
    }
    if (!a[0].isObject()) return Value();
    ScriptObject* o = a[0].obj();
    auto flag = [&](const char* key, bool& into) {
        if (Value* v = o->findOwn(QString::fromLatin1(key)); v && v->kind == Value::Kind::Boolean) into = v->b;
    };
    flag("ignoreComments", rt.xmlSettings.ignoreComments);
    flag("ignoreProcessingInstructions", rt.xmlSettings.ignoreProcessingInstructions);
    flag("ignoreWhitespace", rt.xmlSettings.ignoreWhitespace);
    flag("prettyPrinting", rt.xmlSettings.prettyPrinting);
    if (Value* v = o->findOwn(QStringLiteral("prettyIndent")); v && v->isNumeric()) rt.xmlSettings.prettyIndent = rt.toInt32(*v);
    return Value();
}
#define XML_FLAG(field)                                                                                                    \
    Value get_##field(Runtime& rt, const Value&, Args) { return Value::boolean(rt.xmlSettings.field); }                    \
    Value set_##field(Runtime& rt, const Value&, Args a) {                                                                 \
        rt.xmlSettings.field = a[0].toBoolean();                                                                           \
        return Value();                                                                                                    \
    }
XML_FLAG(ignoreComments)
XML_FLAG(ignoreProcessingInstructions)
XML_FLAG(ignoreWhitespace)
XML_FLAG(prettyPrinting)
#undef XML_FLAG
Value getPrettyIndent(Runtime& rt, const Value&, Args) { return Value::integer(rt.xmlSettings.prettyIndent); }
Value setPrettyIndent(Runtime& rt, const Value&, Args a) {
    rt.xmlSettings.prettyIndent = rt.toInt32(a[0]);
    return Value();
}

void dropIgnored(XmlNode& x, const XmlSettings& settings) {
    for (size_t i = 0; i < x.children.size();) {
        XmlNode& c = *x.children[i];
        const bool drop = (c.kind == Kind::Comment && settings.ignoreComments) ||
                          (c.kind == Kind::ProcessingInstruction && settings.ignoreProcessingInstructions) ||
                          (c.kind == Kind::Text && settings.ignoreWhitespace && c.value.trimmed().isEmpty());
        if (drop) {
            x.removeChild(i);
            continue;
        }
        if (c.kind == Kind::Element) dropIgnored(c, settings);
        ++i;
    }
}

ObjectPtr allocate(const ClassObject&) { return std::make_shared<XmlObject>(XmlNode::text(QString())); }
Value construct(Runtime& rt, const Value& self, Args a) {
    auto* x = static_cast<XmlObject*>(self.obj());
    XmlNodePtr node;
    if (a[0].isNullish()) node = XmlNode::text(QString());
    else if (XmlSupport::isXmlOrList(a[0])) {
        // A copy made as if the markup were read again under today's settings.
        node = XmlSupport::toXmlNode(rt, a[0])->copy();
        dropIgnored(*node, rt.xmlSettings);
    }
    else node = XmlSupport::toXmlNode(rt, a[0]);
    if (node->wrapper.lock()) node = node->copy();
    x->node = node;
    node->wrapper = self.o;
    return Value();
}
Value callAsFunction(Runtime& rt, const Value&, Args a) {
    if (XmlSupport::isXml(a[0])) return a[0];
    if (XmlSupport::isXmlList(a[0])) return XmlSupport::wrap(rt, XmlSupport::toXmlNode(rt, a[0]));
    return rt.constructClass(*rt.builtin(QStringLiteral("XML")), a);
}

const NativeMethod kSingleMethods[] = {
    {"addNamespace", addNamespace, 1}, {"appendChild", appendChild, 1}, {"childIndex", childIndex},
    {"inScopeNamespaces", inScopeNamespaces}, {"insertChildAfter", insertChildAfter, 2},
    {"insertChildBefore", insertChildBefore, 2}, {"localName", localName}, {"name", name},
    {"namespace", namespaceOfNode}, {"namespaceDeclarations", namespaceDeclarations}, {"nodeKind", nodeKind},
    {"prependChild", prependChild, 1}, {"removeNamespace", removeNamespace, 1}, {"replace", replace, 2},
    {"setChildren", setChildren, 1}, {"setLocalName", setLocalName, 1}, {"setName", setName, 1},
    {"setNamespace", setNamespace, 1}, {"setNotification", setNotification, 1}, {"notification", notification},
};
} // namespace

Value XmlClass::callSingle(Runtime& rt, const QString& method, const Value& self, Args a) {
    for (const NativeMethod& m : kSingleMethods)
        if (method == QLatin1String(m.name)) return m.fn(rt, self, a);
    return Value();
}

void XmlClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(
        QString(), QStringLiteral("XML"), rt.builtin(QStringLiteral("Object")), {},
        {{"settings", settings}, {"setSettings", setSettings}, {"defaultSettings", defaultSettings},
         {"get ignoreComments", get_ignoreComments}, {"set ignoreComments", set_ignoreComments, 1},
         {"get ignoreProcessingInstructions", get_ignoreProcessingInstructions},
         {"set ignoreProcessingInstructions", set_ignoreProcessingInstructions, 1},
         {"get ignoreWhitespace", get_ignoreWhitespace}, {"set ignoreWhitespace", set_ignoreWhitespace, 1},
         {"get prettyPrinting", get_prettyPrinting}, {"set prettyPrinting", set_prettyPrinting, 1},
         {"get prettyIndent", getPrettyIndent}, {"set prettyIndent", setPrettyIndent, 1}});
    XmlListMethods::installShared(rt, *cls, toJSON);
    for (const NativeMethod& m : kSingleMethods) {
        auto f = rt.makeFunction(MethodRef{nullptr, 0, m.fn, cls.get(), m.length}, nullptr);
        f->name = QString::fromLatin1(m.name);
        cls->prototype->setOwn(f->name, Value::object(f), false);
    }
    cls->nativeAllocate = allocate;
    cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 1};
    cls->callAsFunction = callAsFunction;
    cls->isFinal = true;
    rt.defineStaticConstant(*cls, QStringLiteral("length"), Value::integer(1));
}

} // namespace nimbrel::movie::avm2
