// XMLNode: the node tree scripts build and walk, and its text form.
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/XmlNodeObject.h"

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

Value nodeValueOf(XmlNodeObject* n)
{
    return n ? Value(static_cast<Object*>(n)) : Value::null();
}

// Name parts of "prefix:local"; both null for nodes without a name.
Value namePart(Interpreter& vm, XmlNodeObject* n, bool prefix)
{
    if (n->nodeName.isNullish())
        return Value::null();
    QString name = vm.toString(n->nodeName);
    int colon = name.indexOf(QLatin1Char(':'));
    if (prefix)
        return Value(colon < 0 ? QString() : name.left(colon));
    return Value(colon < 0 ? name : name.mid(colon + 1));
}

} // namespace

void installXmlNodeClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.xmlNodeProto = proto;
    vm.newClass(QStringLiteral("XMLNode"), nullptr, [](Interpreter& vm, Object* obj, Args a) -> Value {
        auto* node = vm.make<XmlNodeObject>(obj->proto());
        for (const char* k : {"__constructor__", "constructor"})
            if (Property* p = obj->findOwn(QLatin1String(k)))
                node->define(p->name, p->value, p->flags);
        node->init(arg(a, 0), arg(a, 1));
        return Value(static_cast<Object*>(node));
    }, proto);

    // Read-only and read-write node fields, on the prototype so instances enumerate nothing.
    auto getter = [&vm, proto](const char* name, std::function<Value(Interpreter&, XmlNodeObject*)> get,
                               std::function<void(Interpreter&, XmlNodeObject*, const Value&)> set = nullptr) {
        NativeFunction::Fn g = [get](Interpreter& vm, const Value& self, Args) -> Value {
            XmlNodeObject* n = XmlNodeObject::from(self);
            return n ? get(vm, n) : Value();
        };
        NativeFunction::Fn s;
        if (set) {
            s = [set](Interpreter& vm, const Value& self, Args a) -> Value {
                if (XmlNodeObject* n = XmlNodeObject::from(self))
                    set(vm, n, arg(a, 0));
                return Value();
            };
        }
        vm.addGetterSetter(proto, QLatin1String(name), g, s);
    };
    getter("nodeType", [](Interpreter&, XmlNodeObject* n) { return Value(n->nodeType); });
    getter("nodeName", [](Interpreter&, XmlNodeObject* n) { return n->nodeName; },
           [](Interpreter& vm, XmlNodeObject* n, const Value& v) {
               n->nodeName = v.isNullish() ? Value::null() : Value(vm.toString(v));
           });
    getter("nodeValue", [](Interpreter&, XmlNodeObject* n) { return n->nodeValue; },
           [](Interpreter& vm, XmlNodeObject* n, const Value& v) {
               n->nodeValue = v.isNullish() ? Value::null() : Value(vm.toString(v));
           });
    getter("attributes", [](Interpreter&, XmlNodeObject* n) { return Value(n->attributes); },
           [](Interpreter&, XmlNodeObject* n, const Value& v) {
               if (Object* o = v.object())
                   n->attributes = o;
           });
    getter("childNodes", [](Interpreter&, XmlNodeObject* n) { return Value(static_cast<Object*>(n->childNodes())); });
    getter("firstChild", [](Interpreter&, XmlNodeObject* n) {
        return nodeValueOf(n->children().empty() ? nullptr : n->children().front());
    });
    getter("lastChild", [](Interpreter&, XmlNodeObject* n) {
        return nodeValueOf(n->children().empty() ? nullptr : n->children().back());
    });
    getter("nextSibling", [](Interpreter&, XmlNodeObject* n) { return nodeValueOf(n->sibling(1)); });
    getter("previousSibling", [](Interpreter&, XmlNodeObject* n) { return nodeValueOf(n->sibling(-1)); });
    getter("parentNode", [](Interpreter&, XmlNodeObject* n) { return nodeValueOf(n->parent); });
    getter("prefix", [](Interpreter& vm, XmlNodeObject* n) { return namePart(vm, n, true); });
    getter("localName", [](Interpreter& vm, XmlNodeObject* n) { return namePart(vm, n, false); });
    getter("namespaceURI", [](Interpreter& vm, XmlNodeObject* n) -> Value {
        Value prefix = namePart(vm, n, true);
        return prefix.isNull() ? Value::null() : n->namespaceForPrefix(prefix.s);
    });

    auto method = [&vm, proto](const char* name, NativeFunction::Fn fn) {
        vm.addMethod(proto, QLatin1String(name), std::move(fn));
    };
    method("appendChild", [](Interpreter&, const Value& self, Args a) {
        if (XmlNodeObject* n = XmlNodeObject::from(self))
            n->appendChild(XmlNodeObject::from(arg(a, 0)));
        return Value();
    });
    method("insertBefore", [](Interpreter&, const Value& self, Args a) {
        if (XmlNodeObject* n = XmlNodeObject::from(self))
            n->insertBefore(XmlNodeObject::from(arg(a, 0)), XmlNodeObject::from(arg(a, 1)));
        return Value();
    });
    method("removeNode", [](Interpreter&, const Value& self, Args) {
        if (XmlNodeObject* n = XmlNodeObject::from(self))
            n->removeFromParent();
        return Value();
    });
    method("cloneNode", [](Interpreter& vm, const Value& self, Args a) -> Value {
        XmlNodeObject* n = XmlNodeObject::from(self);
        return n ? Value(static_cast<Object*>(n->clone(vm.toBoolean(arg(a, 0))))) : Value();
    });
    method("hasChildNodes", [](Interpreter&, const Value& self, Args) -> Value {
        XmlNodeObject* n = XmlNodeObject::from(self);
        return n ? Value(!n->children().empty()) : Value();
    });
    method("toString", [](Interpreter&, const Value& self, Args) -> Value {
        XmlNodeObject* n = XmlNodeObject::from(self);
        return n ? Value(n->toXmlString()) : Value();
    });
    method("getNamespaceForPrefix", [](Interpreter& vm, const Value& self, Args a) -> Value {
        XmlNodeObject* n = XmlNodeObject::from(self);
        return n ? n->namespaceForPrefix(vm.toString(arg(a, 0))) : Value();
    });
    method("getPrefixForNamespace", [](Interpreter& vm, const Value& self, Args a) -> Value {
        XmlNodeObject* n = XmlNodeObject::from(self);
        return n ? n->prefixForNamespace(vm.toString(arg(a, 0))) : Value();
    });
}

} // namespace nimbrel::movie::avm1
