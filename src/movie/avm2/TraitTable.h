#pragma once
// The sealed properties of one kind of object (a class's instances, a class,
// a script's global object, an activation): names in namespaces bound to
// slots, methods or accessors. A subclass starts from a copy of its base's.
#include "movie/avm2/MethodRef.h"
#include "movie/avm2/Namespace.h"
#include <QHash>
#include <vector>

namespace nimbrel::movie::avm2 {

class AbcUnit;
class ClassObject;

// How a typed slot converts what is stored in it.
enum class SlotType : uint8_t { Any, Int, UInt, Number, String, Boolean };

// A slot's declared type when it is a class (or Vector.<T>): resolved on first store, then kept.
struct SlotClassType {
    AbcUnit* unit = nullptr;
    uint32_t typeName = 0;
    mutable ClassObject* resolved = nullptr;
    mutable bool looked = false;
};

struct Binding {
    enum class Kind : uint8_t { Slot, Const, Method, Accessor };
    Namespace ns;
    QString name;
    Kind kind = Kind::Slot;
    bool alsoAs3 = false; // natives answer to both the public and the AS3 namespace
    SlotType slotType = SlotType::Any;
    int slot = -1;
    MethodRef method, getter, setter;
    ScopePtr scope; // what methods defined here see
    int scriptIndex = -1; // for script globals: which script defines it
};

class TraitTable {
public:
    const Binding* find(const Name& name) const;
    Binding* findExact(const Namespace& ns, const QString& name);
    // Adds or (for overrides and accessor halves) merges into the existing binding.
    Binding& put(Binding b);
    int addSlot(const Value& initial, int requestedId = 0);

    std::vector<Value> slotDefaults;
    // By slot: declared types beyond the primitive ones, for converting what a script stores.
    std::vector<SlotType> slotTypes;
    std::vector<SlotClassType> slotClasses;
    void declareSlotType(int slot, SlotType type, AbcUnit* unit, uint32_t typeName);
    // Methods by dispatch id, for callmethod (an override takes its base's id).
    struct Dispatch {
        MethodRef method;
        ScopePtr scope;
    };
    std::vector<Dispatch> dispatch;
    void setDispatch(uint32_t id, const MethodRef& m, const ScopePtr& scope);
    const QHash<QString, std::vector<Binding>>& all() const { return byName_; }

private:
    QHash<QString, std::vector<Binding>> byName_;
};

} // namespace nimbrel::movie::avm2
