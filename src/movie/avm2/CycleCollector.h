#pragma once
// Frees the script objects that only reference each other in cycles, which
// reference counting alone never frees. It needs no list of roots: an object
// with more owners than the references other script objects hold to it is
// held from outside (the interpreter, the player, a native) and is live, and
// so is everything it reaches. Whatever is left is unreachable: its
// references are dropped, which lets the counts fall to zero.
#include <cstddef>

namespace nimbrel::movie::avm2 {

class ObjectRegistry;

class CycleCollector {
public:
    struct Result {
        std::size_t examined = 0;
        std::size_t freed = 0;
        // An object reported more references than it has owners: a fault in
        // some object's report. Nothing is freed then.
        bool inconsistent = false;
    };
    static Result collect(const ObjectRegistry& registry);
};

} // namespace nimbrel::movie::avm2
