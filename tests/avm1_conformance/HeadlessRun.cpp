#include "HeadlessRun.h"
#include "movie/avm1/Avm1ScriptEngine.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptHost.h"
#include "movie/swf/BitReader.h"
#include "movie/swf/Container.h"
#include "movie/swf/MovieParser.h"
#include "movie/swf/TagReader.h"
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

QString readCString(swf::BitReader& r)
{
    QByteArray b;
    while (!r.atEnd()) {
        char c = char(r.u8());
        if (!c)
            break;
        b.append(c);
    }
    return QString::fromUtf8(b);
}

// The ScriptLimits tag (recursion depth, timeout in seconds), when the file has one.
std::pair<int, int> scriptLimits(const QByteArray& file)
{
    auto unpacked = swf::Container::unpack(file);
    if (!unpacked || unpacked.value().body.isEmpty())
        return {0, 0};
    const QByteArray& body = unpacked.value().body;
    const auto* data = reinterpret_cast<const uint8_t*>(body.constData());
    const size_t start = size_t((5 + 4 * (data[0] >> 3) + 7) / 8 + 4);
    if (start >= size_t(body.size()))
        return {0, 0};
    swf::TagReader tags(data + start, size_t(body.size()) - start);
    swf::Tag tag;
    while (tags.next(tag)) {
        if (tag.code == 65) {
            swf::BitReader r(tag.body, tag.length);
            int depth = r.u16();
            int timeout = r.u16();
            return {depth, timeout};
        }
    }
    return {0, 0};
}

// Adds the characters a movie imports from library files beside it.
std::shared_ptr<const swf::Movie> resolveImports(const std::shared_ptr<const swf::Movie>& movie,
                                                 const QByteArray& file, const QString& folder)
{
    auto unpacked = swf::Container::unpack(file);
    if (!unpacked)
        return movie;
    const QByteArray& body = unpacked.value().body;
    if (body.isEmpty())
        return movie;
    const auto* data = reinterpret_cast<const uint8_t*>(body.constData());
    const int nbits = data[0] >> 3;
    const size_t start = size_t((5 + 4 * nbits + 7) / 8 + 4);
    if (start >= size_t(body.size()))
        return movie;
    std::shared_ptr<swf::Movie> merged;
    swf::TagReader tags(data + start, size_t(body.size()) - start);
    swf::Tag tag;
    while (tags.next(tag)) {
        if (tag.code != 57 && tag.code != 71)
            continue;
        swf::BitReader r(tag.body, tag.length);
        const QString url = readCString(r);
        if (tag.code == 71)
            r.skip(2);
        const int count = r.u16();
        QFile lib(QDir(folder).filePath(url));
        if (!lib.open(QIODevice::ReadOnly))
            continue;
        auto parsed = swf::MovieParser::parse(lib.readAll());
        if (!parsed)
            continue;
        std::shared_ptr<const swf::Movie> library = parsed.value();
        if (!merged)
            merged = std::make_shared<swf::Movie>(*movie);
        for (int i = 0; i < count && !r.failed(); ++i) {
            const uint16_t id = r.u16();
            const QString name = readCString(r);
            if (const swf::Character* c = library->exported(name))
                merged->characters[id] = *c;
        }
        // What the imported symbols place inside themselves comes from the library too.
        for (const auto& [id, c] : library->characters)
            merged->characters.emplace(id, c);
    }
    return merged ? std::shared_ptr<const swf::Movie>(merged) : movie;
}

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
    std::shared_ptr<const swf::Movie> movie = resolveImports(parsed.value(), bytes, folder);

    Host host;
    host.base = folder;
    auto engine = std::make_unique<avm1::Avm1ScriptEngine>();
    auto context = std::make_unique<display::MovieContext>(movie, engine.get());
    auto root = std::make_shared<display::MovieClip>(context.get(), 0, &movie->timeline);
    engine->attach(root.get(), &host);
    auto [depth, timeout] = scriptLimits(bytes);
    engine->setScriptLimits(depth, timeout);
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
