#pragma once
// Reads the facts of found files folder by folder: a search's found paths come
// in runs of one folder, and opening that folder once spares the lookup of every
// folder above it for each file.
#include "library/FileFacts.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace nimbrel::library {

class FolderCachedFacts {
public:
    FolderCachedFacts() = default;
    ~FolderCachedFacts();
    FolderCachedFacts(const FolderCachedFacts&) = delete;
    FolderCachedFacts& operator=(const FolderCachedFacts&) = delete;

    // As FileFacts::read.
    std::optional<FileFacts> operator()(const QString& path);

private:
    void closeFolder();

    QByteArray m_folder;
    int m_fd = -1;
};

} // namespace nimbrel::library
