#pragma once
// The main window: start-up object of the player. It owns the skin, the menus, the
// movie surfaces and side panels, the shared dialog, the window-wide state and the
// three timers that drive the player, and it stores its geometry when it closes.
// Command groups live in their own controllers, which the window owns.
#include "platform/CommonDialog.h"
#include "player/AppSettings.h"
#include "skin/FitMode.h"
#include "skin/MenuBarAutoShow.h"
#include "skin/SkinHoverState.h"
#include <QColor>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

class QAction;
class QLabel;
class QListWidget;
class QMenuBar;

namespace nimbrel::platform {
class DialogBackend;
class KeyPressLatch;
class MessageBoxes;
class MixerDevice;
class SettingsStore;
class clsVolume;
}
namespace nimbrel::help { class HelpWindows; }
namespace nimbrel::imaging {
class EditorWindows;
class ScreenCaptures;
}
namespace nimbrel::library { class ConverterPanel; }
namespace nimbrel::skin { class SkinElements; }

namespace nimbrel::player {

class ClipboardWatch;
class CommandTable;
class FlashSurface;
class MainMenus;
class MovieHook;
class OpeningController;
class PlaylistPanel;
class QuickPlayList;
class QuickPlayMenu;
class SearchPanel;
class SearchResultsPanel;
class TransportController;
class VolumeControl;
class WindowOptions;

class frmmain : public QWidget {
    Q_OBJECT
public:
    // Design client area and position, twips.
    static constexpr int DesignLeft = 2205;
    static constexpr int DesignTop = 930;
    static constexpr int DesignWidth = 15750;
    static constexpr int DesignHeight = 9885;

    // Window-wide state shared by the player's handlers. The resize mode, the
    // menu-bar counter and the current panel are the skin's (see below).
    struct State {
        int lastFrameNum = 0;        // frame seen by the previous 100 ms tick
        // Play/pause as the player sees it; the play button's picture and tooltip follow it.
        skin::PlayState playState = skin::PlayState::Design;
        bool windowActive = false;   // a window of the player is the active one
        bool autoPlay = false;
        bool clipboardWatch = false;
        bool layered = false;        // window made see-through by the opacity option
        int alpha = 0;               // last opacity applied, kept while opaque
        QColor normalLabelColour;
        QColor highlightLabelColour;
    };

    // mixer: the sound card's mixer for the volume commands; the default card's
    // ALSA mixer when none is given.
    frmmain(platform::SettingsStore& store, platform::DialogBackend& dialogs,
            platform::MessageBoxes& boxes, platform::MixerDevice* mixer = nullptr,
            QWidget* parent = nullptr);
    ~frmmain() override;

    static QString caption();  // "QuorvaneFlashPlayer 1.5.0"

    platform::CommonDialog& Dialog() { return dialog_; }
    platform::MessageBoxes& boxes() { return boxes_; }
    AppSettings& settings() { return settings_; }
    State& state() { return state_; }
    const State& state() const { return state_; }
    int currentPanel() const;
    int resizeMode() const;
    int menuBarCounter() const;
    bool menuBarShowing() const;

    // Geometry in twips as the settings store keeps it.
    double twipsLeft() const;
    double twipsTop() const;
    double twipsWidth() const;
    double twipsHeight() const;

    // Commands other parts of the player (and the keys) reach through the window.
    void Image5_Click(int index);
    void mnuwenjian_Click(int k);
    void MNUCXDQ_Click();
    // Rebuilds the quick-play list from the stored playlist; empties bflblist.
    void duqu();
    // A fit-mode item: ScaleMode of the movie, the stored "bfms" and the check mark.
    void chooseFitMode(skin::FitMode::Item item);
    // ms(n): checks fit-mode item n (1..3) and unchecks the other two.
    void ms(int n);
    // Tab n: the side tool on show; the previews stop when it changes.
    void selectPanel(int n);
    // Back to the movie from any side tool; the previews stop and empty.
    void showMovieView();
    void showControlMenu(QPoint globalPos);
    // The option strip: auto-play, clipboard watching, topmost, the fit-mode pop-up.
    void Label2_Click(int index);
    // Opens and plays a movie named when the program was started.
    void openAtStart(const QString& pathOrUrl);
    // Double-click on the movie: the movie fills the maximised window, or the
    // window goes back to normal with the skin laid out.
    void enlargeOrRestoreMovie();
    bool movieFillsWindow() const { return movieFillsWindow_; }
    // Delete: removes the selected lines of the visible side list.
    void deleteVisibleListLines();
    // The help window and the about window, each shown at most once.
    void MNUsy_Click();
    void MNURJ_Click();

