#include "library/PlaylistMoves.h"

#include <utility>

namespace nimbrel::library {

namespace {
void swapWithNext(PlaylistMoves::Entries& e, qsizetype i) {
    e.texts.swapItemsAt(i, i + 1);
    std::swap(e.selected[i], e.selected[i + 1]);
}
} // namespace

PlaylistMoves::Entries PlaylistMoves::up(Entries e) {
    const qsizetype count = qMin(e.texts.size(), e.selected.size());
    if (count > 0 && e.selected[0])
        return e;
    for (qsizetype i = 1; i < count; ++i) {
        // Entry i - 1 is never selected here: it was moved past or was not selected.
        if (e.selected[i])
            swapWithNext(e, i - 1);
    }
    return e;
}

PlaylistMoves::Entries PlaylistMoves::down(Entries e) {
    const qsizetype count = qMin(e.texts.size(), e.selected.size());
    for (qsizetype i = 0; i < count; ++i) {
        if (!e.selected[i])
            continue;
        if (i + 1 < count)
            swapWithNext(e, i);
        break;
    }
    return e;
}

} // namespace nimbrel::library
