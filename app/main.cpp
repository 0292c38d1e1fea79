// The nimbrel executable: one main window. `nimbrel FILE.swf` (or an address)
// opens and plays that movie; without an argument the player starts empty.
#include "platform/ChineseTranslations.h"
#include "platform/QtDialogBackend.h"
#include "platform/QtMessageBoxes.h"
#include "platform/SettingsStore.h"
#include "platform/TerminationSignals.h"
#include "player/StartArgument.h"
#include "player/frmmain.h"
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Nimbrel");
    // Standard dialogs speak the player's language.
    nimbrel::platform::ChineseTranslations::install(app);

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
    if (const QStringList args = QApplication::arguments(); args.size() > 1)
        window.openAtStart(nimbrel::player::StartArgument::movie(args.at(1)));
    return app.exec();
}
