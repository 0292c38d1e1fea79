#pragma once
// The main window's four menus: the control menu mnukz ("控制", also the right-click
// menu), the quick-play menu MNUBFFILE ("播放列表"), the fit modes MNUBFMS ("播放模式")
// and mnuhelp ("帮助"). Only builds the items; the window connects them to its
// handlers through the command table, whose names and captions the items carry.
// Items whose commands are not in the player yet are present but disabled.
#include <QObject>
#include <array>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace nimbrel::player {

enum class Command;

class MainMenus : public QObject {
    Q_OBJECT
public:
    explicit MainMenus(QWidget* owner);

    // The four top-level menus, in menu-bar order.
    std::array<QMenu*, 4> topLevel() const { return {mnukz, MNUBFFILE, MNUBFMS, mnuhelp}; }
    void addTo(QMenuBar* bar) const;
    // Shows or hides the four menus in the bar; their pop-ups work either way.
    void setShownInBar(bool shown);
    bool shownInBar() const;
    // The control-menu item of a command of the table, or nullptr.
    QAction* action(Command id) const;

    QMenu* mnukz;      // control menu
    QMenu* MNUBFFILE;  // quick-play list
    QMenu* MNUBFMS;    // fit modes
    QMenu* mnuhelp;

    // mnukz
    QAction* MNUOPEN;
    QAction* MNUOPENURL;
    QAction* MNUPLAY;
    QAction* MNUTZ;      // stop
    QAction* mnuup;      // previous movie
    QAction* mnusyz;     // previous frame
    QAction* MNUXYZ;     // next frame
    QAction* MNUXIAYIGE; // next movie
    QAction* MNUfd;      // zoom in
    QAction* MNUSx;      // zoom out
    QAction* MNUDQ;      // save the current movie
    QAction* MNUPAGEU;   // volume up
    QAction* MNUPAGED;   // volume down
    QAction* MNUZDBF;    // auto-play
    QAction* MNUNCJK;    // clipboard watching
    QAction* MNUCKZD;    // always on top
    QMenu* MNUBTMD;      // opacity
    std::array<QAction*, 9> MNUBF{}; // 10％ .. 90％
    QAction* munbtm2;    // opaque
    QAction* MNUSNP;     // screen capture
    QAction* mnutxbj;    // image editor
    QAction* MNUTC;      // exit

    // MNUBFFILE: the entries mnuwenjian(1..N) follow the separator mnuwenjian(0).
    QAction* MNUCXDQ;    // reload from the stored playlist
    QAction* mnuwenjian0;

    // MNUBFMS
    QAction* mnuszck;     // fit mode 0: follow the window's size
    QAction* mnuchang;    // fit mode 1: keep proportions by width
    QAction* mnuchanggao; // fit mode 2: keep both proportions

    // mnuhelp
    QAction* MNUsy;      // help window
    QAction* MNUOPENWEB; // update page
    QAction* MNURJ;      // about window
};

} // namespace nimbrel::player
