#include "movie/MoviePlayer.h"
#include "movie/MoviePlayerImpl.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QtEndian>
#include <QPromise>
#include <QThreadPool>
#include <QPainter>
#include <QPaintDevice>
#include <QUrl>
#include <cmath>
#include <optional>

namespace nimbrel::movie {

namespace {
// A movie with no usable frame rate plays at the rate most authoring tools default to.
constexpr double fallbackFrameRate = 12.0;
constexpr double maxFrameRate = 120.0;

// The parsed movie with the libraries it imports, read beside it; remote
// libraries are not fetched. Safe on any thread.
std::shared_ptr<const swf::Movie> withLocalImports(const std::shared_ptr<const swf::Movie>& parsed,
                                                   const QString& baseUrl) {
    // Libraries the movie imports from are read beside it, when the movie may
    // read local files; remote ones are not fetched.
    const host::LoadPolicy policy = host::LoadPolicy::forMovie(baseUrl, parsed->useNetwork);
    const bool localBase = !baseUrl.isEmpty() && policy.sandbox() == host::LoadPolicy::Sandbox::LocalWithFiles;
    return swf::Movie::withImports(parsed, [&](const QString& url) {
        if (!localBase || QUrl(url).scheme().startsWith(QLatin1String("http"))) return QByteArray();
        const QString path = QDir(baseUrl).filePath(url);
        if (!policy.allows(host::LoadPolicy::Use::Load, QUrl::fromLocalFile(path))) return QByteArray();
        QFile lib(path);
        if (!lib.open(QIODevice::ReadOnly) || lib.size() > MoviePlayer::maxFileBytes) return QByteArray();
        return lib.readAll();
    });
}

struct ParsedFile {
    std::shared_ptr<const swf::Movie> movie;
    QString error;
};

// Reads and parses a local movie; runs on a worker thread.
ParsedFile readAndParse(const QString& path, const QString& baseUrl) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {nullptr, file.errorString()};
    auto parsed = swf::MovieParser::parse(file.read(MoviePlayer::maxFileBytes));
    if (!parsed) return {nullptr, parsed.error()};
    return {withLocalImports(parsed.value(), baseUrl), QString()};
}
} // namespace


MoviePlayer::MoviePlayer(QObject* parent) : QObject(parent), d(std::make_unique<Impl>()) {
    d->q = this;
    d->factory = avm1::Avm1ScriptEngine::factory();
    d->pointer.levelsAbove = [this] {
        std::vector<display::MovieClip*> above;
        for (const auto& level : d->levels.roots()) above.insert(above.begin(), level.get());
        return above;
    };
    // A clip's sound settings apply to its sounds and to those of the clips inside it.
    d->sound.mixer().setGainSource([this](sound::Owner owner) {
        sound::ChannelMix mix;
        for (auto* clip = static_cast<const display::DisplayObject*>(owner); clip; clip = clip->parent())
            mix = d->sound.ownerMix(clip).after(mix);
        return mix;
    });
}

MoviePlayer::~MoviePlayer() { clear(); }

void MoviePlayer::clear() {
    d->sound.reset();
    d->audio->stopAll();
    d->audioCarry = 0;
    if (d->fetcher) d->fetcher->cancelAll();
    if (d->scripts) d->scripts->detach();
    d->levels.clear();
    if (d->root) d->root->removed();
    d->root.reset();
    d->context.reset();
    d->scripts.reset();
    d->movie.reset();
    d->pending = 0;
    d->cutAtMs.reset();
    d->clock.reset();
    d->pointer.reset();
    d->keys.reset();
    d->focus.reset();
    d->focusHighlight = true;
    d->lastPointer.reset();
    d->outlines.clear();
    d->navigation.reset();
}

void MoviePlayer::fail(const QString& reason) {
    d->error = reason;
    emit loadFailed(reason);
    emit repaintNeeded();
}

