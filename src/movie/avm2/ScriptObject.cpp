#include "movie/avm2/ScriptObject.h"
#include "movie/avm2/ObjectRegistry.h"
#include "movie/avm2/ReferenceVisitor.h"

namespace nimbrel::movie::avm2 {

ScriptObject::ScriptObject(Type type) : type(type) {
    if (ObjectRegistry* registry = ObjectRegistry::current())
        registry->add(this);
}

ScriptObject::~ScriptObject() {
    if (registry_)
        registry_->remove(this);
}

void ScriptObject::visitReferences(ReferenceVisitor& visit) const {
    visit.values(slotValues);
    for (const Property& p : props_)
        visit.value(p.value);
    visit.object(proto);
    visit.value(primitive);
}

void ScriptObject::dropReferences() {
    for (Value& v : slotValues)
        v = Value();
    props_.clear();
    index_.clear();
    proto.reset();
    primitive = Value();
}

void ScriptObject::layOut(std::shared_ptr<const TraitTable> table) {
    traits = std::move(table);
    slotValues = traits ? traits->slotDefaults : std::vector<Value>{};
}

Value* ScriptObject::findOwn(const QString& name) {
    auto it = index_.constFind(name);
    return it == index_.constEnd() ? nullptr : &props_[size_t(*it)].value;
}

void ScriptObject::setOwn(const QString& name, Value v, bool enumerable) {
    auto it = index_.constFind(name);
    if (it != index_.constEnd()) {
        props_[size_t(*it)].value = std::move(v);
        return;
    }
    // Deleted entries are dropped once they outnumber the live ones, so a
    // script adding and deleting names in a loop does not grow without end.
    if (props_.size() > 32 && int(props_.size()) > 2 * index_.size()) {
        std::vector<Property> kept;
        for (auto& p : props_)
            if (p.live) kept.push_back(std::move(p));
        props_ = std::move(kept);
        index_.clear();
        for (int i = 0; i < int(props_.size()); ++i) index_.insert(props_[size_t(i)].name, i);
    }
    index_.insert(name, int(props_.size()));
    props_.push_back(Property{name, std::move(v), enumerable, true});
}

bool ScriptObject::deleteOwn(const QString& name) {
    auto it = index_.find(name);
    if (it == index_.end()) return false;
    Property& p = props_[size_t(*it)];
    p.live = false;
    p.value = Value();
    index_.erase(it);
    return true;
}

bool ScriptObject::isEnumerable(const QString& name) const {
    auto it = index_.constFind(name);
    return it != index_.constEnd() && props_[size_t(*it)].enumerable;
}

int ScriptObject::ownEnumCount() const { return int(indexCount()) + int(props_.size()); }

int ScriptObject::nextEnumPosition(int position) const {
    int offset = 0;
    for (const ScriptObject* level = this; level; level = level->proto.get()) {
        const int count = level->ownEnumCount();
        for (int p = level->nextOwnEnumPosition(std::max(position - offset, 0)); p; p = level->nextOwnEnumPosition(p)) {
            if (level == this) return p;
            // A prototype's property shows only when nothing nearer has the same name.
            const Value name = level->ownEnumName(p);
            bool hidden = false;
            for (const ScriptObject* nearer = this; nearer != level && !hidden; nearer = nearer->proto.get())
                hidden = name.isString() && const_cast<ScriptObject*>(nearer)->findOwn(name.s);
            if (!hidden) return offset + p;
        }
        offset += count;
        if (position < offset) position = offset;
    }
    return 0;
}

// The object holding enumeration position `position`, and the position within it.
static const ScriptObject* enumLevel(const ScriptObject* obj, int& position) {
    for (const ScriptObject* level = obj; level; level = level->proto.get()) {
        const int count = level->ownEnumCount();
        if (position <= count) return level;
        position -= count;
    }
    return nullptr;
}

Value ScriptObject::enumName(int position) const {
    const ScriptObject* level = position > 0 ? enumLevel(this, position) : nullptr;
    return level ? level->ownEnumName(position) : Value();
}

Value ScriptObject::enumValue(int position) const {
    const ScriptObject* level = position > 0 ? enumLevel(this, position) : nullptr;
    return level ? level->ownEnumValue(position) : Value();
}

int ScriptObject::nextOwnEnumPosition(int position) const {
    const int elements = int(indexCount());
    for (int p = position + 1; p <= elements; ++p) {
        Value v;
        if (getIndex(uint32_t(p - 1), v)) return p;
    }
    for (int p = std::max(position + 1, elements + 1); p <= elements + int(props_.size()); ++p) {
        const Property& prop = props_[size_t(p - elements - 1)];
        if (prop.live && prop.enumerable) return p;
    }
    return 0;
}

Value ScriptObject::ownEnumName(int position) const {
    const int elements = int(indexCount());
    if (position <= 0) return Value();
    if (position <= elements) return Value::integer(position - 1);
    const size_t i = size_t(position - elements - 1);
    return i < props_.size() ? Value::string(props_[i].name) : Value();
}

Value ScriptObject::ownEnumValue(int position) const {
    const int elements = int(indexCount());
    if (position <= 0) return Value();
    if (position <= elements) {
        Value v;
        getIndex(uint32_t(position - 1), v);
        return v;
    }
    const size_t i = size_t(position - elements - 1);
    return i < props_.size() ? props_[i].value : Value();
}

} // namespace nimbrel::movie::avm2
