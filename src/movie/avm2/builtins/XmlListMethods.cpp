#include "movie/avm2/builtins/XmlListMethods.h"
#include "movie/avm2/ClassObject.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/XmlListObject.h"
#include "movie/avm2/XmlObject.h"
#include "movie/avm2/XmlPrinter.h"
#include "movie/avm2/XmlSupport.h"

namespace nimbrel::movie::avm2 {

namespace {
using Kind = XmlNode::Kind;

std::vector<XmlNodePtr> nodes(Runtime& rt, const Value& self) {
    if (!XmlSupport::isXmlOrList(self)) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("XML")});
    return XmlSupport::nodesOf(self);
}

Value listOf(Runtime& rt, std::vector<XmlNodePtr> items, const Value& self) {
    auto l = XmlSupport::newList(rt, std::move(items));
    if (XmlObject* x = XmlSupport::asXml(self)) l->targetNode = x->node;
    return Value::object(l);
}

// Children of every node that pass `keep`.
template <typename Keep> Value childrenWhere(Runtime& rt, const Value& self, Keep keep) {
    std::vector<XmlNodePtr> out;
    for (const XmlNodePtr& n : nodes(rt, self))
        for (const XmlNodePtr& c : n->children)
            if (keep(*c)) out.push_back(c);
    return listOf(rt, std::move(out), self);
}

XmlName nameArg(Runtime& rt, Args a, int i, bool attribute) {
    if (i >= a.count || (a[i].isUndefined() && !attribute)) {
        XmlName any;
        any.anyLocal = any.anyUri = true;
        any.attribute = attribute;
        return any;
    }
    XmlName n = XmlSupport::toXmlName(rt, a[i], attribute);
    if (attribute && !(a[i].isObject() && a[i].obj()->type == ScriptObject::Type::QName)) n.uri = QString();
    return n;
}

void normalizeNode(XmlNode& x) {
    for (size_t i = 0; i < x.children.size();) {
        XmlNode& c = *x.children[i];
        if (c.kind == Kind::Element) {
            normalizeNode(c);
            ++i;
        } else if (c.kind == Kind::Text) {
            while (i + 1 < x.children.size() && x.children[i + 1]->kind == Kind::Text) {
                c.value += x.children[i + 1]->value;
                x.removeChild(i + 1);
            }
            // Whitespace-only text goes too.
            if (c.value.trimmed().isEmpty()) x.removeChild(i);
            else ++i;
        } else ++i;
    }
}
} // namespace

Value XmlListMethods::attribute(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 1, 1, "attribute");
    nodes(rt, self);
    return XmlSupport::getByName(rt, self, nameArg(rt, a, 0, true));
}

Value XmlListMethods::attributes(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "attributes");
    std::vector<XmlNodePtr> out;
    for (const XmlNodePtr& n : nodes(rt, self)) out.insert(out.end(), n->attributes.begin(), n->attributes.end());
    return listOf(rt, std::move(out), self);
}

Value XmlListMethods::child(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 1, 1, "child");
    const std::vector<XmlNodePtr> list = nodes(rt, self);
    const Value& key = a[0];
    int64_t index = -1;
    if (key.isNumeric()) index = key.numberValue() >= 0 && std::floor(key.numberValue()) == key.numberValue() ? int64_t(key.numberValue()) : -2;
    else if (key.isString()) index = PropertyAccess::indexOf(key.s);
    if (index != -1) {
        std::vector<XmlNodePtr> out;
        for (const XmlNodePtr& n : list)
            if (index >= 0 && size_t(index) < n->children.size()) out.push_back(n->children[size_t(index)]);
        return listOf(rt, std::move(out), self);
    }
    return XmlSupport::getByName(rt, self, nameArg(rt, a, 0, false));
}

Value XmlListMethods::children(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "children");
    return childrenWhere(rt, self, [](const XmlNode&) { return true; });
}

Value XmlListMethods::comments(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "comments");
    return childrenWhere(rt, self, [](const XmlNode& c) { return c.kind == Kind::Comment; });
}

Value XmlListMethods::contains(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 1, 1, "contains");
    // Only XML can be contained: text equal to an item's content is not.
    if (!XmlSupport::isXmlOrList(a[0])) return Value::boolean(false);
    for (const XmlNodePtr& n : nodes(rt, self))
        if (XmlSupport::equals(rt, XmlSupport::wrap(rt, n), a[0])) return Value::boolean(true);
    return Value::boolean(false);
}

Value XmlListMethods::copy(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "copy");
    std::vector<XmlNodePtr> out;
    for (const XmlNodePtr& n : nodes(rt, self)) out.push_back(n->copy());
    if (XmlSupport::isXml(self)) return XmlSupport::wrap(rt, out[0]);
    return Value::object(XmlSupport::newList(rt, std::move(out)));
}

Value XmlListMethods::descendants(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 1, "descendants");
    const XmlName name = nameArg(rt, a, 0, false);
    std::vector<XmlNodePtr> out;
    for (const XmlNodePtr& n : nodes(rt, self)) {
        std::vector<XmlNodePtr> found = XmlSupport::descendantNodes(*n, name);
        out.insert(out.end(), found.begin(), found.end());
    }
    return Value::object(XmlSupport::newList(rt, std::move(out)));
}

