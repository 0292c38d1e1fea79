// What a movie may reach depends on where it came from: a local movie reads
// local files or uses the network, never both; a movie from the network never
// reads local files. One table for the rules, then every loader a script has,
// run in real movies against a server in the test, to show each one asks them.
#include "support/TestFiles.h"
#include "movie/MoviePlayer.h"
#include "movie/avm1/LoadQueue.h"
#include "movie/host/LoadPolicy.h"
#include "movie/support/LocalHttpServer.h"
#include "movie/support/SwfBuilder.h"
#include "movie/swf/MovieParser.h"
#include "avm1/support/ActionAssembler.h"
#include "avm1/support/ScriptFixture.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

using namespace nimbrel::movie;
using nimbrel::movie::avm1::test::ActionAssembler;
using host::LoadPolicy;
using nimbrel::movie::test::LocalHttpServer;
using nimbrel::movie::test::SwfBuilder;

namespace {

using Sandbox = LoadPolicy::Sandbox;
using Use = LoadPolicy::Use;

struct PolicyRow {
    const char* base;
    bool useNetwork;
    Sandbox sandbox;
    bool readsFiles;   // Load of a local file
    bool loadsFromWeb; // Load (or sendAndLoad) of a web address
    bool opensWeb;     // getURL / send of a web address
};

// The movie's FileAttributes tag: only the "use network" bit is set or not.
QByteArray fileAttributes(bool useNetwork) {
    return QByteArray(1, useNetwork ? '\x01' : '\x00') + QByteArray(3, '\0');
}

// A movie with a clip named "clip" and two frames: the loader script, then
// (once the loads had time) nothing more. useNetwork unset: no FileAttributes tag.
QByteArray movieWith(const ActionAssembler& script, std::optional<bool> useNetwork, uint8_t version = 8) {
    SwfBuilder b;
    if (useNetwork) b.tag(69, fileAttributes(*useNetwork));
    b.placeEmptyClip(20, QStringLiteral("clip"));
    b.doAction(script.tagBody());
    b.showFrame();
    // Frame 2: if (clip.a != undefined) trace("vars " + clip.a); stop();
    ActionAssembler vars;
    vars.pushString("vars ").getVariable("clip").pushString("a").op(0x4E).op(0x47).trace();
    ActionAssembler second;
    second.getVariable("clip").pushString("a").op(0x4E).pushUndefined().op(0x49).ifTrue(int16_t(vars.size()));
    second.raw(vars.bytes()).op(0x07);
    b.doAction(second.tagBody());
    b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, version, {0, 11000, 0, 8000}, 24, 2);
}

// o = new <cls>(); o.<event> = function(a, b) { trace("<event> " + a); }
void newWithHandler(ActionAssembler& a, const QString& cls, const QString& event) {
    a.pushString("o").pushInt(0).pushString(cls).op(0x40).setVariable();
    a.getVariable("o").pushString(event)
        .defineFunction(QString(), {"a", "b"},
                        ActionAssembler().pushString(event + QLatin1Char(' ')).getVariable("a").op(0x47).trace())
        .op(0x4F);
}

// o.<method>(args...), result dropped.
void callOn(ActionAssembler& a, const QString& method, const QStringList& args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) a.pushString(*it);
    a.pushInt(int(args.size())).getVariable("o").pushString(method).op(0x52).op(0x17);
}

struct Loader {
    const char* name;
    // The script that loads url; what it traces when the load fails, and when
    // it loads the file beside the movie (data.txt or child.swf).
    std::function<ActionAssembler(const QString& url)> script;
    QStringList failureTrace;
    QStringList successTrace;
    bool navigates = false; // asks the host to open the address instead of loading it
    bool loadsMovie = false;
};

