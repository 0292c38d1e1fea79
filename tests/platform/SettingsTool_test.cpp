// nimbrel-settings, run as a user would run it.
#include "platform/AsOrdinaryUser.h"
#include "SettingsProcessPaths.h" // generated: where the tool was built

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class SettingsToolTest : public ::testing::Test {
protected:
    QTemporaryDir config;

    ToolRun runTool(const QStringList& args, const QString& configHome = QString()) const {
        return run(QStringLiteral(NIMBREL_SETTINGS_TOOL), args, configHome);
    }
    // Run by root, the tool runs as user "nobody", for whom read-only files are read-only.
    // (Qt refuses to run with only the effective user switched.)
    ToolRun runToolAsOrdinaryUser(const QStringList& args) const {
        if (::geteuid() != 0)
            return runTool(args);
        const uid_t nobody = nimbrel::settingstest::AsOrdinaryUser::kNobody;
        return run(QStringLiteral("setpriv"),
                   QStringList{QStringLiteral("--reuid=%1").arg(nobody), QStringLiteral("--regid=%1").arg(nobody),
                               QStringLiteral("--clear-groups"), QStringLiteral(NIMBREL_SETTINGS_TOOL)}
                       + args);
    }
    ToolRun run(const QString& program, const QStringList& args, const QString& configHome = QString()) const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome.isEmpty() ? config.path() : configHome);
        p.setProcessEnvironment(env);
        p.start(program, args);
        ToolRun r;
        if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit)
            return r;
        r.exitCode = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    void expectUsageError(const QStringList& args) const {
        const ToolRun r = runTool(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains("--help")) << r.err.toStdString();
    }
};

TEST_F(SettingsToolTest, SetGetListDeleteSection) {
    EXPECT_EQ(runTool({"set", "NIMBREL", "BFSZ", "MLEFT", "1200"}).exitCode, 0);
    EXPECT_EQ(runTool({"set", "Nimbrel", "bfsz", "tmd", "false"}).exitCode, 0);
    EXPECT_EQ(runTool({"set", "Nimbrel", "bfsz", "mleft", "1500"}).exitCode, 0);
    EXPECT_TRUE(QFile::exists(config.path() + "/Nimbrel/settings.log"));

    ToolRun r = runTool({"get", "nimbrel", "Bfsz", "mLeft"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "1500\n");
    r = runTool({"get", "Nimbrel", "bfsz", "missing"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "\n");

    r = runTool({"list", "Nimbrel", "bfsz"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "MLEFT=1500\ntmd=false\n");

    EXPECT_EQ(runTool({"delete-section", "nimbrel", "BFSZ"}).exitCode, 0);
    r = runTool({"list", "Nimbrel", "bfsz"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(runTool({"get", "Nimbrel", "bfsz", "tmd"}).out, "\n");
}

TEST_F(SettingsToolTest, ListKeepsOnePairPerLine) {
    const QString multi = QString::fromUtf8("第一行\n第二行 C:\\dir\\n\ttab");
    EXPECT_EQ(runTool({"set", "Nimbrel", "bflb", "1", multi}).exitCode, 0);
    EXPECT_EQ(runTool({"set", "Nimbrel", "bflb", "2", "plain=text"}).exitCode, 0);

    EXPECT_EQ(runTool({"list", "Nimbrel", "bflb"}).out,
              QString::fromUtf8("1=第一行\\n第二行 C:\\\\dir\\\\n\ttab\n2=plain=text\n"));
    // get gives the value as stored.
    EXPECT_EQ(runTool({"get", "Nimbrel", "bflb", "1"}).out, multi + "\n");

    const ToolRun help = runTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("\\n")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("\\\\")) << help.out.toStdString();
}

TEST_F(SettingsToolTest, BadCommandLinesAreUsageErrors) {
    expectUsageError({});
    expectUsageError({"frobnicate", "Nimbrel", "bfsz"});
    expectUsageError({"get", "Nimbrel", "bfsz"});
    expectUsageError({"set", "Nimbrel", "bfsz", "key"});
    expectUsageError({"list", "Nimbrel"});
    expectUsageError({"delete-section", "Nimbrel", "bfsz", "extra"});
    EXPECT_FALSE(QFile::exists(config.path() + "/Nimbrel/settings.log"));
}

TEST_F(SettingsToolTest, WriteFailureExitsWithOne) {
    // A plain file where the settings folder should be.
    QFile blocker(config.path() + "/Nimbrel");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    for (const QStringList& args : {QStringList{"set", "Nimbrel", "bfsz", "a", "1"}, QStringList{"delete-section", "Nimbrel", "bfsz"}}) {
        const ToolRun r = runTool(args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("could not be written")) << r.err.toStdString();
    }
}

TEST_F(SettingsToolTest, ReportsADamagedStoreSetAside) {
    QDir().mkpath(config.path() + "/Nimbrel");
    QFile log(config.path() + "/Nimbrel/settings.log");
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write("not a settings file\n");
    log.close();
    const ToolRun r = runTool({"get", "Nimbrel", "bfsz", "mleft"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "\n");
    EXPECT_TRUE(r.err.contains("settings.log.corrupt-")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("nothing in the settings file could be read")) << r.err.toStdString();
}

TEST_F(SettingsToolTest, NamesWhatADamagedLineCostAndKeepsTheRest) {
    EXPECT_EQ(runTool({"set", "Nimbrel", "bfsz", "mleft", "1200"}).exitCode, 0);
    EXPECT_EQ(runTool({"set", "Nimbrel", "bfsz", "tmd", "128"}).exitCode, 0);
    QFile log(config.path() + "/Nimbrel/settings.log");
    ASSERT_TRUE(log.open(QIODevice::ReadWrite));
    QByteArray bytes = log.readAll();
    const qsizetype at = bytes.indexOf("\tmleft\t") + 7;
    bytes[at] = char(bytes[at] ^ 1); // "1200" no longer matches its checksum
    ASSERT_TRUE(log.seek(0));
    ASSERT_EQ(log.write(bytes), bytes.size());
    log.close();

    ToolRun r = runTool({"list", "Nimbrel", "bfsz"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "tmd=128\n");
    EXPECT_TRUE(r.err.contains("1 damaged line(s)")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("lost in Nimbrel bfsz: mleft\n")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("kept as " + config.path() + "/Nimbrel/settings.log.corrupt-")) << r.err.toStdString();

    // Told once: the file was rewritten.
    r = runTool({"list", "Nimbrel", "bfsz"});
    EXPECT_EQ(r.out, "tmd=128\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(SettingsToolTest, ReadOnlyStoreIsSaidInWords) {
    EXPECT_EQ(runTool({"set", "Nimbrel", "bfsz", "mleft", "1200"}).exitCode, 0);
    const QString folder = config.path() + "/Nimbrel";
    nimbrel::settingstest::AsOrdinaryUser::allowInto(config.path(), folder);
    ASSERT_TRUE(QFile::setPermissions(folder + "/settings.lock", QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                   | QFileDevice::ReadOther | QFileDevice::WriteOther));
    ASSERT_TRUE(QFile::setPermissions(folder + "/settings.log", QFileDevice::ReadOwner | QFileDevice::ReadOther));

    const ToolRun r = runToolAsOrdinaryUser({"set", "Nimbrel", "bfsz", "mleft", "90"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("the settings file is read-only")) << r.err.toStdString();
    EXPECT_EQ(runTool({"get", "Nimbrel", "bfsz", "mleft"}).out, "1200\n");
}

} // namespace
