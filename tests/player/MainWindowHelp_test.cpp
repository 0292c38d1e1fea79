// The help menu's two windows from the main window: one of each however often they
// are opened, both gone when the main window closes, and the about window kept in
// front of a topmost main window by a real window manager.
#include "MainWindowFixture.h"
#include "help/AboutWindow.h"
#include "help/HelpTopics.h"
#include "help/HelpWindow.h"
#include "help/HelpWindows.h"
#include "player/MainMenus.h"
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QProcess>
#include <QRandomGenerator>
#include <QScreen>
#include <QStandardPaths>
#include <QWindow>

using nimbrel::help::AboutWindow;
using nimbrel::help::HelpWindow;

namespace {

class MainWindowHelpTest : public MainWindowFixture {
protected:
    static QList<QWidget*> visibleNamed(const char* name) {
        QList<QWidget*> out;
        for (QWidget* t : QApplication::topLevelWidgets()) {
            if (t->objectName() == QLatin1String(name) && t->isVisible())
                out << t;
        }
        return out;
    }
};

// Share of the pixels of `a` and `b` (same size) that are equal.
double sameShare(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull())
        return 0.0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    qint64 same = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            same += (p[col] & 0xFFFFFF) == (q[col] & 0xFFFFFF);
    }
    return double(same) / (double(x.width()) * x.height());
}

QImage onScreen(const QRect& globalRect) {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen->grabWindow(0, globalRect.x(), globalRect.y(), globalRect.width(),
                              globalRect.height()).toImage();
}

// Set in the process started under its own display with a window manager.
constexpr const char* WmChildVariable = "NIMBREL_HELP_WM_CHILD";

} // namespace

TEST_F(MainWindowHelpTest, HelpMenuItemsAreOffered) {
    auto w = start();
    EXPECT_TRUE(w->menus->MNUsy->isEnabled());
    EXPECT_TRUE(w->menus->MNURJ->isEnabled());
    EXPECT_EQ(w->menus->MNUsy->text(), QString::fromUtf8("使用帮助..."));
    EXPECT_EQ(w->menus->MNURJ->text(), QString::fromUtf8("关于软件..."));
}

TEST_F(MainWindowHelpTest, HelpItemOpensOneHelpWindowOnTheTips) {
    auto w = start();
    w->menus->MNUsy->trigger();
    ASSERT_EQ(visibleNamed("flashhelp").size(), 1);
    auto* help = qobject_cast<HelpWindow*>(visibleNamed("flashhelp").first());
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->topic(), nimbrel::help::HelpTopics::Tips);
    help->frmhelp(5);
    w->menus->MNUsy->trigger();
    ASSERT_EQ(visibleNamed("flashhelp").size(), 1);
    EXPECT_EQ(visibleNamed("flashhelp").first(), help);
    EXPECT_EQ(help->topic(), 5);
}

TEST_F(MainWindowHelpTest, AboutItemOpensOneAboutWindow) {
    auto w = start();
    w->menus->MNURJ->trigger();
    w->menus->MNURJ->trigger();
    const QList<QWidget*> open = visibleNamed("about");
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open.first(), w->helpWindows->about());
    EXPECT_FALSE(open.first()->isModal());
}

TEST_F(MainWindowHelpTest, ClosingTheMainWindowUnloadsHelpAndAbout) {
    auto w = start();
    w->show();
    w->MNUsy_Click();
    w->MNURJ_Click();
    QPointer<HelpWindow> help = w->helpWindows->help();
    QPointer<AboutWindow> about = w->helpWindows->about();
    ASSERT_FALSE(help.isNull());
    ASSERT_FALSE(about.isNull());
    w->close();
    EXPECT_TRUE(help.isNull());
    EXPECT_TRUE(about.isNull());
    EXPECT_TRUE(visibleNamed("flashhelp").isEmpty());
    EXPECT_TRUE(visibleNamed("about").isEmpty());
    // The geometry is still stored on the way out.
    EXPECT_FALSE(setting("mleft").isEmpty());
}

