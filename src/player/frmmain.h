#pragma once
// The main window: start-up object of the player. It owns the movie surfaces,
// the shared dialog, the window-wide state and the three timers that drive the
// player, and it stores its geometry when it closes.
#include "platform/CommonDialog.h"
#include "player/AppSettings.h"
#include <QColor>
#include <QTimer>
#include <QWidget>
#include <array>

class QAction;
class QLabel;

namespace nimbrel::platform {
class DialogBackend;
class MessageBoxes;
class SettingsStore;
}

namespace nimbrel::player {

class FlashSurface;

class frmmain : public QWidget {
    Q_OBJECT
public:
    // Design client area and position, twips.
    static constexpr int DesignLeft = 2205;
    static constexpr int DesignTop = 930;
    static constexpr int DesignWidth = 15750;
    static constexpr int DesignHeight = 9885;

    // Window-wide state shared by the player's handlers.
    struct State {
        int resizeMode = 0;          // 0 none, 1..5 the edge or corner being dragged
        int menuBarCounter = 0;      // ticks since the pointer left the top edge
        int currentPanel = 0;        // 0 movie, 1 playlist, 2 search, 3 converter
        int lastFrameNum = 0;        // frame seen by the previous auto-play check
        int volumeLevel = 0;         // speaker volume, 0..65535
        bool windowActive = false;   // a window of the player is the active one
        int quickPlayIndex = 0;      // current quick-play entry, 0 = before the first
        bool autoPlay = false;
        bool clipboardWatch = false;
        bool layered = false;        // window made see-through by the opacity option
        int alpha = 0;               // last opacity applied, kept while opaque
        QColor normalLabelColour;
        QColor highlightLabelColour;
    };

    frmmain(platform::SettingsStore& store, platform::DialogBackend& dialogs,
            platform::MessageBoxes& boxes, QWidget* parent = nullptr);
    ~frmmain() override;

    static QString caption();  // "QuorvaneFlashPlayer 1.5.0"

    platform::CommonDialog& Dialog() { return dialog_; }
    platform::MessageBoxes& boxes() { return boxes_; }
    AppSettings& settings() { return settings_; }
    State& state() { return state_; }
    const State& state() const { return state_; }

    // Geometry in twips as the settings store keeps it.
    double twipsLeft() const;
    double twipsTop() const;
    double twipsWidth() const;
    double twipsHeight() const;

    // Controls other parts of the player reach through the main window.
    FlashSurface* flash;       // the movie surface
    FlashSurface* bflbflash;   // playlist panel preview
    FlashSurface* flash2;      // search panel preview
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

private:
    void createControls();
    void Form_Load();
    void regjc();
    void Form_Resize();
    void Form_Unload();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void setGeometryTwips(double left, double top, double width, double height);
    bool onSomeScreen() const;

    AppSettings settings_;
    platform::CommonDialog dialog_;
    platform::MessageBoxes& boxes_;
    State state_;
    bool unloaded_ = false;
};

} // namespace nimbrel::player
