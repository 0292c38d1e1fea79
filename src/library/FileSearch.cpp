#include "library/FileSearch.h"

#include "library/FolderCachedFacts.h"
#include "library/FolderWalk.h"
#include "library/SearchResultsModel.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMetaObject>

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

void FileSearch::work(const SearchInputs& inputs, int batchPaths, int batchMs) {
    const std::string root = QFile::encodeName(inputs.startFolder).toStdString();
    QStringList all;
    QStringList batch;
    QElapsedTimer sinceBatch;
    sinceBatch.start();
    const auto flush = [&] {
        if (batch.isEmpty())
            return;
        QMetaObject::invokeMethod(this, [this, b = std::move(batch)] { emit found(b); }, Qt::QueuedConnection);
        batch = QStringList();
        sinceBatch.restart();
    };
    const auto sink = [&](const std::string& path) {
        QString text = QFile::decodeName(QByteArray::fromRawData(path.data(), qsizetype(path.size())));
        all.append(text);
        batch.append(std::move(text));
        if (batch.size() >= batchPaths || sinceBatch.elapsed() >= batchMs)
            flush();
    };

    bool stopped = false;
    qulonglong skipped = 0;
    for (const QString& pattern : inputs.patterns()) {
        FolderWalk walk(pattern.toStdString(), m_stop);
        stopped = !walk.run(root, sink);
        skipped += walk.counts().foldersSkipped;
        if (stopped)
            break;
    }
    flush();
    // What was found so far is filtered whether the walk ended or was stopped.
    // Sorted here too, so the GUI thread only swaps the list in.
    FolderCachedFacts facts;
    const QStringList kept = SearchResultsModel::sorted(
        inputs.rules().filter(all, [&facts](const QString& path) { return facts(path); }));
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
