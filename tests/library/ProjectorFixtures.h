#pragma once
// Shared pieces of the converter's tests: a scratch folder, a stand-in stub,
// movies of a chosen size, and reading files back.
#include "player/TinyMovie.h"
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace projector_test {

// A movie of exactly `bytes` bytes (even, at least 28): empty frames fill it up.
inline QByteArray movieOfSize(int bytes) {
    const QByteArray m = tinyMovie((bytes - 28) / 2, 12);
    EXPECT_EQ(m.size(), bytes);
    return m;
}

// Stand-in for the projector program: recognisable bytes, no trailer.
inline QByteArray fakeStub(int size = 4096) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char('A' + i % 26);
    return b;
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QString writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
    return path;
}

class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString stub(int size = 4096) { return writeFile(path("stub/nimbrel-projector"), fakeStub(size)); }
    QString source(const QString& name, const QByteArray& bytes) { return writeFile(path("in/" + name), bytes); }
    QString outFolder() const {
        QDir().mkpath(path("out"));
        return path("out") + "/";
    }
    QStringList outFiles() const {
        return QDir(path("out")).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir dir;
};

} // namespace projector_test
