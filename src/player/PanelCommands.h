#pragma once
// Binds the side panels' pop-up commands of the command table to their handlers
// in the main window, and their menu items to the commands. The hand-overs
// between the panels (to the converter, the playlist, the quick-play list) are
// made here, each bringing its target panel to the front.
namespace nimbrel::player {

class frmmain;

class PanelCommands {
public:
    static void bind(frmmain& window);
};

} // namespace nimbrel::player
