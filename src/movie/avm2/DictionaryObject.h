#pragma once
// A flash.utils.Dictionary: object keys by identity beside the ordinary
// (string-named) dynamic properties that other keys become. Enumeration
// gives the object keys first, as the objects themselves.
#include "movie/avm2/ScriptObject.h"
#include <QHash>

namespace nimbrel::movie::avm2 {

class DictionaryObject : public ScriptObject {
public:
    DictionaryObject() : ScriptObject(Type::Dictionary) {}

    const Value* find(ScriptObject* key) const;
    void put(const Value& key, Value v);
    bool remove(ScriptObject* key);

    int ownEnumCount() const override { return int(entries_.size()) + ScriptObject::ownEnumCount(); }
    int nextOwnEnumPosition(int position) const override;
    Value ownEnumName(int position) const override;
    Value ownEnumValue(int position) const override;

    // Weak keys are held until the cycle collector finds nothing else reaching them.
    bool weakKeys = false;

    void visitReferences(ReferenceVisitor& visit) const override;
    void dropReferences() override;
    // Removes the entries whose keys `unreachable` names; weak keys only.
    template <typename Pred> void dropWeakKeys(Pred unreachable) {
        if (!weakKeys) return;
        for (Entry& e : entries_)
            if (e.live && unreachable(e.key.obj())) {
                index_.remove(e.key.obj());
                e = Entry{Value(), Value(), false};
            }
    }

private:
    struct Entry {
        Value key; // the object, which the entry keeps alive
        Value value;
        bool live = true;
    };
    std::vector<Entry> entries_;
    QHash<ScriptObject*, int> index_;
};

} // namespace nimbrel::movie::avm2
