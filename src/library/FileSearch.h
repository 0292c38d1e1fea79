#pragma once
// The comprehensive search as a service: checks the inputs, walks the folder tree
// on a worker thread (one complete walk per pattern), streams the found paths to
// the GUI thread in batches, and once the walks end or are stopped filters what
// was found by the rules. The same call starts a search and stops a running one.
#include "library/SearchInputs.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <optional>
#include <thread>

namespace nimbrel::library {

class FileSearch : public QObject {
    Q_OBJECT
public:
    explicit FileSearch(QObject* parent = nullptr);
    ~FileSearch() override;

    // The search button: while a search runs, asks it to stop (whatever the
    // inputs now hold, so a search can always be stopped); otherwise checks the
    // inputs and returns the message to show, or starts the search.
    std::optional<QString> startOrStop(const SearchInputs& inputs);
    void stop();
    bool isRunning() const { return m_running; }

    // How found paths are grouped for the GUI thread: a batch goes out when it
    // holds this many paths or this much time has passed since the last one.
    void setBatching(int paths, int milliseconds);

signals:
    void runningChanged(bool running);
    void found(const QStringList& batch);
    // After every search: the found paths that pass the rules, sorted as the
    // results list keeps them, whether a stop
    // ended the walk, and how many folders could not be read.
    void finished(const QStringList& kept, bool stopped, qulonglong foldersSkipped);

private:
    void start(const SearchInputs& inputs);
    void work(const SearchInputs& inputs, int batchPaths, int batchMs);
    void wrapUp(const QStringList& kept, bool stopped, qulonglong skipped);

    std::thread m_worker;
    std::atomic<bool> m_stop{false};
    bool m_running = false;
    int m_batchPaths = 4096;
    int m_batchMs = 50;
};

} // namespace nimbrel::library
