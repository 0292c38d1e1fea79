#include "library/FileSearch.h"

#include "library/FolderWalk.h"
#include "library/SearchResultsModel.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMetaObject>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <fcntl.h>
#include <mutex>
#include <utility>
#include <unistd.h>

namespace nimbrel::library {

FileSearch::FileSearch(QObject* parent) : QObject(parent) {}

FileSearch::~FileSearch() {
    m_stop = true;
    if (m_worker.joinable())
        m_worker.join();
}

void FileSearch::setBatching(int paths, int milliseconds) {
    m_batchPaths = qMax(1, paths);
    m_batchMs = qMax(0, milliseconds);
}

std::optional<QString> FileSearch::startOrStop(const SearchInputs& inputs) {
    if (m_running) {
        stop();
        return std::nullopt;
    }
    if (std::optional<QString> message = inputs.problem())
        return message;
    start(inputs);
    return std::nullopt;
}

void FileSearch::stop() {
    m_stop = true;
}

void FileSearch::start(const SearchInputs& inputs) {
    if (m_worker.joinable())
        m_worker.join();
    m_stop = false;
    m_running = true;
    emit runningChanged(true);
    m_worker = std::thread([this, inputs, paths = m_batchPaths, ms = m_batchMs] { work(inputs, paths, ms); });
}

namespace {

// Folders the walk has read, waiting for the rule check on other threads,
// numbered in walk order.
class FolderQueue {
public:
    struct Folder {
        std::uint64_t number = 0;
        std::string path;
        std::vector<std::string> names;
        int fd = -1; // a handle of the folder's own, or -1: open it by path
    };

    // Keeps a copy of the walk's handle while few are held, which spares the
    // checker a second lookup of the folder's path; a long queue holds none,
    // so the walk never runs out of handles.
    void push(const std::string& path, int folderFd, std::vector<std::string>& names) {
        std::lock_guard lock(m_mutex);
        int fd = -1;
        if (m_heldHandles < kMaxHeldHandles) {
            fd = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
            if (fd >= 0)
                ++m_heldHandles;
        }
        m_folders.push_back({m_pushed++, path, std::move(names), fd});
        names = {};
        m_ready.notify_one();
    }
    // The folder's handle, to close when done with it; -1 when it is gone.
    int take(Folder& folder) {
        if (folder.fd < 0)
            return ::open(folder.path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        std::lock_guard lock(m_mutex);
        --m_heldHandles;
        return std::exchange(folder.fd, -1);
    }
    void close() {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_ready.notify_all();
    }
    // The next folder, or nothing once the queue is closed and empty.
    std::optional<Folder> pop() {
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [this] { return m_closed || !m_folders.empty(); });
        if (m_folders.empty())
            return std::nullopt;
        Folder next = std::move(m_folders.front());
        m_folders.pop_front();
        return next;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ready;
    static constexpr int kMaxHeldHandles = 64;
    std::deque<Folder> m_folders;
    std::uint64_t m_pushed = 0;
    int m_heldHandles = 0;
    bool m_closed = false;
};

// Hands found paths on in walk order although folders are finished out of
// order: a batch goes out when it holds `batchPaths` paths or `batchMs` passed.
class FoundStream {
public:
    using Send = std::function<void(QStringList&&)>;
    FoundStream(int batchPaths, int batchMs, Send send)
        : m_batchPaths(batchPaths), m_batchMs(batchMs), m_send(std::move(send)) {
        m_sinceBatch.start();
    }

    void add(std::uint64_t number, QStringList paths) {
        std::lock_guard lock(m_mutex);
        m_waiting.emplace(number, std::move(paths));
        for (auto next = m_waiting.begin(); next != m_waiting.end() && next->first == m_next;
             next = m_waiting.erase(next), ++m_next) {
            for (QString& path : next->second) {
                m_batch.append(std::move(path));
                if (m_batch.size() >= m_batchPaths || m_sinceBatch.elapsed() >= m_batchMs)
                    flushLocked();
            }
        }
    }
    // The rest, once every folder has been added (a stopped walk leaves no gaps).
    void finish() {
        std::lock_guard lock(m_mutex);
        for (auto& [number, paths] : m_waiting)
            m_batch += paths;
        m_waiting.clear();
        flushLocked();
    }

private:
    void flushLocked() {
        if (m_batch.isEmpty())
            return;
        m_send(std::move(m_batch));
        m_batch = QStringList();
        m_sinceBatch.restart();
    }

