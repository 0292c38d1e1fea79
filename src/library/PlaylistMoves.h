#pragma once
// The playlist's two move buttons. Up moves every selected entry one place up,
// a block of adjacent ones as a block, but nothing at all when the first entry is
// selected. Down moves only the first selected entry, and nothing when it is the
// last. Entries keep their selection as they move.
#include <QList>
#include <QStringList>

namespace nimbrel::library {

class PlaylistMoves {
public:
    struct Entries {
        QStringList texts;
        QList<bool> selected; // one per text
        bool operator==(const Entries&) const = default;
    };

    static Entries up(Entries entries);
    static Entries down(Entries entries);
};

} // namespace nimbrel::library
