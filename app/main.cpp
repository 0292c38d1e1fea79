// The nimbrel executable: one main window; no command-line arguments are read.
#include "platform/QtDialogBackend.h"
#include "platform/QtMessageBoxes.h"
#include "platform/SettingsStore.h"
#include "platform/TerminationSignals.h"
#include "player/frmmain.h"
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Nimbrel");

    // Installed first, so a stop requested during start-up still closes normally.
    nimbrel::platform::TerminationSignals termination;

    nimbrel::platform::SettingsStore store;
    nimbrel::platform::QtDialogBackend dialogs;
    nimbrel::platform::QtMessageBoxes boxes;
    nimbrel::player::frmmain window(store, dialogs, boxes);

    // A polite kill closes the window like its close button, so the geometry is kept.
    QObject::connect(&termination, &nimbrel::platform::TerminationSignals::terminationRequested,
                     &window, &QWidget::close, Qt::QueuedConnection);

    // Closing the main window ends the program, whatever other windows are open.
    QObject::connect(&window, &nimbrel::player::frmmain::unloaded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    window.show();
    window.activateWindow();
    return app.exec();
}
