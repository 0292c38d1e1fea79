#pragma once
#include "skin/MenuBarAutoShow.h"
#include "skin/ResizeMode.h"
#include "skin/TwipRect.h"
#include <QPoint>
#include <Qt>
#include <optional>

namespace nimbrel::skin {

// The window-chrome share of the 100 ms timer: the edge drag first, then the menu
// bar's auto-show. Holds the resize mode and the menu-bar counter; the main window
// applies what each tick returns.
class ChromeTick {
public:
    struct Input {
        bool windowActive = true; // nothing happens while another program is active
        bool maximised = false;
        TwipRect window;          // window geometry, twips
        QPoint cursor;            // pointer, screen pixels
        double tx = 15.0;         // twips per pixel
        double ty = 15.0;
        int minWidth = 0;         // the window's least size, twips
        int minHeight = 0;
    };
    struct Result {
        std::optional<TwipRect> geometry; // set when the window should take a new geometry
        MenuBarAutoShow::Action menuBar = MenuBarAutoShow::Action::None;
    };

    // A mouse-down on a resize handle (hen2, buttom, middle, hen1, Label5).
    void pressHandle(ResizeMode handle, Qt::MouseButton button);

    Result tick(const Input& input);

    ResizeMode resizeMode() const { return mode_; }
    std::int16_t menuBarCounter() const { return menuBar_.counter(); }

private:
    ResizeMode mode_ = ResizeMode::None;
    MenuBarAutoShow menuBar_;
};

} // namespace nimbrel::skin
