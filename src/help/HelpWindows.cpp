#include "help/HelpWindows.h"
#include "help/AboutWindow.h"
#include "help/HelpWindow.h"
#include <QWidget>

namespace nimbrel::help {

namespace {
void bringForward(QWidget* w) {
    w->show();
    if (w->isMinimized())
        w->showNormal();
    w->raise();
    w->activateWindow();
}
} // namespace

HelpWindows::HelpWindows(QWidget* mainWindow) : QObject(mainWindow), mainWindow_(mainWindow) {}

HelpWindows::~HelpWindows() { unloadAll(); }

HelpWindow* HelpWindows::showHelp() {
    if (!help_)
        help_ = new HelpWindow();
    bringForward(help_);
    return help_;
}

AboutWindow* HelpWindows::showAbout() {
    if (!about_)
        about_ = new AboutWindow(mainWindow_);
    bringForward(about_);
    return about_;
}

HelpWindow* HelpWindows::help() const { return help_; }

AboutWindow* HelpWindows::about() const { return about_; }

void HelpWindows::unloadAll() {
    // Deleted at once: the main window is going, and with it the event loop.
    delete help_;
    delete about_;
}

} // namespace nimbrel::help