void MoviePlayer::setMovie(const QString& pathOrUrl) {
    if (d->busy) {
        // The running script ends promptly; the movie is replaced once it has unwound.
        if (d->scripts) d->scripts->cancelRunningScripts();
        QMetaObject::invokeMethod(this, [this, pathOrUrl] { setMovie(pathOrUrl); }, Qt::QueuedConnection);
        return;
    }
    clear();
    ++d->loadTicket; // whatever was still being parsed is no longer wanted
    d->moviePath = pathOrUrl;
    d->error.clear();
    if (pathOrUrl.isEmpty()) {
        emit repaintNeeded();
        return;
    }
    const QUrl url(pathOrUrl);
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        if (!d->fetcher) d->fetcher = new host::NetworkFetcher(this);
        const QString requested = pathOrUrl;
        d->fetcher->fetch(url, [this, requested](const QByteArray& data, const QString& error) {
            if (d->moviePath != requested) return; // another movie was set meanwhile
            if (!error.isEmpty()) return fail(error);
            loadData(data, QUrl(requested).adjusted(QUrl::RemoveFilename).toString(), requested);
        });
        return;
    }
    // Windows-style drive paths ("C:/...") parse as a one-letter scheme: treat as local.
    const QString local = scheme == QLatin1String("file") ? url.toLocalFile() : pathOrUrl;
    QFile file(local);
    if (!file.open(QIODevice::ReadOnly)) return fail(file.errorString());
    if (file.size() > maxFileBytes) return fail(QStringLiteral("file is too large"));
    const QString base = QFileInfo(local).absolutePath();
    d->address = QUrl::fromLocalFile(QFileInfo(local).absoluteFilePath()).toString();
    // A compressed file declares its unpacked length in the header: that is
    // what parsing works through.
    const QByteArray head = file.peek(8);
    const bool movieHeader = head.size() == 8 && (head.startsWith("FWS") || head.startsWith("CWS") || head.startsWith("ZWS"));
    const qint64 unpacked = movieHeader ? qFromLittleEndian<quint32>(head.constData() + 4) : 0;
    if (std::max(file.size(), unpacked) <= backgroundParseBytes) {
        loadData(file.read(maxFileBytes), base, d->address);
        return;
    }
    file.close();
    // The watcher belongs to this player, so its result is dropped with it;
    // the worker owns everything it touches.
    const quint64 ticket = d->loadTicket;
    auto promise = std::make_shared<QPromise<ParsedFile>>();
    auto* watcher = new QFutureWatcher<ParsedFile>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, ticket, base] {
        watcher->deleteLater();
        if (ticket != d->loadTicket || watcher->future().resultCount() == 0) return;
        const ParsedFile result = watcher->result();
        if (!result.movie) return fail(result.error);
        startParsed(result.movie, base);
    });
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, local, base] {
        promise->addResult(readAndParse(local, base));
        promise->finish();
    });
}

QString MoviePlayer::movie() const { return d->moviePath; }

bool MoviePlayer::loadData(const QByteArray& bytes, const QString& baseUrl, const QString& movieUrl) {
    if (d->busy) {
        d->error = QStringLiteral("a movie cannot be replaced while its scripts run");
        return false;
    }
    ++d->loadTicket;
    if (d->root) clear();
    d->address = movieUrl;
    auto parsed = swf::MovieParser::parse(bytes);
    if (!parsed) {
        fail(parsed.error());
        return false;
    }
    return startParsed(withLocalImports(parsed.value(), baseUrl), baseUrl);
}

