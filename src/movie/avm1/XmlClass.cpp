// XML: a document node that parses text, loads it and reports status.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/DataLoad.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/LoadQueue.h"
#include "movie/avm1/XmlDocumentObject.h"

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

XmlNodeObject* newNode(Interpreter& vm, const Value& type, const Value& text)
{
    vm.checkHeap();
    auto* n = vm.make<XmlNodeObject>(vm.xmlNodeProto ? vm.xmlNodeProto : vm.objectProto);
    n->init(type, text);
    return n;
}

} // namespace

void installXmlClass(Interpreter& vm)
{
    Object* nodeProto = vm.xmlNodeProto ? vm.xmlNodeProto : vm.objectProto;
    Object* proto = vm.newObject(nodeProto);
    vm.newClass(QStringLiteral("XML"), [](Interpreter& vm, const Value& self, Args a) -> Value {
        // Called as a function (a subclass's super()): parse into `this` when it is a document.
        if (auto* doc = XmlDocumentObject::from(self); doc && !arg(a, 0).isUndefined())
            doc->parse(vm.toString(arg(a, 0)));
        return Value();
    }, [](Interpreter& vm, Object* obj, Args a) -> Value {
        vm.checkHeap();
        auto* doc = vm.make<XmlDocumentObject>(obj->proto());
        for (const char* k : {"__constructor__", "constructor"})
            if (Property* p = obj->findOwn(QLatin1String(k)))
                doc->define(p->name, p->value, p->flags);
        if (!arg(a, 0).isUndefined())
            doc->parse(vm.toString(arg(a, 0)));
        return Value(static_cast<Object*>(doc));
    }, proto);

    // Status and loaded state live on the prototype as accessors, stored in the document.
    auto field = [&vm, proto](const char* name, Value XmlDocumentObject::*member, bool asNumber, bool asBool) {
        NativeFunction::Fn get = [member](Interpreter&, const Value& self, Args) -> Value {
            auto* doc = XmlDocumentObject::from(self);
            return doc ? doc->*member : Value();
        };
        NativeFunction::Fn set = [member, asNumber, asBool](Interpreter& vm, const Value& self, Args a) -> Value {
            if (auto* doc = XmlDocumentObject::from(self)) {
                Value v = arg(a, 0);
                doc->*member = asNumber ? Value(vm.toNumber(v)) : asBool ? Value(vm.toBoolean(v)) : v;
            }
            return Value();
        };
        vm.addGetterSetter(proto, QLatin1String(name), get, set);
    };
    field("status", &XmlDocumentObject::status, true, false);
    field("loaded", &XmlDocumentObject::loaded, false, true);
    // Plain prototype values: a movie may change the default for every document at once.
    proto->define(QStringLiteral("xmlDecl"), Value(), DontEnum);
    proto->define(QStringLiteral("docTypeDecl"), Value(), DontEnum);
    proto->define(QStringLiteral("ignoreWhite"), Value(false), DontEnum);
    proto->define(QStringLiteral("contentType"), Value("application/x-www-form-urlencoded"), DontEnum);

    auto method = [&vm, proto](const char* name, NativeFunction::Fn fn) {
        vm.addMethod(proto, QLatin1String(name), std::move(fn));
    };
    method("parseXML", [](Interpreter& vm, const Value& self, Args a) {
        if (auto* doc = XmlDocumentObject::from(self))
            doc->parse(vm.toString(arg(a, 0)));
        return Value();
    });
    method("createElement", [](Interpreter& vm, const Value&, Args a) {
        return Value(static_cast<Object*>(newNode(vm, Value(1), arg(a, 0))));
    });
    method("createTextNode", [](Interpreter& vm, const Value&, Args a) {
        return Value(static_cast<Object*>(newNode(vm, Value(3), arg(a, 0))));
    });
    method("load", [](Interpreter& vm, const Value& self, Args a) -> Value {
        if (a.empty())
            return Value(false);
        return Value(DataLoad::startMarked(vm, self.object(), vm.toString(a[0])));
    });
    method("sendAndLoad", [](Interpreter& vm, const Value&, Args a) -> Value {
        // Without a server conversation the answer is whatever the address returns.
        if (a.empty())
            return Value(false);
        return Value(DataLoad::startMarked(vm, arg(a, 1).object(), vm.toString(a[0])));
    });
    method("send", [](Interpreter& vm, const Value&, Args a) -> Value {
        if (a.empty())
            return Value(false);
        LoadQueue::navigate(vm, vm.toString(a[0]), arg(a, 1).isUndefined() ? QString() : vm.toString(arg(a, 1)));
        return Value(true);
    });
    DataLoad::installRequestHeaders(vm, proto);
    DataLoad::installByteCounts(vm, proto);
    method("onLoad", [](Interpreter&, const Value&, Args) { return Value(); });
    method("onData", [](Interpreter& vm, const Value& self, Args a) {
        Object* o = self.object();
        if (!o)
            return Value();
        const bool ok = !arg(a, 0).isUndefined();
        if (ok)
            vm.callMethod(self, QStringLiteral("parseXML"), {arg(a, 0)});
        o->set(QStringLiteral("loaded"), Value(ok));
        vm.callMethod(self, QStringLiteral("onLoad"), {Value(ok)});
        return Value();
    });
}

} // namespace nimbrel::movie::avm1
