#pragma once
// A class at run time: the object scripts see (its statics are its own
// traits) plus what its instances are made of.
#include "movie/avm2/ScriptObject.h"

namespace nimbrel::movie::avm2 {

class ClassObject : public ScriptObject {
public:
    ClassObject() : ScriptObject(Type::Class) {}

    bool isSubclassOf(const ClassObject* other) const; // itself included
    bool implements(const ClassObject* iface) const;
    // "pkg::Name", or "Name" in the unnamed package.
    QString qualifiedName() const;
    // Makes a bare instance (the natives' kind of object where a base needs one), slots laid out.
    ObjectPtr allocate() const;

    QString name;
    QString package;
    std::shared_ptr<ClassObject> base;
    std::vector<ClassObject*> interfaces; // every interface, inherited ones too
    bool isInterface = false;
    bool isFinal = false;
    std::shared_ptr<TraitTable> instanceTraits;
    MethodRef constructor;   // the instance initialiser
    ScopePtr constructorScope;
    bool dynamicInstances = true;
    NativeFn callAsFunction = nullptr; // String(x), Array(1, 2), int(x); `this` is the class called
    ObjectPtr (*nativeAllocate)(const ClassObject& cls) = nullptr;
    ObjectPtr prototype;

    void visitReferences(ReferenceVisitor& visit) const override;
    void dropReferences() override;
};

} // namespace nimbrel::movie::avm2
