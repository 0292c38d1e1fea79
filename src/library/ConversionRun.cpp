#include "library/ConversionRun.h"
#include <QPointer>
#include <QThread>

namespace nimbrel::library {

ConversionRun::ConversionRun(QString stubPath, QStringList sources, QString folder, QObject* parent)
    : QObject(parent), stubPath_(std::move(stubPath)), sources_(std::move(sources)), folder_(std::move(folder)) {}

ConversionRun::~ConversionRun() { stopAndWait(); }

void ConversionRun::start() {
    if (thread_)
        return;
    running_ = true;
    QPointer<ConversionRun> self(this);
    thread_ = QThread::create([this, self] {
        const ProjectorWriter writer(stubPath_);
        auto report = [self](int index, int count) {
            QMetaObject::invokeMethod(self, [self, index, count] {
                if (self) emit self->progressed(index, count);
            }, Qt::QueuedConnection);
        };
        ProjectorWriter::Result result = writer.run(sources_, folder_, report, &cancel_);
        QMetaObject::invokeMethod(self, [self, result] {
            if (!self) return;
            self->running_ = false;
            emit self->finished(result);
        }, Qt::QueuedConnection);
    });
    thread_->start();
}

void ConversionRun::cancel() { cancel_ = true; }

void ConversionRun::stopAndWait() {
    if (!thread_)
        return;
    cancel_ = true;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
}

} // namespace nimbrel::library
