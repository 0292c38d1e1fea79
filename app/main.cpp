// The nimbrel executable: one main window; no command-line arguments are read.
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Nimbrel");
    return app.exec();
}