bool MoviePlayer::startParsed(std::shared_ptr<const swf::Movie> movie, const QString& baseUrl) {
    if (d->busy) {
        // Finishing a background parse while scripts run: wait for them.
        QMetaObject::invokeMethod(this, [this, movie, baseUrl, ticket = d->loadTicket] {
            if (ticket == d->loadTicket) startParsed(movie, baseUrl);
        }, Qt::QueuedConnection);
        return false;
    }
    if (d->root) clear();
    d->error.clear();
    d->base = baseUrl;
    d->movie = std::move(movie);
    if (d->enginePerMovie && d->movie->actionScript3) d->scripts = avm2::Avm2ScriptEngine::factory()();
    else d->scripts = d->factory ? d->factory() : nullptr;
    if (!d->scripts) d->scripts = std::make_unique<display::NullScriptEngine>();
    d->context = std::make_unique<display::MovieContext>(d->movie, d->scripts.get());
    d->context->setSound(&d->sound);
    d->root = std::make_shared<display::MovieClip>(d->context.get(), 0, &d->movie->timeline);
    d->view = d->movie->header.stage.toQRectF();
    Impl::Busy busy(*d);
    d->scripts->attach(d->root.get(), d.get());
    d->scripts->setScriptLimits(d->movie->maxRecursion, d->movie->scriptTimeout);
    Impl::ScriptRun run(*d->scripts);
    d->scripts->frameStarted();
    d->root->start();
    d->root->flushActions();
    d->scripts->runQueuedActions();
    emit loaded();
    emit repaintNeeded();
    return true;
}

bool MoviePlayer::isLoaded() const { return d->root != nullptr; }
QString MoviePlayer::errorString() const { return d->error; }

void MoviePlayer::play() {
    if (d->root) d->root->play();
}

void MoviePlayer::stop() {
    if (d->root) d->root->stop();
    // The user's pause is silent at once, what the output still holds included.
    d->sound.mixer().stopAll();
    d->audio->stopAll();
}

void MoviePlayer::rewind() {
    if (!d->root) return;
    if (d->busy) {
        QMetaObject::invokeMethod(this, [this] { rewind(); }, Qt::QueuedConnection);
        return;
    }
    Impl::Busy busy(*d);
    Impl::ScriptRun run(*d->scripts);
    d->root->gotoFrame(0, d->root->isPlaying());
    d->scripts->runQueuedActions();
    emit repaintNeeded();
}

bool MoviePlayer::isPlaying() const { return d->root && d->root->isPlaying(); }
int MoviePlayer::frameNum() const { return d->root ? d->root->currentFrame() : 0; }
void MoviePlayer::setFrameNum(int frame) { gotoFrame(frame); }
int MoviePlayer::totalFrames() const { return d->movie ? d->root->totalFrames() : 0; }

void MoviePlayer::gotoFrame(int frame) {
    if (!d->root) return;
    // Not under a running script: the display list it works on would change.
    if (d->busy) {
        QMetaObject::invokeMethod(this, [this, frame] { gotoFrame(frame); }, Qt::QueuedConnection);
        return;
    }
    Impl::Busy busy(*d);
    Impl::ScriptRun run(*d->scripts);
    d->root->gotoFrame(frame, false);
    d->scripts->runQueuedActions();
    emit repaintNeeded();
}

void MoviePlayer::zoom(int percent) {
    if (!d->movie) return;
    d->view = render::StageLayout::zoom(d->view, d->movie->header.stage.toQRectF(), percent);
    emit repaintNeeded();
}

void MoviePlayer::setScaleMode(int mode) {
    d->scaleMode = std::clamp(mode, 0, 2);
    emit repaintNeeded();
}
int MoviePlayer::scaleMode() const { return d->scaleMode; }
void MoviePlayer::setMenuEnabled(bool on) { d->menu = on; }
bool MoviePlayer::menuEnabled() const { return d->menu; }

double MoviePlayer::frameRate() const { return d->movie ? d->movie->header.frameRate : 0; }

double MoviePlayer::frameIntervalMs() const {
    double rate = frameRate();
    if (!(rate > 0.01)) rate = fallbackFrameRate;
    return 1000.0 / std::min(rate, maxFrameRate);
}

