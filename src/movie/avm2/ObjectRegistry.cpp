#include "movie/avm2/ObjectRegistry.h"
#include "movie/avm2/ScriptObject.h"

#include <algorithm>

namespace nimbrel::movie::avm2 {

namespace {
// Runtimes of one thread, newest last; they need not end in the order they began.
thread_local std::vector<ObjectRegistry*> liveRegistries;
} // namespace

ObjectRegistry::ObjectRegistry() { liveRegistries.push_back(this); }

ObjectRegistry::~ObjectRegistry() {
    for (ScriptObject* o : objects_)
        o->registry_ = nullptr;
    liveRegistries.erase(std::remove(liveRegistries.begin(), liveRegistries.end(), this), liveRegistries.end());
}

ObjectRegistry* ObjectRegistry::current() { return liveRegistries.empty() ? nullptr : liveRegistries.back(); }

void ObjectRegistry::add(ScriptObject* object) {
    object->registry_ = this;
    object->registryIndex_ = objects_.size();
    objects_.push_back(object);
}

void ObjectRegistry::remove(ScriptObject* object) {
    // Swap with the last so leaving costs the same however many objects there are.
    const std::size_t at = object->registryIndex_;
    ScriptObject* last = objects_.back();
    objects_[at] = last;
    last->registryIndex_ = at;
    objects_.pop_back();
    object->registry_ = nullptr;
}

} // namespace nimbrel::movie::avm2