// Whether a window stays in front is the window manager's business, so this runs
// itself again on a display of its own with a window manager (openbox) started
// there, and checks what that display shows.
TEST_F(MainWindowHelpTest, AboutStaysInFrontOfATopmostMainWindow) {
    if (!qEnvironmentVariableIsSet(WmChildVariable)) {
        const QString wm = QStandardPaths::findExecutable("openbox");
        const QString xvfbRun = QStandardPaths::findExecutable("xvfb-run");
        if (wm.isEmpty() || xvfbRun.isEmpty())
            GTEST_SKIP() << "needs openbox and xvfb-run to stack real windows";
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const QString filter = QString::fromUtf8(info->test_suite_name()) + "." + info->name();
        // The run starts once the window manager is up and stops it when done; the
        // run's exit code comes back through a file.
        const QString rcFile = dir.path() + "/child-rc";
        const QString script = dir.path() + "/child.sh";
        {
            QFile f(script);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("\"$NIMBREL_HELP_EXE\" --gtest_filter=\"$NIMBREL_HELP_FILTER\"\n"
                    "echo $? > \"$NIMBREL_HELP_RC\"\n"
                    "\"$NIMBREL_HELP_WM\" --exit\n");
        }
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(WmChildVariable, "1");
        env.insert("NIMBREL_HELP_EXE", QCoreApplication::applicationFilePath());
        env.insert("NIMBREL_HELP_FILTER", filter);
        env.insert("NIMBREL_HELP_RC", rcFile);
        env.insert("NIMBREL_HELP_WM", wm);
        env.insert("XDG_CONFIG_HOME", dir.path());
        env.remove("QT_QPA_PLATFORM");
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        // A display number of its own, as the test script picks one, so that
        // parallel runs do not race for the same one.
        const int display = 100 + int(QRandomGenerator::global()->bounded(800));
        child.start(xvfbRun, {"-a", "-n", QString::number(display), "-s", "-screen 0 1280x800x24",
                              wm, "--sm-disable", "--startup", "/bin/sh " + script});
        ASSERT_TRUE(child.waitForStarted(10000));
        const bool finished = child.waitForFinished(120000);
        const QString output = QString::fromUtf8(child.readAll());
        if (!finished)
            child.kill();
        ASSERT_TRUE(finished) << output.toStdString();
        QFile rc(rcFile);
        ASSERT_TRUE(rc.open(QIODevice::ReadOnly)) << "the run never started\n" << output.toStdString();
        EXPECT_EQ(rc.readAll().trimmed(), "0") << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
        return;
    }

    auto w = start();
    // What the always-on-top option does to the main window.
    w->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    w->move(0, 0);
    w->show();
    ASSERT_TRUE(waitFor([&] { return w->windowHandle() && w->windowHandle()->isExposed(); }));

    w->MNURJ_Click();
    QPointer<AboutWindow> about = w->helpWindows->about();
    ASSERT_FALSE(about.isNull());
    // The window manager has framed it: it is managing our windows.
    ASSERT_TRUE(waitFor([&] {
        return about->windowHandle()->isExposed() && about->frameGeometry() != about->geometry();
    })) << "the window manager did not take the about window";
    about->move(w->x() + w->width() - about->frameGeometry().width() - 40, w->y() + 60);

    // An ordinary window over the other side of the main window: the topmost main
    // window must hide it, or what the screen shows proves nothing.
    QWidget plain;
    plain.setWindowTitle("plain");
    plain.setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette magenta = plain.palette();
    magenta.setColor(QPalette::Window, QColor(0xFF, 0x00, 0xFF));
    plain.setPalette(magenta);
    plain.setAutoFillBackground(true);
    plain.setGeometry(w->x() + 40, w->y() + 200, 200, 150);
    plain.show();
    ASSERT_TRUE(waitFor([&] { return plain.windowHandle()->isExposed(); }));
    ASSERT_FALSE(plain.frameGeometry().intersects(about->frameGeometry()));

    w->raise();
    w->activateWindow();
    QElapsedTimer settle;
    settle.start();
    waitFor([&] { return settle.elapsed() > 1000; }, 2000);

    const QRect plainRect(plain.mapToGlobal(QPoint(0, 0)), plain.size());
    EXPECT_LT(sameShare(onScreen(plainRect), plain.grab().toImage()), 0.05)
        << "the topmost main window does not cover an ordinary window";
    const QRect aboutRect(about->mapToGlobal(QPoint(0, 0)), about->size());
    EXPECT_GT(sameShare(onScreen(aboutRect), about->grab().toImage()), 0.95)
        << "the about window went behind the main window";
}