void MoviePlayer::advanceTime(double elapsedMs) {
    // Never a frame inside a running script (a host's nested event processing).
    if (!d->root || !(elapsedMs > 0) || d->busy) return;
    Impl::Busy busy(*d);
    if (d->cutAtMs) {
        // The time a cut-short frame took is not made up for afterwards.
        elapsedMs = std::min(elapsedMs, std::max(0.0, d->scriptClockMs() - *d->cutAtMs));
        d->cutAtMs.reset();
    }
    d->pending += elapsedMs;
    const double interval = frameIntervalMs();
    int frames = int(std::floor(d->pending / interval));
    if (frames > maxCatchUpFrames) {
        frames = maxCatchUpFrames;
        d->pending = 0;
    } else {
        d->pending -= frames * interval;
    }
    bool cut = false;
    for (int i = 0; i < frames && d->root; ++i) {
        if (d->advanceOneFrame()) {
            d->pending = 0;
            d->cutAtMs = d->scriptClockMs();
            cut = true;
            break;
        }
    }
    if (!cut) d->followStreamSound();
    // After a stall the sound goes on where it was rather than arriving all at once.
    constexpr double maxMixMs = 250;
    d->produceAudio(std::min(elapsedMs, maxMixMs));
}

void MoviePlayer::stepFrame() {
    if (!d->root || d->busy) return;
    Impl::Busy busy(*d);
    // The frame on show plays its interval of sound, then the next one runs.
    d->produceAudio(frameIntervalMs());
    d->advanceOneFrame();
}

// ---- sound -----------------------------------------------------------------------

void MoviePlayer::setAudioOutput(host::AudioOutput* output) {
    d->audio->stopAll();
    d->audio = output ? output : &d->nullAudio;
}

void MoviePlayer::setSoundVolume(double volume) { d->sound.mixer().setMasterVolume(volume); }
double MoviePlayer::soundVolume() const { return d->sound.mixer().masterVolume(); }

void MoviePlayer::Impl::produceAudio(double ms) {
    if (!root || !(ms > 0)) return;
    // Frame intervals are at most 100 s (the slowest frame rate); nothing asks for more.
    ms = std::min(ms, 100000.0);
    const double exact = ms * sound::SoundMixer::sampleRate / 1000.0 + audioCarry;
    const int frames = int(std::floor(exact));
    audioCarry = exact - frames;
    if (frames <= 0) return;
    QByteArray bytes(qsizetype(frames) * 4, Qt::Uninitialized);
    sound.mixer().mix(reinterpret_cast<int16_t*>(bytes.data()), frames);
    if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
        auto* p = reinterpret_cast<int16_t*>(bytes.data());
        for (int i = 0; i < frames * 2; ++i) p[i] = qToLittleEndian(p[i]);
    }
    audio->write(bytes);
}

void MoviePlayer::Impl::followStreamSound() {
    const double perFrame = sound::SoundMixer::sampleRate * q->frameIntervalMs() / 1000.0;
    // The stream goes on while the next frame carries a block of it.
    auto streaming = [this] {
        const swf::Timeline* timeline = root ? root->timeline() : nullptr;
        if (!timeline || !timeline->streamHead || !root->isPlaying()) return false;
        const int next = root->currentFrame() + 1;
        if (next >= timeline->frameCount()) return false;
        for (const auto& tag : timeline->frame(next).tags)
            if (std::holds_alternative<swf::SoundStreamBlock>(tag)) return true;
        return false;
    };
    // Bounded, so a timeline whose blocks decode to nothing cannot run away.
    constexpr int kMaxExtraFrames = 8;
    for (int i = 0; i < kMaxExtraFrames && streaming() && sound.mixer().streamQueued(root->soundOwner()) < perFrame; ++i)
        if (advanceOneFrame()) break;
}

bool MoviePlayer::Impl::advanceOneFrame() {
    bool cut = false;
    {
        ScriptRun run(*scripts);
        clock.advance(q->frameIntervalMs());
        context->nextTick();
        scripts->frameStarted();
        // Taken once the frame has started (unloads asked for last frame are done by then);
        // held so that a script unloading a movie meanwhile does not pull it from under the tick.
        const auto frameRoots = stageRoots();
        for (const auto& r : frameRoots) r->dispatchEnterFrame();
        for (const auto& r : frameRoots) r->tick();
        scripts->runQueuedActions();
        if (lastPointer) pointer.updateDrag(*lastPointer);
    }
    cut = scripts->lastRunCut();
    emit q->repaintNeeded();
    return cut;
}