Value XmlListMethods::elements(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 1, "elements");
    const XmlName name = nameArg(rt, a, 0, false);
    return childrenWhere(rt, self, [&](const XmlNode& c) { return c.kind == Kind::Element && name.matches(c); });
}

Value XmlListMethods::hasComplexContent(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "hasComplexContent");
    const std::vector<XmlNodePtr> list = nodes(rt, self);
    if (list.size() == 1) return Value::boolean(list[0]->kind == Kind::Element && !list[0]->hasSimpleContent());
    for (const XmlNodePtr& n : list)
        if (n->kind == Kind::Element) return Value::boolean(true);
    return Value::boolean(false);
}

Value XmlListMethods::hasSimpleContent(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "hasSimpleContent");
    const std::vector<XmlNodePtr> list = nodes(rt, self);
    if (list.size() == 1) return Value::boolean(list[0]->hasSimpleContent());
    for (const XmlNodePtr& n : list)
        if (n->kind == Kind::Element) return Value::boolean(false);
    return Value::boolean(true);
}

Value XmlListMethods::hasOwnProperty(Runtime& rt, const Value& self, Args a) {
    // The prototypes themselves answer for their own (method) properties.
    if (!XmlSupport::isXmlOrList(self)) return Value::boolean(self.isObject() && self.obj()->findOwn(rt.toString(a[0])));
    Name n = Name::publicName(rt.toString(a[0]));
    n.index = PropertyAccess::indexOf(n.local);
    return Value::boolean(XmlSupport::has(rt, self, n));
}

Value XmlListMethods::length(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "length");
    return Value::integer(int(nodes(rt, self).size())); }

Value XmlListMethods::normalize(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "normalize");
    for (const XmlNodePtr& n : nodes(rt, self))
        if (n->kind == Kind::Element) normalizeNode(*n);
    return self;
}

Value XmlListMethods::parent(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "parent");
    const std::vector<XmlNodePtr> list = nodes(rt, self);
    XmlNodePtr common;
    for (size_t i = 0; i < list.size(); ++i) {
        XmlNodePtr p = list[i]->parentNode();
        if (i == 0) common = p;
        else if (p != common) return Value();
    }
    return common ? XmlSupport::wrap(rt, common) : Value();
}

Value XmlListMethods::processingInstructions(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 1, "processingInstructions");
    const XmlName name = nameArg(rt, a, 0, false);
    return childrenWhere(rt, self, [&](const XmlNode& c) {
        return c.kind == Kind::ProcessingInstruction && !name.attribute && (name.anyLocal || name.local == c.local);
    });
}

Value XmlListMethods::propertyIsEnumerable(Runtime& rt, const Value& self, Args a) {
    const int64_t index = PropertyAccess::indexOf(rt.toString(a[0]));
    return Value::boolean(index >= 0 && size_t(index) < nodes(rt, self).size());
}

Value XmlListMethods::text(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "text");
    return childrenWhere(rt, self, [](const XmlNode& c) { return c.kind == Kind::Text; });
}

Value XmlListMethods::toString(Runtime& rt, const Value& self, Args) {
    if (XmlObject* x = XmlSupport::asXml(self)) return Value::string(XmlPrinter::toString(*x->node, rt.xmlSettings));
    if (XmlSupport::isXmlList(self)) return Value::string(XmlPrinter::toString(XmlSupport::nodesOf(self), rt.xmlSettings));
    return Value::string(QString()); // the prototype itself
}

Value XmlListMethods::toXMLString(Runtime& rt, const Value& self, Args a) {
    XmlSupport::checkArity(rt, a, 0, 0, "toXMLString");
    return Value::string(XmlPrinter::toXmlString(nodes(rt, self), rt.xmlSettings));
}

Value XmlListMethods::valueOf(Runtime&, const Value& self, Args) { return self; }

void XmlListMethods::installShared(Runtime& rt, ClassObject& cls, NativeFn toJSON) {
    using L = XmlListMethods;
    const NativeMethod methods[] = {
        {"attribute", L::attribute, 1}, {"attributes", L::attributes}, {"child", L::child, 1}, {"children", L::children},
        {"comments", L::comments}, {"contains", L::contains, 1}, {"copy", L::copy}, {"descendants", L::descendants},
        {"elements", L::elements}, {"hasComplexContent", L::hasComplexContent}, {"hasSimpleContent", L::hasSimpleContent},
        {"hasOwnProperty", L::hasOwnProperty, 1}, {"length", L::length}, {"normalize", L::normalize}, {"parent", L::parent},
        {"processingInstructions", L::processingInstructions}, {"propertyIsEnumerable", L::propertyIsEnumerable, 1},
        {"text", L::text}, {"toString", L::toString}, {"toXMLString", L::toXMLString}, {"valueOf", L::valueOf},
        {"toJSON", toJSON, 1}};
    for (const NativeMethod& m : methods) {
        auto f = rt.makeFunction(MethodRef{nullptr, 0, m.fn, &cls, m.length}, nullptr);
        f->name = QString::fromLatin1(m.name);
        cls.prototype->setOwn(f->name, Value::object(f), false);
    }
}

} // namespace nimbrel::movie::avm2
