#include "movie/avm2/builtins/XmlListClass.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/XmlListObject.h"
#include "movie/avm2/XmlSupport.h"
#include "movie/avm2/builtins/XmlClass.h"
#include "movie/avm2/builtins/XmlListMethods.h"

namespace nimbrel::movie::avm2 {

namespace {
constexpr const char* kSingleNames[] = {
    "addNamespace", "appendChild", "childIndex", "inScopeNamespaces", "insertChildAfter", "insertChildBefore",
    "localName", "name", "namespace", "namespaceDeclarations", "nodeKind", "prependChild", "removeNamespace",
    "replace", "setChildren", "setLocalName", "setName", "setNamespace", "setNotification", "notification",
};

template <int I> Value single(Runtime& rt, const Value& self, Args a) {
    const QString method = QString::fromLatin1(kSingleNames[I]);
    XmlListObject* l = XmlSupport::asList(self);
    if (!l) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("XMLList")});
    if (l->items.size() != 1) rt.raise(QStringLiteral("TypeError"), 1086, {method});
    return XmlClass::callSingle(rt, method, XmlSupport::wrap(rt, l->items[0]), a);
}

template <int... I> void installSingles(Runtime& rt, ClassObject& cls, std::integer_sequence<int, I...>) {
    const NativeFn fns[] = {single<I>...};
    for (size_t i = 0; i < sizeof...(I); ++i) {
        auto f = rt.makeFunction(MethodRef{nullptr, 0, fns[i], &cls, 0}, nullptr);
        f->name = QString::fromLatin1(kSingleNames[i]);
        cls.prototype->setOwn(f->name, Value::object(f), false);
    }
}

ObjectPtr allocate(const ClassObject&) { return std::make_shared<XmlListObject>(); }
Value construct(Runtime& rt, const Value& self, Args a) {
    auto* l = static_cast<XmlListObject*>(self.obj());
    l->runtime = &rt;
    if (!a[0].isNullish()) l->items = XmlSupport::toListNodes(rt, a[0]);
    return Value();
}
Value callAsFunction(Runtime& rt, const Value&, Args a) {
    if (XmlSupport::isXmlList(a[0])) return a[0];
    return rt.constructClass(*rt.builtin(QStringLiteral("XMLList")), a);
}
Value toJSON(Runtime&, const Value&, Args) { return Value::string(QStringLiteral("XMLList")); }
} // namespace

void XmlListClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QString(), QStringLiteral("XMLList"), rt.builtin(QStringLiteral("Object")), {});
    XmlListMethods::installShared(rt, *cls, toJSON);
    installSingles(rt, *cls, std::make_integer_sequence<int, int(std::size(kSingleNames))>{});
    cls->nativeAllocate = allocate;
    cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 1};
    cls->callAsFunction = callAsFunction;
    cls->isFinal = true;
    rt.defineStaticConstant(*cls, QStringLiteral("length"), Value::integer(1));
}

} // namespace nimbrel::movie::avm2
