#include "movie/avm2/ClassObject.h"
#include "movie/avm2/ReferenceVisitor.h"

namespace nimbrel::movie::avm2 {

bool ClassObject::isSubclassOf(const ClassObject* other) const {
    for (const ClassObject* c = this; c; c = c->base.get())
        if (c == other) return true;
    return false;
}

bool ClassObject::implements(const ClassObject* iface) const {
    for (const ClassObject* c = this; c; c = c->base.get())
        for (const ClassObject* i : c->interfaces)
            if (i == iface) return true;
    return false;
}

QString ClassObject::qualifiedName() const {
    return package.isEmpty() ? name : package + QStringLiteral("::") + name;
}

ObjectPtr ClassObject::allocate() const {
    ObjectPtr obj;
    for (const ClassObject* c = this; c && !obj; c = c->base.get())
        if (c->nativeAllocate) obj = c->nativeAllocate(*this);
    if (!obj) obj = std::make_shared<ScriptObject>();
    obj->cls = const_cast<ClassObject*>(this);
    obj->proto = prototype;
    obj->layOut(instanceTraits);
    obj->sealed = !dynamicInstances;
    return obj;
}

void ClassObject::visitReferences(ReferenceVisitor& visit) const {
    ScriptObject::visitReferences(visit);
    visit.object(base.get());
    visit.scope(constructorScope);
    visit.object(prototype);
}

void ClassObject::dropReferences() {
    ScriptObject::dropReferences();
    base.reset();
    constructorScope.reset();
    prototype.reset();
}

} // namespace nimbrel::movie::avm2
