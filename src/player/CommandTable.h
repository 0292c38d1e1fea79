#pragma once
// The player's commands in one table: each with its control-menu item, caption,
// shortcut keys and transport button, in the order the keys are served. The
// main window binds a handler and an enabled rule to each; menu items, skin
// buttons and keys all run a command through run(), so a command reached three
// ways runs one handler.
#include <QObject>
#include <array>
#include <functional>
#include <vector>

class QAction;
class QMenu;

namespace nimbrel::player {

enum class Command {
    PlayPause, PreviousMovie, NextMovie, PreviousFrame, NextFrame, ZoomIn, ZoomOut,
    OpenFiles, OpenAddress, VolumeUp, VolumeDown, Capture, SaveMovie, Close, Topmost,
    DeleteLines, Stop, AutoPlay, ClipboardWatch, ImageEditor,
    // The playlist panel's pop-up menu.
    AddToPlaylist, ReadPlaylist, SavePlaylist, ReplaceStoredPlaylist, SelectAllPlaylist,
    InvertPlaylistSelection, SelectNoPlaylist, DeletePlaylistEntries, PlaylistToConverter,
    PlaylistToQuickPlay,
    // The search results' pop-up menu.
    SaveResultCopies, OpenResultFolder, SelectAllResults, InvertResultSelection, SelectNoResults,
    RemoveResults, ResultsToConverter, ResultsToPlaylist,
};

class CommandTable : public QObject {
    Q_OBJECT
public:
    struct KeyStroke {
        int qtKey = 0;            // 0: no key
        bool keypadOnly = false;  // only the key of the numeric pad
        // Served even while a text field or a movie that takes keys has the keyboard.
        bool alwaysServed = false;
    };
    struct Definition {
        Command id;
        const char* menuName;  // object name of its menu item; nullptr: none
        const char* caption;   // the menu item's caption
        std::array<KeyStroke, 2> keys;
        int button;            // transport button Image5(n); -1: none
    };
    using Handler = std::function<void()>;
    using Rule = std::function<bool()>;

    static const std::vector<Definition>& definitions();
    static const Definition& definition(Command id);
    // The command of transport button n, or nullptr.
    static const Definition* forButton(int button);
    // A pop-up menu item for the command: its caption, named after its menu item.
    static QAction* addMenuItem(QMenu* menu, Command id);

    explicit CommandTable(QObject* parent = nullptr);

    void bind(Command id, Handler handler, Rule enabled = {});
    // Runs the command when it is bound and its rule allows it; true when it ran.
    bool run(Command id);
    bool isEnabled(Command id) const;

    // The commands whose keys were pressed, in table order, each at most once.
    // Every key of a command is taken, even when another of its keys already
    // fired. heldElsewhere tells a key that belongs to the focused field or
    // movie; keys not always served are then skipped.
    static std::vector<Command> dueCommands(const std::function<bool(const KeyStroke&)>& takePress,
                                            const std::function<bool(const KeyStroke&)>& heldElsewhere);

    // Menu items run their commands; enabled() follows the rules whenever refreshMenus() runs.
    void connectMenuItem(Command id, QAction* item);
    void refreshMenus();

private:
    struct Binding {
        Handler handler;
        Rule enabled;
        QAction* item = nullptr;
    };
    std::vector<Binding> bindings_;
};

} // namespace nimbrel::player
