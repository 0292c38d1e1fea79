#pragma once
#include "skin/ChromeTick.h"
#include "skin/MainLayoutResult.h"
#include "skin/PanelSwitch.h"
#include "skin/ResizeMode.h"
#include "skin/SkinHoverState.h"
#include <QColor>
#include <QObject>
#include <QPixmap>
#include <array>
#include <optional>

class QWidget;

namespace nimbrel::skin {

class SkinPiece;

// The skin of the main window: creates every skin element as a child of the window,
// places them (and the movie area's widgets handed to attach()) on relayout(), keeps
// the hover pictures, tabs, progress bar and list scrolling in step, and reports
// the commands the user gives through the skin as signals.
//
// The main window creates it once, attaches its movie surface and side panels, calls
// relayout() from its resize handler, tickChrome() from the 100 ms timer, jindutiao()
// from the status timer, and connects the signals to its command handlers. Hover
// feedback and the resize handles are handled here.
class SkinElements : public QObject {
    Q_OBJECT
public:
    // Widgets of the movie area that the layout places too; null ones are skipped.
    struct MovieArea {
        QWidget* flash = nullptr;
        QWidget* bflb = nullptr;
        QWidget* zhss = nullptr;
        QWidget* convertframe = nullptr;
        QWidget* bflblist = nullptr;
        QWidget* Command18 = nullptr;
        QWidget* Command19 = nullptr;
        QWidget* bflbflash = nullptr;
        QWidget* huakuai2 = nullptr;
        QWidget* lsearch = nullptr;
        QWidget* flash2 = nullptr;
        QWidget* yulanp = nullptr;
        QWidget* huakuaione = nullptr;
        QWidget* convert = nullptr;
        QWidget* Command5 = nullptr;
        QWidget* huakuai3 = nullptr;
        QWidget* Picture1 = nullptr;
    };

    // window is the main window, or the widget that forms its client area.
    explicit SkinElements(QWidget* window);

    void attach(const MovieArea& area);

    // The layout: runs for the window's current size, places every element and sets
    // the window's outline. Call on every resize and when the menu bar shows or hides.
    const MainLayoutResult& relayout(bool menuBarShowing);
    // The same for an explicit client size in twips (no window needed to be shown).
    const MainLayoutResult& relayout(int clientWidth, int clientHeight, bool menuBarShowing);
    const MainLayoutResult& layout() const { return layout_; }
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

    // One tick of the 100 ms timer's chrome step: follows an edge drag (the window
    // takes the new geometry) and returns what to do with the menu bar.
    MenuBarAutoShow::Action tickChrome(bool windowActive);
    // The same with the pointer's screen position given.
    MenuBarAutoShow::Action tickChrome(bool windowActive, QPoint cursor);
    ResizeMode resizeMode() const { return chrome_.resizeMode(); }
    const ChromeTick& chrome() const { return chrome_; }

    // jindutiao: progress fill and thumb for the movie's position.
    void jindutiao(int frame, int totalFrames);
    // The frame a click on the progress track at the pointer's screen position asks for.
    std::optional<int> seekFrame(QPoint cursorGlobal, int totalFrames) const;

    // Scroll-bar change handlers.
    void huakuai2Changed(int value);
    void huakuaioneChanged(int value);
    void huakuai3Changed(int value);

    // Select side tool n: tab pictures and visibility of the attached widgets. The
    // caller stops the two previews when a switch is returned.
    std::optional<PanelSwitch::Switch> selectPanel(int n);
    int currentPanel() const { return currentPanel_; }

    // Where the button went down on the piece that asked to move the window: a move
    // loop of the window's own keeps that point under the pointer.
    QPoint movePressPosition() const { return movePressPosition_; }

    // Pointer over the movie: the same reset as over the top bar.
    void resetHighlights();
    // The play/pause state the player last gave; the play button's tooltip
    // ("play" / "stop") and picture show it.
    PlayState playState() const;
    void setPlayState(PlayState state);
    void setLabelColours(const QColor& normal, const QColor& highlight);
    const SkinHoverState& hoverState() const { return hover_; }

    // Skin frame.
    SkinPiece *up1, *up2, *up3, *down1, *down2, *down3, *hen1, *hen2;
    SkinPiece *buttom, *middle, *Label5; // transparent resize handles
    // Controls on the skin.
    std::array<SkinPiece*, 3> Image8{};  // title buttons
    std::array<SkinPiece*, 4> Label1{};  // tab captions
    std::array<SkinPiece*, 4> ontime{};  // tab backgrounds
    std::array<SkinPiece*, 4> Label2{};  // option strip
    SkinPiece* Image2;                   // quick-play menu button
    std::array<SkinPiece*, 6> Image5{};  // transport buttons
    SkinPiece *jindu, *huakuai, *fugai, *Label6;

    // Hidden picture stores.
    std::array<QPixmap, 8> Image6; // alternative transport pictures
    std::array<QPixmap, 6> Image7; // normal transport pictures
    std::array<QPixmap, 3> Image9; // highlighted title buttons
    std::array<QPixmap, 3> Image10; // normal title buttons
    QPixmap down, bmove;           // pressed and hovered tab
    QPixmap Image3, Image4;        // quick-play button highlighted and normal

signals:
    void moveWindowRequested();
    void controlMenuRequested(QPoint globalPos);
    void maximiseRestoreRequested();
    void titleButtonPressed(int index); // 0 minimise, 1 maximise/restore, 2 close
    void transportClicked(int index);
    void quickMenuClicked(QPoint globalPos);
    void stripClicked(int index);
    void tabPressed(int index);
    void progressClicked(QPoint globalPos);

private:
    void createElements();
    void connectElements();
    void placeAll();
    void applyHover();
    void setHover(const SkinHoverState& state);
    void connectMovePiece(SkinPiece* piece, bool anyButton, bool rightOpensMenu);

    QWidget* window_;
    MovieArea area_;
    MainLayoutResult layout_ = MainLayoutResult::design();
    SkinHoverState hover_;
    ChromeTick chrome_;
    int currentPanel_ = 0;
    PlayState playState_ = PlayState::Design;
    QPoint movePressPosition_;
    QColor normalColour_;
    QColor highlightColour_{Qt::white};
};

} // namespace nimbrel::skin
