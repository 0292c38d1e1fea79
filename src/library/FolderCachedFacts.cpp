#include "library/FolderCachedFacts.h"

#include <QFile>
#include <fcntl.h>
#include <unistd.h>

namespace nimbrel::library {

FolderCachedFacts::~FolderCachedFacts() {
    closeFolder();
}

std::optional<FileFacts> FolderCachedFacts::operator()(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    const qsizetype slash = native.lastIndexOf('/');
    if (slash < 0)
        return FileFacts::read(path);
    const QByteArray folder = native.left(slash + 1);
    if (folder != m_folder) {
        closeFolder();
        m_folder = folder;
        m_fd = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    if (m_fd < 0)
        return std::nullopt; // the folder is gone, and the file with it
    return FileFacts::readAt(m_fd, native.constData() + slash + 1, path);
}

void FolderCachedFacts::closeFolder() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace nimbrel::library