void MoviePlayer::setQuality(const QString& name) {
    d->setQuality(name);
    emit repaintNeeded();
}

QString MoviePlayer::quality() const { return d->qualityName; }


double MoviePlayer::elapsedMs() const { return d->clock.elapsedMs(); }

QSize MoviePlayer::stageSize() const {
    if (!d->movie) return {};
    const swf::Rect& r = d->movie->header.stage;
    return QSize(int(std::lround(r.width() / 20.0)), int(std::lround(r.height() / 20.0)));
}

QColor MoviePlayer::backgroundColor() const {
    return d->movie ? d->movie->backgroundColor.toQColor() : QColor(Qt::white);
}

QImage MoviePlayer::renderImage(const QSize& viewport, qreal dpr) {
    const QSize pixels(int(std::ceil(viewport.width() * dpr)), int(std::ceil(viewport.height() * dpr)));
    QColor bg = backgroundColor();
    bg.setAlpha(255);
    if (!d->root || viewport.isEmpty()) {
        QImage image(pixels.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        image.fill(bg);
        return image;
    }
    const QTransform stage =
        render::StageLayout::transform(d->view, QSizeF(viewport), render::ScaleMode(d->scaleMode)) *
        QTransform::fromScale(dpr, dpr);
    render::StageRenderer renderer(*d->movie, &d->outlines);
    renderer.setQuality(render::StageRenderer::qualityFromName(d->qualityName));
    QImage image = renderer.picture(pixels.expandedTo(QSize(1, 1)), bg, *d->root, stage);
    // Levels are drawn over the main movie, each on its own transparent stage.
    for (const auto& level : d->levels.roots())
        if (level->visible) renderer.render(image, *level, stage);
    return image;
}

void MoviePlayer::render(QPainter& painter, const QSize& viewport) {
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    QImage image = renderImage(viewport, dpr);
    image.setDevicePixelRatio(dpr);
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(viewport)), image);
}

bool MoviePlayer::scriptsStopped() const { return scriptStopReason() != StopReason::None; }

MoviePlayer::StopReason MoviePlayer::scriptStopReason() const {
    if (!d->scripts) return StopReason::None;
    switch (d->scripts->scriptsStopped()) {
    case display::ScriptStop::None: return StopReason::None;
    case display::ScriptStop::RanTooLong: return StopReason::RanTooLong;
    case display::ScriptStop::RunawayRecursion: return StopReason::RunawayRecursion;
    }
    return StopReason::None;
}

QString MoviePlayer::stopMessage(StopReason why) {
    switch (why) {
    case StopReason::RanTooLong: return QStringLiteral("the movie's scripts ran too long and were stopped");
    case StopReason::RunawayRecursion:
        return QStringLiteral("the movie's scripts recursed without end and were stopped");
    case StopReason::None: break;
    }
    return QString();
}

bool MoviePlayer::isBusy() const { return d->busy > 0; }
void MoviePlayer::setStillRunningHook(std::function<void()> hook) { d->stillRunningHook = std::move(hook); }
void MoviePlayer::setScriptClock(std::function<double()> wallMs) { d->scriptClock = std::move(wallMs); }

void MoviePlayer::cancelRunningScripts() {
    if (d->busy && d->scripts) d->scripts->cancelRunningScripts();
}

void MoviePlayer::deleteWhenIdle() {
    d->stillRunningHook = nullptr;
    if (!d->busy) {
        deleteLater();
        return;
    }
    d->deleteRequested = true;
    cancelRunningScripts();
}

std::shared_ptr<const swf::Movie> MoviePlayer::parsedMovie() const { return d->movie; }
display::MovieClip* MoviePlayer::root() const { return d->root.get(); }
void MoviePlayer::setScriptEngineFactory(ScriptEngineFactory factory) {
    d->factory = std::move(factory);
    d->enginePerMovie = false;
}
void MoviePlayer::setTraceSink(std::function<void(const QString&)> sink) { d->traceSink = std::move(sink); }

} // namespace nimbrel::movie
