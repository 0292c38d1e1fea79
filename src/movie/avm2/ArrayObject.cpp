#include "movie/avm2/ArrayObject.h"

namespace nimbrel::movie::avm2 {

bool ArrayObject::getIndex(uint32_t i, Value& out) const {
    if (i >= items.size() || (i < holes.size() && holes[i])) return false;
    out = items[i];
    return true;
}

bool ArrayObject::setIndex(uint32_t i, const Value& v) {
    if (i >= MaxDense) return false;
    if (i >= items.size()) {
        const size_t old = items.size();
        items.resize(size_t(i) + 1);
        if (i > old || !holes.empty()) holes.resize(items.size(), false);
        for (size_t k = old; k < i; ++k) holes[k] = true;
    }
    items[i] = v;
    if (i < holes.size()) holes[i] = false;
    return true;
}

bool ArrayObject::deleteIndex(uint32_t i) {
    if (i >= items.size()) return false;
    items[i] = Value();
    if (holes.size() < items.size()) holes.resize(items.size(), false);
    holes[i] = true;
    return true;
}

void ArrayObject::setLength(uint32_t length) {
    const size_t n = std::min<size_t>(length, MaxDense);
    const size_t old = items.size();
    items.resize(n);
    if (n > old) {
        holes.resize(n, false);
        for (size_t k = old; k < n; ++k) holes[k] = true;
    } else if (holes.size() > n) {
        holes.resize(n);
    }
}

} // namespace nimbrel::movie::avm2