    const int m_batchPaths;
    const int m_batchMs;
    const Send m_send;
    std::mutex m_mutex;
    std::map<std::uint64_t, QStringList> m_waiting;
    std::uint64_t m_next = 0;
    QStringList m_batch;
    QElapsedTimer m_sinceBatch;
};

// Turns the queued folders' names into paths for the stream and returns those
// that pass the rules.
QStringList checkFolders(FolderQueue& queue, FoundStream& stream, const SearchRules& rules) {
    QStringList passed;
    while (std::optional<FolderQueue::Folder> folder = queue.pop()) {
        const QString folderText = QFile::decodeName(QByteArray::fromStdString(folder->path));
        QStringList paths;
        paths.reserve(qsizetype(folder->names.size()));
        for (const std::string& name : folder->names)
            paths.append(folderText + QFile::decodeName(QByteArray::fromStdString(name)));
        // A folder gone since it was read takes its files with it.
        const int fd = queue.take(*folder);
        if (fd >= 0) {
            for (std::size_t i = 0; i < folder->names.size(); ++i) {
                const QString& path = paths.at(qsizetype(i));
                const std::optional<FileFacts> facts = FileFacts::readAt(fd, folder->names[i].c_str(), path);
                if (facts && rules.passes(*facts))
                    passed.append(path);
            }
            ::close(fd);
        }
        stream.add(folder->number, std::move(paths));
    }
    return passed;
}

} // namespace

void FileSearch::work(const SearchInputs& inputs, int batchPaths, int batchMs) {
    // The walk only reads folders; turning names into paths and the rule check,
    // which costs the file system more than the walk itself, run beside it on
    // both cores.
    const std::string root = QFile::encodeName(inputs.startFolder).toStdString();
    const SearchRules rules = inputs.rules();
    FolderQueue queue;
    FoundStream stream(batchPaths, batchMs, [this](QStringList&& batch) {
        QMetaObject::invokeMethod(this, [this, b = std::move(batch)] { emit found(b); }, Qt::QueuedConnection);
    });
    const unsigned checkerCount = std::clamp(std::thread::hardware_concurrency(), 1u, 2u);
    std::vector<QStringList> passed(checkerCount);
    std::vector<std::thread> checkers;
    for (unsigned i = 0; i < checkerCount; ++i)
        checkers.emplace_back([&, i] { passed[i] = checkFolders(queue, stream, rules); });

    bool stopped = false;
    qulonglong skipped = 0;
    for (const QString& pattern : inputs.patterns()) {
        FolderWalk walk(pattern.toStdString(), m_stop);
        stopped = !walk.runByFolder(root, [&queue](const std::string& folder, int folderFd,
                                                    std::vector<std::string>& names) {
            queue.push(folder, folderFd, names);
        });
        skipped += walk.counts().foldersSkipped;
        if (stopped)
            break;
    }
    // What was found so far is checked whether the walk ended or was stopped.
    queue.close();
    for (std::thread& checker : checkers)
        checker.join();
    stream.finish();
    QStringList all;
    for (const QStringList& part : passed)
        all += part;
    // Sorted here too, so the GUI thread only swaps the list in.
    const QStringList kept = SearchResultsModel::sorted(all);
    QMetaObject::invokeMethod(
        this, [this, kept, stopped, skipped] { wrapUp(kept, stopped, skipped); }, Qt::QueuedConnection);
}

void FileSearch::wrapUp(const QStringList& kept, bool stopped, qulonglong skipped) {
    if (m_worker.joinable())
        m_worker.join();
    m_running = false;
    emit runningChanged(false);
    emit finished(kept, stopped, skipped);
}

} // namespace nimbrel::library
