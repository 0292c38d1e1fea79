// The real executable: started with an empty settings folder and stopped with
// SIGTERM, it closes like its close button and leaves the first-run keys and
// its geometry in the store.
#include "platform/SettingsStore.h"
#include "platform/Twips.h"
#include "player/AppSettings.h"
#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#ifdef NIMBREL_APP_PATH

namespace {

using nimbrel::player::AppSettings;

QSet<QString> storedKeys(const QString& folder) {
    nimbrel::platform::SettingsStore store(folder);
    QSet<QString> keys;
    for (const auto& pair : store.section("Nimbrel", "bfsz"))
        keys << pair.first.toLower();
    return keys;
}

TEST(AppProcess, TerminateClosesNormallyAndStoresGeometry) {
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    const QString folder = config.path() + "/Nimbrel";

    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config.path());
    app.setProcessEnvironment(env);
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(NIMBREL_APP_PATH, {});
    ASSERT_TRUE(app.waitForStarted(10000));

    // The first-run keys appear once the window has loaded.
    QElapsedTimer waited;
    waited.start();
    while (!storedKeys(folder).contains("zdbf") && waited.elapsed() < 20000 && app.state() == QProcess::Running)
        QThread::msleep(50);
    ASSERT_EQ(app.state(), QProcess::Running) << "the program ended by itself";
    ASSERT_TRUE(storedKeys(folder).contains("zdbf")) << "the window never loaded";
    EXPECT_FALSE(storedKeys(folder).contains("mleft"));

    app.terminate();
    ASSERT_TRUE(app.waitForFinished(20000));
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.exitCode(), 0);

    EXPECT_EQ(storedKeys(folder),
              (QSet<QString>{"bfms", "ncjc", "tmd", "zdbf", "mleft", "mtop", "mwidth", "mheight"}));
    nimbrel::platform::SettingsStore store(folder);
    EXPECT_EQ(store.value("Nimbrel", "bfsz", "bfms"), "0");
    EXPECT_EQ(store.value("Nimbrel", "bfsz", "tmd"), "false");
    // The window was never resized, so its design size comes back in twips.
    using nimbrel::platform::Twips;
    const double dx = Twips::dpiX(nullptr), dy = Twips::dpiY(nullptr);
    EXPECT_EQ(store.value("Nimbrel", "bfsz", "mwidth"),
              AppSettings::twipsText(Twips::toPixels(15750, dx) * Twips::perPixel(dx)));
    EXPECT_EQ(store.value("Nimbrel", "bfsz", "mheight"),
              AppSettings::twipsText(Twips::toPixels(9885, dy) * Twips::perPixel(dy)));
}

} // namespace

#endif
