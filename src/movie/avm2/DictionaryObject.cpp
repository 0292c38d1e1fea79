#include "movie/avm2/DictionaryObject.h"
#include "movie/avm2/ReferenceVisitor.h"

namespace nimbrel::movie::avm2 {

const Value* DictionaryObject::find(ScriptObject* key) const {
    auto it = index_.constFind(key);
    return it == index_.constEnd() ? nullptr : &entries_[size_t(*it)].value;
}

void DictionaryObject::put(const Value& key, Value v) {
    if (auto it = index_.constFind(key.obj()); it != index_.constEnd()) {
        entries_[size_t(*it)].value = std::move(v);
        return;
    }
    // Removed entries are dropped once they outnumber the live ones.
    if (entries_.size() > 32 && entries_.size() > 2 * size_t(index_.size())) {
        std::vector<Entry> kept;
        for (Entry& e : entries_)
            if (e.live) kept.push_back(std::move(e));
        entries_ = std::move(kept);
        index_.clear();
        for (int i = 0; i < int(entries_.size()); ++i) index_.insert(entries_[size_t(i)].key.obj(), i);
    }
    index_.insert(key.obj(), int(entries_.size()));
    entries_.push_back(Entry{key, std::move(v), true});
}

bool DictionaryObject::remove(ScriptObject* key) {
    auto it = index_.find(key);
    if (it == index_.end()) return false;
    entries_[size_t(*it)] = Entry{Value(), Value(), false};
    index_.erase(it);
    return true;
}

int DictionaryObject::nextOwnEnumPosition(int position) const {
    const int own = int(entries_.size());
    for (int p = position + 1; p <= own; ++p)
        if (entries_[size_t(p - 1)].live) return p;
    const int next = ScriptObject::nextOwnEnumPosition(std::max(position - own, 0));
    return next ? next + own : 0;
}

Value DictionaryObject::ownEnumName(int position) const {
    const int own = int(entries_.size());
    if (position <= 0) return Value();
    return position <= own ? entries_[size_t(position - 1)].key : ScriptObject::ownEnumName(position - own);
}

Value DictionaryObject::ownEnumValue(int position) const {
    const int own = int(entries_.size());
    if (position <= 0) return Value();
    return position <= own ? entries_[size_t(position - 1)].value : ScriptObject::ownEnumValue(position - own);
}

void DictionaryObject::visitReferences(ReferenceVisitor& visit) const {
    ScriptObject::visitReferences(visit);
    for (const Entry& e : entries_) {
        if (e.key.o)
            weakKeys ? visit.weakObject(e.key.o.get()) : visit.object(e.key.o.get());
        visit.value(e.value);
    }
}

void DictionaryObject::dropReferences() {
    ScriptObject::dropReferences();
    entries_.clear();
    index_.clear();
}

} // namespace nimbrel::movie::avm2
