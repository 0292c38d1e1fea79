#include "movie/swf/Timeline.h"

namespace nimbrel::movie::swf {

const Frame& Timeline::frame(int index) const {
    static const Frame empty;
    return index >= 0 && size_t(index) < frames.size() ? frames[size_t(index)] : empty;
}

namespace {
// Labels match without regard to the case of ASCII letters only; "À" and "à" differ.
bool sameLabel(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y) return false;
    }
    return true;
}
} // namespace

int Timeline::frameOfLabel(const QString& label) const {
    for (size_t i = 0; i < frames.size(); ++i)
        for (const QString& l : frames[i].labels)
            if (!l.isEmpty() && sameLabel(l, label)) return int(i);
    return -1;
}

} // namespace nimbrel::movie::swf