std::vector<Loader> loaders() {
    auto dataLoad = [](const char* cls, const char* method) {
        return [cls, method](const QString& url) {
            ActionAssembler a;
            newWithHandler(a, cls, "onLoad");
            if (QLatin1String(method) == QLatin1String("sendAndLoad")) // o is its own answer's target
                a.getVariable("o").pushString(url).pushInt(2).getVariable("o").pushString(method).op(0x52).op(0x17);
            else
                callOn(a, method, {url});
            return a;
        };
    };
    auto getUrl2 = [](uint8_t flags, const char* target) {
        return [flags, target](const QString& url) {
            ActionAssembler a;
            a.pushString(url).pushString(target).record(0x9A, {flags});
            return a;
        };
    };
    return {
        {"LoadVars.load", dataLoad("LoadVars", "load"), {"onLoad false"}, {"onLoad true"}},
        {"LoadVars.sendAndLoad", dataLoad("LoadVars", "sendAndLoad"), {"onLoad false"}, {"onLoad true"}},
        {"XML.load", dataLoad("XML", "load"), {"onLoad false"}, {"onLoad true"}},
        {"XML.sendAndLoad", dataLoad("XML", "sendAndLoad"), {"onLoad false"}, {"onLoad true"}},
        {"MovieClipLoader.loadClip",
         [](const QString& url) {
             ActionAssembler a;
             newWithHandler(a, "MovieClipLoader", "onLoadError");
             callOn(a, "loadClip", {url, QStringLiteral("clip")});
             return a;
         },
         {"onLoadError _level0.clip"}, {"child loaded"}, false, true},
        {"loadVariables", getUrl2(0xC0, "clip"), {}, {"vars 1"}},
        {"loadMovie", getUrl2(0x40, "clip"), {}, {"child loaded"}, false, true},
        {"getURL", getUrl2(0x00, "_blank"), {}, {}, true},
        {"LoadVars.send",
         [](const QString& url) {
             ActionAssembler a;
             newWithHandler(a, "LoadVars", "onLoad");
             callOn(a, "send", {url, QStringLiteral("_blank")});
             return a;
         },
         {}, {}, true},
    };
}

// Runs a movie from a folder for a few frames, letting the network answer meanwhile.
struct MovieRun {
    QStringList traces;
    QStringList opened;
};

// A server that a load did reach sees it within minMs; settled ends the run early.
MovieRun runMovie(const QString& path, int minMs = 0, std::function<bool(const MovieRun&)> settled = {}) {
    MoviePlayer p;
    MovieRun run;
    p.setTraceSink([&run](const QString& l) { run.traces.append(l); });
    QObject::connect(&p, &MoviePlayer::urlRequested, [&run](const QString& url, const QString&) { run.opened.append(url); });
    p.setMovie(path);
    EXPECT_TRUE(p.isLoaded()) << qPrintable(p.errorString());
    const QDeadlineTimer deadline(5000);
    QElapsedTimer running;
    running.start();
    // Frames keep coming until the answer arrived, or long enough that a request would have.
    for (int i = 0; !deadline.hasExpired(); ++i) {
        QEventLoop wait;
        QTimer::singleShot(2, &wait, &QEventLoop::quit);
        wait.exec();
        p.stepFrame();
        const bool waited = i >= 3 && running.elapsed() >= minMs;
        if (settled ? settled(run) : waited) break;
    }
    return run;
}


QByteArray childMovie() {
    SwfBuilder b;
    b.doAction(ActionAssembler().traceString(QStringLiteral("child loaded")).tagBody());
    b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8);
}

} // namespace

