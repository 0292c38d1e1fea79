#pragma once
// Turns movies into stand-alone programs: each output is the projector stub's
// bytes, the movie unchanged, the magic 56 34 12 FA and the movie's length as
// a 32-bit little-endian number. Each output is written under a temporary name
// and renamed into place once complete, so a failure never leaves a half-written
// program and never destroys the one that was there. Outputs are executable.
//
// An engine: it reports per entry what happened and never shows anything.
// Safe to run on a worker thread.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

namespace nimbrel::library {

class ProjectorWriter {
public:
    struct Entry {
        QString source;
        QString output;  // empty when the run ended before this entry
        bool written = false;
        QString error;   // why nothing was written
    };
    struct Result {
        QList<Entry> entries;  // one per source, in order
        QString stubError;     // the stub could not be read: nothing was written
        bool cancelled = false;
        qsizetype failedCount() const;
        bool allWritten() const { return failedCount() == 0 && stubError.isEmpty() && !cancelled; }
    };
    // Called after entry `index` (0-based) of `count` is done, on the running thread.
    using Progress = std::function<void(int index, int count)>;

    // The stub's executable file.
    explicit ProjectorWriter(QString stubPath);

    Result run(const QStringList& sources, const QString& folder, const Progress& progress = {},
               const std::atomic_bool* cancel = nullptr) const;

    // One output from stub bytes already in memory; the reason on failure.
    static QString writeOne(const QByteArray& stub, const QString& source, const QString& output,
                            const std::atomic_bool* cancel = nullptr);
    // The stub's bytes, or the reason they cannot be had.
    static QString readStub(const QString& stubPath, QByteArray& stub);

private:
    QString stubPath_;
};

} // namespace nimbrel::library
