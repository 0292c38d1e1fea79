#include "HeadlessRun.h"
#include "movie/avm1/Avm1ScriptEngine.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptHost.h"
#include "movie/swf/MovieParser.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace nimbrel::movie;

namespace {

struct Host : display::ScriptHost {
    QString base;
    QString output;
    bool quit = false;
    void trace(const QString& line) override { output += line + QLatin1Char('\n'); }
    void fsCommand(const QString& command, const QString&) override
    {
        if (command.compare(QLatin1String("quit"), Qt::CaseInsensitive) == 0)
            quit = true;
    }
    void getUrl(const QString&, const QString&) override {}
    QString baseUrl() const override { return base; }
};

} // namespace

HeadlessResult runHeadless(const QString& swfPath, int frames)
{
    HeadlessResult result;
    QFile f(swfPath);
    if (!f.open(QIODevice::ReadOnly)) {
        result.error = f.errorString();
        return result;
    }
    const QByteArray bytes = f.readAll();
    auto parsed = swf::MovieParser::parse(bytes);
    if (!parsed) {
        result.error = parsed.error();
        return result;
    }
    const QString folder = QFileInfo(swfPath).absolutePath();
    // Libraries are looked up beside the movie.
    std::shared_ptr<const swf::Movie> movie = swf::Movie::withImports(parsed.value(), [&](const QString& url) {
        QFile lib(QDir(folder).filePath(url));
        return lib.open(QIODevice::ReadOnly) ? lib.readAll() : QByteArray();
    });

    Host host;
    host.base = folder;
    auto engine = std::make_unique<avm1::Avm1ScriptEngine>();
    auto context = std::make_unique<display::MovieContext>(movie, engine.get());
    auto root = std::make_shared<display::MovieClip>(context.get(), 0, &movie->timeline);
    engine->attach(root.get(), &host);
    engine->setScriptLimits(movie->maxRecursion, movie->scriptTimeout);
    // Loading shows the first frame; each further advance is one more frame.
    engine->frameStarted();
    root->start();
    root->flushActions();
    engine->runQueuedActions();
    for (int i = 1; i < frames && !host.quit; ++i) {
        context->nextTick();
        engine->frameStarted();
        root->dispatchEnterFrame();
        root->tick();
        engine->runQueuedActions();
    }
    engine->detach();
    root->removed();
    root.reset();
    result.loaded = true;
    result.trace = host.output;
    return result;
}
