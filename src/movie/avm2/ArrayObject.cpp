#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/ReferenceVisitor.h"

namespace nimbrel::movie::avm2 {

bool ArrayObject::getIndex(uint32_t i, Value& out) const {
    if (i < items.size()) {
        if (i < holes.size() && holes[i]) return false;
        out = items[i];
        return true;
    }
    auto it = sparse_.find(i);
    if (it == sparse_.end()) return false;
    out = it->second;
    return true;
}

bool ArrayObject::setIndex(uint32_t i, const Value& v) {
    if (i == 0xffffffffu) return false; // not an index: a named property
    if (i >= items.size() && i - items.size() < DenseGrowth && sparse_.empty()) {
        const size_t old = items.size();
        items.resize(size_t(i) + 1);
        if (i > old || !holes.empty()) holes.resize(items.size(), false);
        for (size_t k = old; k < i; ++k) holes[k] = true;
    }
    if (i < items.size()) {
        items[i] = v;
        if (i < holes.size()) holes[i] = false;
    } else {
        sparse_[i] = v;
    }
    if (i >= extraLength_) extraLength_ = i + 1;
    return true;
}

bool ArrayObject::deleteIndex(uint32_t i) {
    if (i >= items.size()) return sparse_.erase(i) > 0;
    items[i] = Value();
    if (holes.size() < items.size()) holes.resize(items.size(), false);
    holes[i] = true;
    return true;
}

void ArrayObject::setLength(uint32_t length) {
    if (length < items.size()) {
        items.resize(length);
        if (holes.size() > length) holes.resize(length);
    } else if (length - items.size() < DenseGrowth && sparse_.empty()) {
        const size_t old = items.size();
        items.resize(length);
        holes.resize(length, false);
        for (size_t k = old; k < length; ++k) holes[k] = true;
    }
    sparse_.erase(sparse_.lower_bound(length), sparse_.end());
    extraLength_ = length;
}

void ArrayObject::visitReferences(ReferenceVisitor& visit) const {
    ScriptObject::visitReferences(visit);
    visit.values(items);
    for (const auto& [index, v] : sparse_)
        visit.value(v);
}

void ArrayObject::dropReferences() {
    ScriptObject::dropReferences();
    items.clear();
    holes.clear();
    sparse_.clear();
    extraLength_ = 0;
}

} // namespace nimbrel::movie::avm2