    // Timer steps, callable directly.
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    // The key step of Timer2, with the active-window test's answer given: serves
    // the keys pressed since the previous tick while a window of ours is in front.
    void keyTick(bool oursInFront);
    // The chrome step of Timer3 for a given pointer position: edge drag, then the
    // menu bar shown or hidden.
    void chromeTick(QPoint cursorGlobal);

    // The skin and the parts the rest of the player reaches through the window.
    skin::SkinElements* skin;
    MainMenus* menus;
    QuickPlayList* quickPlay;
    QuickPlayMenu* quickPlayMenu;
    TransportController* transport;
    OpeningController* opening;
    CommandTable* commands;
    WindowOptions* options;
    VolumeControl* volume;
    MovieHook* movieHook;
    platform::KeyPressLatch* keys;
    help::HelpWindows* helpWindows;
    imaging::EditorWindows* editors;  // the image editor, at most one
    imaging::ScreenCaptures* captures; // the capture overlay, at most one
    QMenuBar* menuBar;
    QWidget* client;           // everything under the menu bar
    FlashSurface* flash;       // the movie surface
    QWidget* bflb;             // playlist panel
    PlaylistPanel* playlist;   // its list, preview, move buttons and menu
    QListWidget* bflblist;     // its list of movie paths
    FlashSurface* bflbflash;   // playlist panel preview
    QWidget* zhss;             // search panel
    SearchPanel* search;       // its inputs and the search button
    SearchResultsPanel* searchResults; // its result list, previews and menu
    FlashSurface* flash2;      // search panel preview
    QWidget* convertframe;     // converter panel
    library::ConverterPanel* converter; // its list, menu and conversion runs
    QAction* mnuszck;          // fit mode 0: follow the window's size
    QAction* mnuchang;         // fit mode 1: keep proportions by width
    QAction* mnuchanggao;      // fit mode 2: keep both proportions
    std::array<QLabel*, 4> Label2{};  // option strip: auto-play, clipboard, topmost, fit mode
    QTimer Timer1;             // 1000 ms: status line and progress bar
    QTimer Timer2;             // 11 ms: active flag and shortcut keys
    QTimer Timer3;             // 100 ms: edge drag, menu bar, clipboard, auto-play

signals:
    // The window has stored its state on closing; the program ends with it.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void createControls();
    void connectSkin();
    void connectMenus();
    void bindCommands();
    void connectMovieVolume();
    void Form_Load();
    void regjc();
    void Form_Resize();
    void Form_Unload();
    void ycct();
    void showMenuBar(skin::MenuBarAutoShow::Action action);
    void moveWindow();
    void setGeometryTwips(double left, double top, double width, double height);
    bool onSomeScreen() const;

    AppSettings settings_;
    platform::CommonDialog dialog_;
    platform::MessageBoxes& boxes_;
    std::unique_ptr<platform::MixerDevice> ownMixer_;
    std::unique_ptr<platform::clsVolume> mixer_;
    bool movieFillsWindow_ = false;
    ClipboardWatch* clipboard_ = nullptr;
    State state_;
    bool unloaded_ = false;
    bool menuBarShowing_ = false;
    // Moving the window ourselves where the window system offers no move loop.
    bool manualMove_ = false;
    QPoint manualMoveOffset_;
};

} // namespace nimbrel::player
