#pragma once
// A folder tree in a temporary folder for the search tests: files of a given
// length at relative paths, folders, symbolic links and folders nobody may read.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace nimbrel::librarytest {

class SearchTree {
public:
    SearchTree() { EXPECT_TRUE(m_dir.isValid()); }
    ~SearchTree() {
        // Readable again so the temporary folder can be removed.
        for (const QString& f : m_locked)
            ::chmod(QFile::encodeName(f).constData(), 0755);
    }

    // The tree's root with a trailing "/", as the folder box gives it.
    QString root() const { return m_dir.path() + u'/'; }
    QString path(const QString& relative) const { return root() + relative; }

    SearchTree& file(const QString& relative, qint64 bytes = 600) {
        const QString full = path(relative);
        QDir().mkpath(QFileInfo(full).absolutePath());
        QFile f(full);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << qPrintable(full);
        f.write(QByteArray(bytes, 'x'));
        return *this;
    }
    SearchTree& folder(const QString& relative) {
        EXPECT_TRUE(QDir().mkpath(path(relative)));
        return *this;
    }
    // A link at `relative` pointing to `target` as written (relative or absolute).
    SearchTree& link(const QString& relative, const QString& target) {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        EXPECT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path(relative)).constData()), 0);
        return *this;
    }
    // A folder with files inside that no user but root may read.
    SearchTree& locked(const QString& relative) {
        ::chmod(QFile::encodeName(path(relative)).constData(), 0);
        m_locked.append(path(relative));
        return *this;
    }
    // Every folder of the tree open to every user, for tests stepping down from root.
    void openToAll() const {
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755);
    }

private:
    QTemporaryDir m_dir;
    QStringList m_locked;
};

} // namespace nimbrel::librarytest
