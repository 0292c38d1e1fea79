#include "movie/swf/Timeline.h"
#include <algorithm>

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

int Timeline::frameOfLabel(const QString& label, int from, int to) const {
    to = std::min<int>(to, int(frames.size()));
    for (size_t i = size_t(std::max(0, from)); int(i) < to; ++i)
        for (const QString& l : frames[i].labels)
            if (!l.isEmpty() && sameLabel(l, label)) return int(i);
    return -1;
}

std::vector<SceneSpan> Timeline::scenes() const {
    const int total = frameCount();
    std::vector<SceneSpan> out;
    for (const auto& [first, name] : sceneTable) {
        // Starts must rise and stay inside the timeline; an entry breaking that
        // would give a scene a negative length, so it is dropped.
        if (first < 0 || first >= total || (!out.empty() && first <= out.back().first)) continue;
        // The first scene holds the frames before it too.
        out.push_back({name, out.empty() ? 0 : first, 0});
    }
    if (out.empty()) out.push_back({QStringLiteral("Scene 1"), 0, 0});
    for (size_t i = 0; i < out.size(); ++i)
        out[i].count = (i + 1 < out.size() ? out[i + 1].first : total) - out[i].first;
    return out;
}

int Timeline::sceneIndexAt(int frame) const {
    const std::vector<SceneSpan> all = scenes();
    int index = 0;
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].first <= frame) index = int(i);
    return index;
}

} // namespace nimbrel::movie::swf
