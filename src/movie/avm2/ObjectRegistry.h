#pragma once
// Every script object made while a runtime is current, so that the cycle
// collector can look at all of them. Objects add themselves when made and
// leave when destroyed; a registry that goes first lets its objects go.
#include <cstddef>
#include <vector>

namespace nimbrel::movie::avm2 {

class ScriptObject;

class ObjectRegistry {
public:
    // Becomes the thread's current registry until it is destroyed.
    ObjectRegistry();
    ~ObjectRegistry();
    ObjectRegistry(const ObjectRegistry&) = delete;
    ObjectRegistry& operator=(const ObjectRegistry&) = delete;

    // The registry new objects join: the most recent one still alive on this thread.
    static ObjectRegistry* current();

    void add(ScriptObject* object);
    void remove(ScriptObject* object);
    std::size_t size() const { return objects_.size(); }
    const std::vector<ScriptObject*>& objects() const { return objects_; }

private:
    std::vector<ScriptObject*> objects_;
};

} // namespace nimbrel::movie::avm2
