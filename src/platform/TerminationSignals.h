#pragma once
// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal delivered on the UI thread,
// so the program can close its main window normally (and store its state)
// instead of dying mid-way. One instance per process.
#include <QObject>

class QSocketNotifier;

namespace nimbrel::platform {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool installed() const { return notifier_ != nullptr; }

signals:
    void terminationRequested(int signalNumber);

private:
    void readPending();
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace nimbrel::platform
