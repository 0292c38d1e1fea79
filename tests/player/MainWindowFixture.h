#pragma once
// A main window on a throw-away store with scripted dialogs and boxes. Its timers
// are stopped so that each test drives the ticks itself.
#include "TinyMovie.h"
#include "library/PlaylistStore.h"
#include "platform/ScriptedDialogBackend.h"
#include "platform/ScriptedMessageBoxes.h"
#include "platform/ScriptedMixer.h"
#include "platform/SettingsStore.h"
#include "player/frmmain.h"
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

class MainWindowFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<nimbrel::platform::SettingsStore> store =
        std::make_unique<nimbrel::platform::SettingsStore>(dir.path() + "/settings");
    nimbrel::platform::ScriptedDialogBackend dialogs;
    nimbrel::platform::ScriptedMessageBoxes boxes;
    // A sound card with a full-range mixer, so that no start is told of a missing one.
    nimbrel::platform::ScriptedMixer mixer;

    std::unique_ptr<nimbrel::player::frmmain> start() {
        auto w = std::make_unique<nimbrel::player::frmmain>(*store, dialogs, boxes, &mixer);
        w->Timer1.stop();
        w->Timer2.stop();
        w->Timer3.stop();
        return w;
    }
    void storePlaylist(const QStringList& paths) {
        nimbrel::library::PlaylistStore(*store).replace(paths);
    }
    QString setting(const char* key) const { return store->value("Nimbrel", "bfsz", key); }
    // A file of `bytes` bytes in the test's folder.
    QString makeFile(const QString& name, int bytes) {
        const QString path = dir.path() + "/" + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(bytes, 'x'));
        return path;
    }
    // A movie of `frames` empty frames in the test's folder.
    QString makeMovie(const QString& name, int frames) {
        const QString path = dir.path() + "/" + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(tinyMovie(frames, 12));
        return path;
    }
    static QString corpusMovie(const char* relative) {
        const QString path = QDir::cleanPath(QStringLiteral(NIMBREL_SOURCE_DIR "/../shared/corpus/") + QString::fromUtf8(relative));
        return QFile::exists(path) ? path : QString();
    }
    // Runs the event loop until `done` holds or the time is up.
    static bool waitFor(const std::function<bool()>& done, int ms = 5000) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (done())
                loop.quit();
        });
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        poll.start(5);
        if (!done())
            loop.exec();
        return done();
    }
    QStringList messageTexts() const {
        QStringList out;
        for (const auto& m : boxes.messages())
            out << m.text;
        return out;
    }
};
