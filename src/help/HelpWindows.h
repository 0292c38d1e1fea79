#pragma once
// Keeps the help window and the about window to one each: opening one again shows
// the same window, and the main window unloads both when it closes. The about
// window belongs to the main window so that it stays in front of it; the help
// window stands on its own.
#include <QObject>
#include <QPointer>

class QWidget;

namespace nimbrel::help {

class AboutWindow;
class HelpWindow;

class HelpWindows : public QObject {
    Q_OBJECT
public:
    explicit HelpWindows(QWidget* mainWindow);
    ~HelpWindows() override;

    // Creates the window at the first call, then shows it, without a modal owner.
    HelpWindow* showHelp();
    AboutWindow* showAbout();
    // Unloads whichever of the two is open.
    void unloadAll();

    HelpWindow* help() const;
    AboutWindow* about() const;

private:
    QWidget* mainWindow_;
    QPointer<HelpWindow> help_;
    QPointer<AboutWindow> about_;
};

} // namespace nimbrel::help