TEST(LoadPolicy, EachSandboxReadsFilesOrUsesTheNetworkNeverBoth) {
    const QUrl secret = QUrl::fromLocalFile(QStringLiteral("/etc/passwd"));
    const QUrl web(QStringLiteral("http://example.org/collect?data=x"));
    const PolicyRow rows[] = {
        // Movies before file attributes existed are local-with-files when opened from disk.
        {"/home/u/movies", false, Sandbox::LocalWithFiles, true, false, false},
        {"file:///home/u/movies", false, Sandbox::LocalWithFiles, true, false, false},
        {"C:/movies", false, Sandbox::LocalWithFiles, true, false, false},
        {"", false, Sandbox::LocalWithFiles, true, false, false},
        {"/home/u/movies", true, Sandbox::LocalWithNetwork, false, true, true},
        {"http://example.org/m/", false, Sandbox::Remote, false, true, true},
        {"https://example.org/m/", true, Sandbox::Remote, false, true, true},
    };
    for (const PolicyRow& row : rows) {
        SCOPED_TRACE(std::string(row.base) + (row.useNetwork ? " with network" : ""));
        const LoadPolicy policy = LoadPolicy::forMovie(QString::fromLatin1(row.base), row.useNetwork);
        EXPECT_EQ(policy.sandbox(), row.sandbox);
        EXPECT_EQ(policy.allows(Use::Load, secret), row.readsFiles);
        EXPECT_EQ(policy.allows(Use::Load, web), row.loadsFromWeb);
        EXPECT_EQ(policy.allows(Use::Navigate, web), row.opensWeb);
        EXPECT_EQ(policy.refusal(Use::Load, web).isEmpty(), row.loadsFromWeb);
        // No movie has the host open a local file, a script address or an unknown scheme,
        // nor loads from one.
        for (const char* other : {"javascript:alert(1)", "ftp://example.org/x", "data:text/plain,x"}) {
            EXPECT_FALSE(policy.allows(Use::Navigate, QUrl(QLatin1String(other)))) << other;
            EXPECT_FALSE(policy.allows(Use::Load, QUrl(QLatin1String(other)))) << other;
        }
        EXPECT_FALSE(policy.allows(Use::Navigate, secret));
    }
}

TEST(LoadPolicy, TheUseNetworkFileAttributeIsReadFromTheMovie) {
    for (std::optional<bool> flag : {std::optional<bool>(), std::optional<bool>(false), std::optional<bool>(true)}) {
        for (uint8_t version : {6, 8, 10}) {
            auto parsed = swf::MovieParser::parse(movieWith(ActionAssembler(), flag, version));
            ASSERT_TRUE(parsed);
            EXPECT_EQ(parsed.value()->useNetwork, flag.value_or(false)) << int(version);
        }
    }
}

TEST(LoadPolicy, ALocalMovieWithoutTheNetworkFlagReachesNoServerWithAnyLoader) {
    LocalHttpServer server(LocalHttpServer::Mode::Answer);
    QTemporaryDir dir;
    for (const Loader& loader : loaders()) {
        for (std::optional<bool> flag : {std::optional<bool>(), std::optional<bool>(false)}) {
            SCOPED_TRACE(std::string(loader.name) + (flag ? " with the flag off" : " without attributes"));
            const QString path = dir.filePath(QStringLiteral("m.swf"));
            writeTestFile(path, movieWith(loader.script(server.url(QStringLiteral("/leak?secret=1"))), flag));
            const MovieRun run = runMovie(path, 150);
            EXPECT_EQ(run.traces, loader.failureTrace);
            EXPECT_TRUE(run.opened.isEmpty());
            EXPECT_TRUE(server.requests().isEmpty()) << qPrintable(server.requests().join(QLatin1Char('\n')));
        }
    }
}

