#pragma once
// One conversion run of the projector writer on a worker thread, so the window
// keeps painting (and shows the progress) however long the run takes. Progress
// and the end arrive as signals on the thread that started the run.
// Destroying the run stops it after the file being written and waits for it.
#include "library/ProjectorWriter.h"
#include <QObject>
#include <atomic>
#include <memory>

class QThread;

namespace nimbrel::library {

class ConversionRun : public QObject {
    Q_OBJECT
public:
    ConversionRun(QString stubPath, QStringList sources, QString folder, QObject* parent = nullptr);
    ~ConversionRun() override;

    void start();
    void cancel();
    bool isRunning() const { return running_; }
    const QStringList& sources() const { return sources_; }
    const QString& folder() const { return folder_; }

signals:
    void progressed(int index, int count);
    void finished(const nimbrel::library::ProjectorWriter::Result& result);

private:
    void stopAndWait();

    QString stubPath_;
    QStringList sources_;
    QString folder_;
    QThread* thread_ = nullptr;
    std::atomic_bool cancel_{false};
    bool running_ = false;
};

} // namespace nimbrel::library
