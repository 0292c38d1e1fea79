#include "player/PanelCommands.h"
#include "library/ConverterPanel.h"
#include "player/CommandTable.h"
#include "player/PlaylistPanel.h"
#include "player/QuickPlayList.h"
#include "player/SearchResultsPanel.h"
#include "player/TransportController.h"
#include "player/frmmain.h"
#include <QAction>
#include <QMenu>

namespace nimbrel::player {

void PanelCommands::bind(frmmain& w) {
    CommandTable& c = *w.commands;
    PlaylistPanel& p = *w.playlist;
    SearchResultsPanel& r = *w.searchResults;

    c.bind(Command::AddToPlaylist, [&p] { p.MNUOPEN2_Click(); });
    c.bind(Command::ReadPlaylist, [&p] { p.MNUDU_Click(); });
    c.bind(Command::SavePlaylist, [&p] { p.MNUBCDA_Click(); });
    c.bind(Command::ReplaceStoredPlaylist, [&p] { p.MNUSCYQSY_Click(); });
    c.bind(Command::SelectAllPlaylist, [&p] { p.MNUQX_Click(); });
    c.bind(Command::InvertPlaylistSelection, [&p] { p.mnufx_Click(); });
    c.bind(Command::SelectNoPlaylist, [&p] { p.MNUBX_Click(); });
    c.bind(Command::DeletePlaylistEntries, [&p] { p.mnudel_Click(); });
    c.bind(Command::PlaylistToConverter, [&w, &p] {
        w.converter->addFiles(p.entries());
        w.selectPanel(3);
    });
    c.bind(Command::PlaylistToQuickPlay, [&w, &p] { w.transport->applyStep(w.quickPlay->loadFromPanel(p.entries())); });

    c.bind(Command::SaveResultCopies, [&r] { r.MNUSAVEW_Click(); });
    c.bind(Command::OpenResultFolder, [&r] { r.MNULLBCH_Click(); });
    c.bind(Command::SelectAllResults, [&r] { r.mnuquanx_Click(); });
    c.bind(Command::InvertResultSelection, [&r] { r.mnufanx_Click(); });
    c.bind(Command::SelectNoResults, [&r] { r.mnubux_Click(); });
    c.bind(Command::RemoveResults, [&r] { r.MNUSDEL_Click(); });
    c.bind(Command::ResultsToConverter, [&w, &r] {
        if (const auto files = r.forConverter()) {
            w.converter->addFiles(*files);
            w.selectPanel(3);
        }
    });
    c.bind(Command::ResultsToPlaylist, [&w, &p, &r] {
        if (const auto files = r.takeForPlaylist()) {
            p.append(*files);
            w.selectPanel(1);
        }
    });

    for (QMenu* menu : {p.MNUBFLBCZ, r.mnusearch})
        for (const CommandTable::Definition& d : CommandTable::definitions())
            if (QAction* item = d.menuName ? menu->findChild<QAction*>(QString::fromUtf8(d.menuName)) : nullptr)
                c.connectMenuItem(d.id, item);
}

} // namespace nimbrel::player