TEST(LoadPolicy, ALocalMovieWithTheNetworkFlagReadsNoLocalFileButReachesTheNetwork) {
    LocalHttpServer server(LocalHttpServer::Mode::Answer);
    QTemporaryDir dir;
    writeTestFile(dir.filePath(QStringLiteral("data.txt")), "a=1");
    writeTestFile(dir.filePath(QStringLiteral("child.swf")), childMovie());
    const QString path = dir.filePath(QStringLiteral("m.swf"));
    for (const Loader& loader : loaders()) {
        if (loader.navigates) continue; // nothing local is ever opened; see the table
        SCOPED_TRACE(loader.name);
        const QString local = loader.loadsMovie ? QStringLiteral("child.swf") : QStringLiteral("data.txt");
        for (const QString& url : {local, QUrl::fromLocalFile(dir.filePath(local)).toString()}) {
            writeTestFile(path, movieWith(loader.script(url), true));
            EXPECT_EQ(runMovie(path).traces, loader.failureTrace) << qPrintable(url);
            // Without the flag the same movie reads the file.
            writeTestFile(path, movieWith(loader.script(url), std::nullopt));
            EXPECT_EQ(runMovie(path).traces, loader.successTrace) << qPrintable(url);
        }
    }
    // The same movie does reach the network.
    ActionAssembler web;
    newWithHandler(web, "LoadVars", "onLoad");
    callOn(web, "load", {server.url(QStringLiteral("/vars"))});
    writeTestFile(path, movieWith(web, true));
    EXPECT_EQ(runMovie(path, 0, [](const MovieRun& r) { return !r.traces.isEmpty(); }).traces, QStringList{"onLoad true"});
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_TRUE(server.requests()[0].startsWith(QLatin1String("GET /vars")));
    // And a getURL reaches the host.
    ActionAssembler open;
    open.pushString(server.url(QStringLiteral("/page"))).pushString("_blank").record(0x9A, {0});
    writeTestFile(path, movieWith(open, true));
    EXPECT_EQ(runMovie(path).opened, QStringList{server.url(QStringLiteral("/page"))});
}

TEST(LoadPolicy, ALocalFileReadCannotBeSentOutAfterwards) {
    // The reported leak: read a local file, then put it in a web address.
    LocalHttpServer server(LocalHttpServer::Mode::Answer);
    QTemporaryDir dir;
    writeTestFile(dir.filePath(QStringLiteral("secret.txt")), "s=hidden");
    ActionAssembler a;
    // x = new XML(); x.onData = function(t) { trace("read " + t); l = new LoadVars();
    //   l.onLoad = ...; l.load("http://server/?" + t); }; x.load("secret.txt")
    ActionAssembler send;
    send.pushString("read ").getVariable("t").op(0x47).trace();
    send.pushString("o").pushInt(0).pushString("LoadVars").op(0x40).setVariable();
    send.getVariable("o").pushString("onLoad")
        .defineFunction(QString(), {"a"}, ActionAssembler().pushString("sent ").getVariable("a").op(0x47).trace())
        .op(0x4F);
    send.pushString(server.url(QStringLiteral("/?"))).getVariable("t").op(0x47).pushInt(1).getVariable("o")
        .pushString("load").op(0x52).op(0x17);
    a.pushString("x").pushInt(0).pushString("XML").op(0x40).setVariable();
    a.getVariable("x").pushString("onData").defineFunction(QString(), {"t"}, send).op(0x4F);
    a.pushString(QUrl::fromLocalFile(dir.filePath(QStringLiteral("secret.txt"))).toString()).pushInt(1)
        .getVariable("x").pushString("load").op(0x52).op(0x17);
    writeTestFile(dir.filePath(QStringLiteral("m.swf")), movieWith(a, std::nullopt));
    EXPECT_EQ(runMovie(dir.filePath(QStringLiteral("m.swf")), 150).traces, QStringList({"read s=hidden", "sent false"}));
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST(LoadPolicy, AMovieFromTheNetworkReadsNoLocalFile) {
    QTemporaryDir dir;
    writeTestFile(dir.filePath(QStringLiteral("secret.txt")), "s=hidden");
    avm1::test::ScriptFixture f;
    f.vm->movieUrl = QStringLiteral("http://127.0.0.1:1/movies/");
    f.vm->clockMs = [] { return 0.0; };
    for (const QString& url : {QUrl::fromLocalFile(dir.filePath(QStringLiteral("secret.txt"))).toString(),
                               QStringLiteral("file:///etc/passwd")}) {
        SCOPED_TRACE(url.toStdString());
        EXPECT_FALSE(avm1::LoadQueue::of(*f.vm).start(f.vm->root, url, [](auto&, const auto&) {}));
        EXPECT_EQ(avm1::LoadQueue::of(*f.vm).policy().sandbox(), Sandbox::Remote);
    }
}
