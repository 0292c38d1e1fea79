#pragma once
// An object of the second virtual machine: sealed slots laid out by its
// trait table, dynamic properties in insertion order, and a prototype.
#include "movie/avm2/TraitTable.h"
#include "movie/avm2/Value.h"
#include <QHash>
#include <memory>
#include <vector>

namespace nimbrel::movie::avm2 {

class ClassObject;
class ObjectRegistry;
class ReferenceVisitor;

class ScriptObject : public std::enable_shared_from_this<ScriptObject> {
public:
    enum class Type : uint8_t { Plain, Function, Class, Array, Global, Activation, Boxed, Error, Namespace, RegExp, Date, Vector, Dictionary, ByteArray, Xml, XmlList, QName };
    explicit ScriptObject(Type type = Type::Plain);
    ScriptObject(const ScriptObject&) = delete;
    ScriptObject& operator=(const ScriptObject&) = delete;
    virtual ~ScriptObject();

    // Gives the object its traits and their default slot values.
    void layOut(std::shared_ptr<const TraitTable> table);

    Value* findOwn(const QString& name);
    void setOwn(const QString& name, Value v, bool enumerable = true);
    bool deleteOwn(const QString& name);
    bool isEnumerable(const QString& name) const;

    // Indexed elements (arrays); plain objects keep indices as named properties.
    virtual bool getIndex(uint32_t, Value&) const { return false; }
    virtual bool setIndex(uint32_t, const Value&) { return false; }
    virtual bool deleteIndex(uint32_t) { return false; }
    virtual uint32_t indexCount() const { return 0; }

    // for-in: positions 1.. over elements, then enumerable properties, then
    // those of the prototypes that nothing nearer hides; 0 ends.
    int nextEnumPosition(int position) const;
    Value enumName(int position) const;
    Value enumValue(int position) const;

    // The same over this object's own elements and properties only, positions 1..ownEnumCount().
    virtual int ownEnumCount() const;
    virtual int nextOwnEnumPosition(int position) const;
    virtual Value ownEnumName(int position) const;
    virtual Value ownEnumValue(int position) const;

    // For the cycle collector: the references this object owns (see
    // ReferenceVisitor), and letting go of them once nothing can reach it.
    // A subclass that holds values of its own reports and drops them too.
    virtual void visitReferences(ReferenceVisitor& visit) const;
    virtual void dropReferences();

    Type type;
    ClassObject* cls = nullptr; // kept alive by the runtime's class list
    std::shared_ptr<const TraitTable> traits;
    std::vector<Value> slotValues;
    ObjectPtr proto;
    Value primitive; // Boxed: the wrapped value; Error: the error id
    bool sealed = false;
    bool proxied = false; // a flash.utils.Proxy: undeclared names go to its flash_proxy methods

private:
    friend class ObjectRegistry;
    ObjectRegistry* registry_ = nullptr;
    std::size_t registryIndex_ = 0;

    struct Property {
        QString name;
        Value value;
        bool enumerable = true;
        bool live = true;
    };
    std::vector<Property> props_;
    QHash<QString, int> index_;
};

} // namespace nimbrel::movie::avm2
