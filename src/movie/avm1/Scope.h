#pragma once
// One link of a scope chain: an object searched for names, then its parent.
#include <memory>

namespace nimbrel::movie::avm1 {

class Object;

struct Scope {
    Object* object = nullptr;
    std::shared_ptr<Scope> parent;
    // Pushed by a `with` block: searched for names, but never where new variables land.
    bool isWith = false;
    static std::shared_ptr<Scope> push(std::shared_ptr<Scope> parent, Object* obj)
    {
        auto s = std::make_shared<Scope>();
        s->object = obj;
        s->parent = std::move(parent);
        return s;
    }
};

using ScopePtr = std::shared_ptr<Scope>;

} // namespace nimbrel::movie::avm1
