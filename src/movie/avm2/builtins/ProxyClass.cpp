#include "movie/avm2/builtins/ProxyClass.h"
#include "movie/avm2/Runtime.h"
#include "movie/avm2/ScriptObject.h"
#include "movie/avm2/builtins/QNameClass.h"
#include <array>

namespace nimbrel::movie::avm2 {

namespace {

const QString kProxyUri = QStringLiteral("http://www.adobe.com/2006/actionscript/flash/proxy");

Namespace proxyNamespace() { return Namespace::publicNs(kProxyUri); }

// What the base class answers for a method no subclass overrides.
struct Unimplemented {
    const char* name;
    int errorId;
    int length;
};
constexpr std::array<Unimplemented, 10> kMethods{{{"getProperty", 2088, 1},
                                                  {"setProperty", 2089, 2},
                                                  {"callProperty", 2090, 1},
                                                  {"hasProperty", 2091, 1},
                                                  {"deleteProperty", 2092, 1},
                                                  {"getDescendants", 2093, 1},
                                                  {"nextNameIndex", 2105, 1},
                                                  {"nextName", 2106, 1},
                                                  {"nextValue", 2107, 1},
                                                  {"isAttribute", 0, 1}}};

template <size_t I>
Value unimplemented(Runtime& rt, const Value&, Args a) {
    constexpr Unimplemented m = kMethods[I];
    if constexpr (m.errorId == 0) {
        // isAttribute: whether a name given as a QName names an attribute; plain names never do.
        (void)a;
        return Value::boolean(false);
    } else {
        rt.raise(QStringLiteral("flash.errors.IllegalOperationError"), m.errorId);
    }
}

template <size_t... I>
void addUnimplemented(ClassObject& cls, std::index_sequence<I...>) {
    (
        [&] {
            Binding b;
            b.ns = proxyNamespace();
            b.name = QString::fromLatin1(kMethods[I].name);
            b.kind = Binding::Kind::Method;
            b.method = MethodRef{nullptr, 0, unimplemented<I>, &cls, kMethods[I].length};
            cls.instanceTraits->put(std::move(b));
        }(),
        ...);
}

ObjectPtr allocate(const ClassObject&) {
    auto obj = std::make_shared<ScriptObject>();
    obj->proxied = true;
    return obj;
}
Value nothing(Runtime&, const Value&, Args) { return Value(); }

// Calls the proxy's own flash_proxy method `method`.
Value callHook(Runtime& rt, const Value& proxy, const char* method, Args args) {
    Name n;
    n.local = QString::fromLatin1(method);
    n.single = proxyNamespace();
    const ScriptObject* obj = proxy.obj();
    const Binding* b = obj->traits ? obj->traits->find(n) : nullptr;
    if (!b || b->kind != Binding::Kind::Method) rt.raise(QStringLiteral("TypeError"), 1006, {n.local});
    return rt.callMethod(b->method, proxy, args, b->scope);
}
Value callHook(Runtime& rt, const Value& proxy, const char* method, std::initializer_list<Value> args) {
    return callHook(rt, proxy, method, Args{args.begin(), int(args.size())});
}

// Names reach the proxy as QNames: in the public namespace unless the
// lookup named only other namespaces.
Value nameValue(Runtime& rt, const Name& name) {
    QString uri;
    if (!name.reachesPublic()) {
        if (name.set && !name.set->empty()) uri = name.set->front().uri;
        else if (!name.set) uri = name.single.uri;
    }
    return QNameClass::make(rt, uri, name.local);
}

} // namespace

bool ProxyClass::isProxy(const ScriptObject* obj) { return obj && obj->proxied; }

Value ProxyClass::get(Runtime& rt, const Value& proxy, const Name& name) {
    return callHook(rt, proxy, "getProperty", {nameValue(rt, name)});
}
void ProxyClass::set(Runtime& rt, const Value& proxy, const Name& name, const Value& v) {
    callHook(rt, proxy, "setProperty", {nameValue(rt, name), v});
}
Value ProxyClass::call(Runtime& rt, const Value& proxy, const Name& name, Args args) {
    std::vector<Value> all;
    all.reserve(size_t(args.count) + 1);
    all.push_back(nameValue(rt, name));
    all.insert(all.end(), args.values, args.values + args.count);
    return callHook(rt, proxy, "callProperty", Args{all.data(), int(all.size())});
}
bool ProxyClass::has(Runtime& rt, const Value& proxy, const Name& name) {
    return callHook(rt, proxy, "hasProperty", {Value::string(name.local)}).toBoolean();
}
bool ProxyClass::remove(Runtime& rt, const Value& proxy, const Name& name) {
    return callHook(rt, proxy, "deleteProperty", {nameValue(rt, name)}).toBoolean();
}
int ProxyClass::nextIndex(Runtime& rt, const Value& proxy, int index) {
    return rt.toInt32(callHook(rt, proxy, "nextNameIndex", {Value::integer(index)}));
}
Value ProxyClass::nextName(Runtime& rt, const Value& proxy, int index) {
    return callHook(rt, proxy, "nextName", {Value::integer(index)});
}
Value ProxyClass::nextValue(Runtime& rt, const Value& proxy, int index) {
    return callHook(rt, proxy, "nextValue", {Value::integer(index)});
}

void ProxyClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.utils"), QStringLiteral("Proxy"), rt.builtin(QStringLiteral("Object")), {});
    cls->nativeAllocate = allocate;
    cls->constructor = MethodRef{nullptr, 0, nothing, cls.get()};
    cls->dynamicInstances = false;
    addUnimplemented(*cls, std::make_index_sequence<kMethods.size()>());
    if (ClassObject* ns = rt.builtin(QStringLiteral("Namespace"))) {
        Value uri = Value::string(kProxyUri);
        rt.defineGlobalValue(QStringLiteral("flash.utils"), QStringLiteral("flash_proxy"), rt.constructClass(*ns, Args{&uri, 1}));
    }
}

} // namespace nimbrel::movie::avm2
