#include "movie/avm2/TraitTable.h"

namespace nimbrel::movie::avm2 {

const Binding* TraitTable::find(const Name& name) const {
    auto it = byName_.constFind(name.local);
    if (it == byName_.constEnd()) return nullptr;
    for (const Binding& b : *it) {
        if (name.matches(b.ns)) return &b;
        if (b.alsoAs3 && (name.anyNamespace || name.reachesPublic() ||
                          (name.set && std::any_of(name.set->begin(), name.set->end(), [](const Namespace& n) { return n.isAs3(); })) ||
                          (!name.set && name.single.isAs3())))
            return &b;
    }
    return nullptr;
}

Binding* TraitTable::findExact(const Namespace& ns, const QString& name) {
    auto it = byName_.find(name);
    if (it == byName_.end()) return nullptr;
    for (Binding& b : *it)
        if (b.ns == ns) return &b;
    return nullptr;
}

Binding& TraitTable::put(Binding b) {
    if (Binding* existing = findExact(b.ns, b.name)) {
        if (b.kind == Binding::Kind::Accessor && existing->kind == Binding::Kind::Accessor) {
            if (b.getter.valid()) existing->getter = b.getter;
            if (b.setter.valid()) existing->setter = b.setter;
            existing->scope = b.scope;
        } else {
            *existing = std::move(b);
        }
        return *existing;
    }
    auto& list = byName_[b.name];
    list.push_back(std::move(b));
    return list.back();
}

void TraitTable::declareSlotType(int slot, SlotType type, AbcUnit* unit, uint32_t typeName) {
    if (slot < 0) return;
    if (size_t(slot) >= slotTypes.size()) {
        slotTypes.resize(size_t(slot) + 1, SlotType::Any);
        slotClasses.resize(size_t(slot) + 1);
    }
    slotTypes[size_t(slot)] = type;
    slotClasses[size_t(slot)] = SlotClassType{type == SlotType::Any ? unit : nullptr, typeName};
}

void TraitTable::setDispatch(uint32_t id, const MethodRef& m, const ScopePtr& scope) {
    if (id > 65535) return;
    if (id >= dispatch.size()) dispatch.resize(size_t(id) + 1);
    dispatch[id] = Dispatch{m, scope};
}

int TraitTable::addSlot(const Value& initial, int requestedId) {
    // Ids are 1-based and come from the bytecode; 0 asks for the next free one.
    int index = requestedId > 0 ? requestedId - 1 : int(slotDefaults.size());
    if (index > 65535) index = int(slotDefaults.size());
    if (index >= int(slotDefaults.size())) slotDefaults.resize(size_t(index) + 1);
    slotDefaults[size_t(index)] = initial;
    return index;
}

} // namespace nimbrel::movie::avm2
