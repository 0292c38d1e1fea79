#pragma once
#include <QString>
#include <Qt>

class QWidget;

namespace nimbrel::skin {

// Decisions of the custom title bar that need no widget to be made.
class WindowChrome {
public:
    // The main window's title: not shown, but it is what marks a window as ours.
    static QString caption();

    // Maximise or restore: normal becomes maximised, maximised becomes normal,
    // a minimised window is left alone.
    static Qt::WindowStates minandmax(Qt::WindowStates state);

    // Active-window test: a window is one of ours when its title is not empty and
    // contains "Quorvane" (letter case as written).
    static bool edactive(const QString& activeWindowTitle);
    // The same test on the application's active window; no active window gives false.
    static bool edactive(const QWidget* activeWindow);

    // Window flags without the system caption, border and caption buttons.
    static Qt::WindowFlags ycct(Qt::WindowFlags flags);
};

} // namespace nimbrel::skin
