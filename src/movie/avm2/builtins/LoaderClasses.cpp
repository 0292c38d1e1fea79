#include "movie/avm2/builtins/LoaderClasses.h"
#include "movie/avm2/ByteArrayObject.h"
#include "movie/avm2/LoadRequests.h"
#include "movie/avm2/LoaderInfoObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/builtins/BitmapDataClass.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/avm2/builtins/LoadEventClasses.h"
#include "movie/bitmap/PictureDecoder.h"
#include "movie/display/BitmapObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptHost.h"
#include "movie/swf/Movie.h"
#include "movie/swf/MovieParser.h"
#include <QUrlQuery>

namespace nimbrel::movie::avm2 {

using namespace native;
using display::DisplayObject;
using display::MovieClip;

namespace loader_natives {

constexpr int kMaxLoadRounds = 16;

LoaderInfoObject& thisInfo(Runtime& rt, const Value& self) {
    auto* info = self.isObject() ? dynamic_cast<LoaderInfoObject*>(self.obj()) : nullptr;
    if (!info) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("flash.display.LoaderInfo")});
    return *info;
}
ObjectPtr allocateInfo(const ClassObject&) { return std::make_shared<LoaderInfoObject>(); }
Value refuseConstruct(Runtime& rt, const Value&, Args) {
    rt.raise(QStringLiteral("ArgumentError"), 2012, {QStringLiteral("LoaderInfo$")});
}

std::shared_ptr<LoaderInfoObject> newInfo(Runtime& rt) {
    return std::static_pointer_cast<LoaderInfoObject>(rt.builtin(QStringLiteral("flash.display.LoaderInfo"))->allocate());
}

QString mainMovieUrl(Runtime& rt) {
    display::ScriptHost* host = rt.stage ? rt.stage->host() : nullptr;
    return host ? host->movieUrl() : QString();
}

// The main movie's LoaderInfo, kept with the main timeline's script object.
// The Stage has one of its own that describes the same movie but hears nothing.
std::shared_ptr<LoaderInfoObject> rootInfo(Runtime& rt, bool forStage = false) {
    if (!rt.stage) return nullptr;
    auto root = rt.stage->wrap(rt.stage->root());
    EventTargetObject& holder = forStage ? *rt.stage->stage() : *root;
    const Value kept = holder.stored.value(QStringLiteral("loaderInfo"));
    if (kept.isObject()) return std::static_pointer_cast<LoaderInfoObject>(kept.o);
    auto info = newInfo(rt);
    const auto& movie = rt.stage->root()->context()->movie();
    info->movie = movie;
    info->url = info->loaderUrl = mainMovieUrl(rt);
    info->bytesLoaded = info->bytesTotal = movie->fileBytes;
    info->content = Value::object(root);
    info->announced = forStage;
    holder.stored.insert(QStringLiteral("loaderInfo"), Value::object(info));
    return info;
}

Value getLoaderInfo(Runtime& rt, const Value& self, Args) {
    if (!rt.stage) return Value::null();
    if (self.obj() == rt.stage->stage()) return Value::object(rootInfo(rt, true));
    const DisplayObject* d = thisDisplay(rt, self);
    if (!d) return Value::null();
    // The top of the movie the object belongs to holds its LoaderInfo.
    const DisplayObject* top = d;
    while (top->parent() && top->parent()->context() == top->context()) top = top->parent();
    if (top == rt.stage->root()) return Value::object(rootInfo(rt));
    return rt.stage->wrap(const_cast<DisplayObject*>(top))->stored.value(QStringLiteral("loaderInfo"), Value::null());
}

// What a LoaderInfo tells only once the kind of file is known.
const swf::Movie& loadedMovie(Runtime& rt, const LoaderInfoObject& info) {
    if (!info.movie) rt.raise(QStringLiteral("Error"), 2099);
    return *info.movie;
}
Value textOrNull(const QString& s) { return s.isEmpty() ? Value::null() : Value::string(s); }

Value infoUrl(Runtime& rt, const Value& s, Args) { return textOrNull(thisInfo(rt, s).url); }
Value infoLoaderUrl(Runtime& rt, const Value& s, Args) { return textOrNull(thisInfo(rt, s).loaderUrl); }
Value infoBytesLoaded(Runtime& rt, const Value& s, Args) { return Value::unsignedInt(uint32_t(thisInfo(rt, s).bytesLoaded)); }
Value infoBytesTotal(Runtime& rt, const Value& s, Args) { return Value::unsignedInt(uint32_t(thisInfo(rt, s).bytesTotal)); }
Value infoContent(Runtime& rt, const Value& s, Args) { return thisInfo(rt, s).content; }
Value infoLoader(Runtime& rt, const Value& s, Args) { return thisInfo(rt, s).loader; }
Value infoContentType(Runtime& rt, const Value& s, Args) {
    const LoaderInfoObject& info = thisInfo(rt, s);
    if (info.movie && !info.picture) return Value::string(QStringLiteral("application/x-shockwave-flash"));
    if (!info.picture) return Value::null();
    if (info.bytes.startsWith("\x89PNG")) return Value::string(QStringLiteral("image/png"));
    if (info.bytes.startsWith("GIF8")) return Value::string(QStringLiteral("image/gif"));
    return Value::string(QStringLiteral("image/jpeg"));
}
Value infoActionScriptVersion(Runtime& rt, const Value& s, Args) {
    const LoaderInfoObject& info = thisInfo(rt, s);
    return Value::unsignedInt(loadedMovie(rt, info).actionScript3 || info.picture ? 3u : 2u);
}
Value infoSwfVersion(Runtime& rt, const Value& s, Args) { return Value::unsignedInt(loadedMovie(rt, thisInfo(rt, s)).header.version); }
Value infoFrameRate(Runtime& rt, const Value& s, Args) { return Value::number(loadedMovie(rt, thisInfo(rt, s)).header.frameRate); }
Value infoWidth(Runtime& rt, const Value& s, Args) {
    const LoaderInfoObject& info = thisInfo(rt, s);
    return Value::integer(info.picture ? info.pictureSize.width() : int(loadedMovie(rt, info).header.stage.width() / 20));
}
Value infoHeight(Runtime& rt, const Value& s, Args) {
    const LoaderInfoObject& info = thisInfo(rt, s);
    return Value::integer(info.picture ? info.pictureSize.height() : int(loadedMovie(rt, info).header.stage.height() / 20));
}
Value infoBytes(Runtime& rt, const Value& s, Args) {
    const LoaderInfoObject& info = thisInfo(rt, s);
    if (info.bytes.isEmpty() && !info.started) return Value::null();
    Value ba = rt.constructClass(*rt.builtin(QStringLiteral("flash.utils.ByteArray")), {});
    static_cast<ByteArrayObject*>(ba.obj())->bytes = info.bytes;
    return ba;
}
// The variables of the address's query, as strings.
Value infoParameters(Runtime& rt, const Value& s, Args) {
    LoaderInfoObject& info = thisInfo(rt, s);
    if (!info.parameters.isObject()) {
        info.parameters = Value::object(rt.newObject());
        const QUrl url(info.url);
        for (const auto& [k, v] : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
            PropertyAccess::set(rt, info.parameters, Name::publicName(k), Value::string(v));
    }
    return info.parameters;
}
Value infoDomain(Runtime& rt, const Value&, Args) {
    ClassObject* domain = rt.builtin(QStringLiteral("flash.system.ApplicationDomain"));
    return domain ? PropertyAccess::get(rt, Value::object(domain->shared_from_this()), Name::publicName(QStringLiteral("currentDomain")))
                  : Value::null();
}
Value newDispatcher(Runtime& rt) { return rt.constructClass(*rt.builtin(QStringLiteral("flash.events.EventDispatcher")), {}); }
Value infoSharedEvents(Runtime& rt, const Value& s, Args) {
    LoaderInfoObject& info = thisInfo(rt, s);
    if (!info.sharedEvents.isObject()) info.sharedEvents = newDispatcher(rt);
    return info.sharedEvents;
}
Value infoUncaughtErrorEvents(Runtime& rt, const Value& s, Args) {
    LoaderInfoObject& info = thisInfo(rt, s);
    if (!info.uncaughtErrorEvents.isObject()) info.uncaughtErrorEvents = newDispatcher(rt);
    return info.uncaughtErrorEvents;
}
Value yes(Runtime&, const Value&, Args) { return Value::boolean(true); }
Value no(Runtime&, const Value&, Args) { return Value::boolean(false); }

// ---- Loader ----

struct LoaderParts {
    EventTargetObject& self;
    MovieClip* clip;
    std::shared_ptr<LoaderInfoObject> info;
};
LoaderParts loaderOf(Runtime& rt, const Value& self) {
    EventTargetObject& t = thisTarget(rt, self);
    const Value info = t.stored.value(QStringLiteral("contentLoaderInfo"));
    auto* clip = t.displayObject && t.displayObject->type() == DisplayObject::Type::MovieClip ? static_cast<MovieClip*>(t.displayObject.get()) : nullptr;
    return {t, clip, info.isObject() ? std::static_pointer_cast<LoaderInfoObject>(info.o) : nullptr};
}

Value constructLoader(Runtime& rt, const Value& self, Args) {
    EventTargetObject& t = thisTarget(rt, self);
    if (!t.displayObject && rt.stage) {
        MovieClip* root = rt.stage->root();
        auto made = std::make_shared<MovieClip>(root->context(), 0, nullptr);
        made->start();
        made->setName(rt.stage->nextInstanceName());
        rt.stage->bind(std::static_pointer_cast<EventTargetObject>(t.shared_from_this()), made);
    }
    auto info = newInfo(rt);
    info->loader = self;
    info->loaderUrl = mainMovieUrl(rt);
    t.stored.insert(QStringLiteral("contentLoaderInfo"), Value::object(info));
    return Value();
}

void send(Runtime& rt, const Value& target, const Value& event) {
    PropertyAccess::call(rt, target, Name::publicName(QStringLiteral("dispatchEvent")), Args{&event, 1});
}
void sendPlain(Runtime& rt, const Value& target, const char* type) {
    send(rt, target, Value::object(rt.stage ? rt.stage->newEvent(QStringLiteral("flash.events.Event"), QString::fromLatin1(type))
                                            : nullptr));
}
void sendIoError(Runtime& rt, const Value& target, const QString& text, int id) {
    send(rt, target, LoadEventClasses::make(rt, "flash.events.IOErrorEvent", QStringLiteral("ioError"),
                                            {{"text", Value::string(text)}, {"errorID", Value::integer(id)}}));
}
void sendProgress(Runtime& rt, const Value& target, qint64 loaded, qint64 total) {
    send(rt, target, LoadEventClasses::make(rt, "flash.events.ProgressEvent", QStringLiteral("progress"),
                                            {{"bytesLoaded", Value::number(double(loaded))}, {"bytesTotal", Value::number(double(total))}}));
}

// Takes what the Loader shows off it, and forgets what its LoaderInfo knew.
void clearContent(Runtime& rt, LoaderParts& l) {
    if (l.clip && rt.stage)
        while (!l.clip->children().empty()) rt.stage->removeChild(*l.clip, *l.clip->children().begin()->second);
    l.info->content = Value::null();
    l.info->movie.reset();
    l.info->picture = false;
    l.info->bytes.clear();
    l.info->bytesLoaded = l.info->bytesTotal = 0;
    l.info->started = true;
}

// A loaded movie's bytecode runs and its document class is made over its
// main timeline, which the Loader then shows.
std::shared_ptr<DisplayObject> showMovie(Runtime& rt, MovieClip& holder, const std::shared_ptr<const swf::Movie>& movie) {
    display::MovieContext* ctx = rt.stage->root()->context()->contextForLoaded(movie);
    if (!ctx) return nullptr;
    auto clip = std::make_shared<MovieClip>(ctx, 0, &ctx->movie()->timeline);
    clip->placedByScript = true;
    clip->start();
    std::shared_ptr<EventTargetObject> document;
    if (movie->actionScript3) {
        for (const swf::AbcBlock& block : movie->abcBlocks) rt.loadAndRun(block.bytes, block.lazyInitialize());
        for (const swf::SymbolClassLink& link : movie->symbolClasses) {
            if (link.characterId != 0) continue;
            if (auto cls = rt.findClass(link.className)) document = std::dynamic_pointer_cast<EventTargetObject>(cls->allocate());
        }
    }
    if (document) rt.stage->bind(document, clip);
    auto info = std::static_pointer_cast<LoaderInfoObject>(rt.stage->wrap(&holder)->stored.value(QStringLiteral("contentLoaderInfo")).o);
    rt.stage->wrap(clip.get())->stored.insert(QStringLiteral("loaderInfo"), Value::object(info));
    info->content = rt.stage->valueOf(clip.get());
    if (document) rt.runConstructor(*document->cls, Value::object(document), {});
    rt.stage->addChildAt(holder, clip, 0);
    return clip;
}

// What came for a Loader, reported in the reference order: open, progress,
// then init and complete, or ioError for a file that is missing or of no known kind.
void arrived(Runtime& rt, const std::weak_ptr<ScriptObject>& weakLoader, const QString& url, bool fromBytes, const QByteArray& data,
             bool ok) {
    auto loaderObj = weakLoader.lock();
    if (!loaderObj || !rt.stage) return;
    const Value self = Value::object(loaderObj);
    LoaderParts l = loaderOf(rt, self);
    if (!l.info) return;
    const Value info = Value::object(l.info);
    if (!ok) {
        sendIoError(rt, info, QStringLiteral("Error #2035: URL Not Found. URL: %1").arg(url), 2035);
        return;
    }
    if (!fromBytes) {
        l.info->url = url;
        sendPlain(rt, info, "open");
        l.info->bytesTotal = data.size();
        sendProgress(rt, info, 0, data.size());
        l.info->bytesLoaded = data.size();
        sendProgress(rt, info, data.size(), data.size());
    }
    auto parsed = swf::MovieParser::parse(data);
    std::shared_ptr<QImage> picture = parsed ? nullptr : bitmap::PictureDecoder::decode(data);
    if (!parsed && !picture) {
        sendIoError(rt, info, QStringLiteral("Error #2124: Loaded file is an unknown type. URL: %1").arg(url), 2124);
        return;
    }
    l.info->bytes = data;
    if (parsed) {
        l.info->movie = parsed.value();
        if (l.clip) showMovie(rt, *l.clip, parsed.value());
    } else {
        l.info->picture = true;
        l.info->pictureSize = picture->size();
        auto movie = std::make_shared<swf::Movie>();
        movie->header.version = rt.stage->root()->context()->movie()->header.version;
        movie->header.frameRate = rt.stage->root()->context()->movie()->header.frameRate;
        l.info->movie = movie;
        Value bitmapData = BitmapDataClass::fromImage(rt, *picture, picture->hasAlphaChannel());
        Value content = rt.constructClass(*rt.builtin(QStringLiteral("flash.display.Bitmap")), Args{&bitmapData, 1});
        if (DisplayObject* d = StageBridge::displayOf(content); d && l.clip) {
            rt.stage->wrap(d)->stored.insert(QStringLiteral("loaderInfo"), info);
            rt.stage->addChildAt(*l.clip, d->shared_from_this(), 0);
        }
        l.info->content = content;
    }
    sendPlain(rt, info, "init");
    sendPlain(rt, info, "complete");
}

QString requestUrl(Runtime& rt, const Value& request) {
    if (request.isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("request")});
    const Value url = PropertyAccess::get(rt, request, Name::publicName(QStringLiteral("url")));
    if (url.isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("url")});
    return rt.toString(url);
}

void startLoad(Runtime& rt, const Value& self, const QString& url, const QByteArray* bytes) {
    LoaderParts l = loaderOf(rt, self);
    LoadRequests* loads = LoaderClasses::requests(rt);
    if (!l.info || !loads) return;
    const Value pending = l.self.stored.value(QStringLiteral("pendingLoad"));
    if (pending.isNumeric()) loads->cancel(uint64_t(pending.numberValue()));
    if (!bytes) clearContent(rt, l);
    const QString resolved = bytes ? QString() : loads->resolve(url).toString();
    std::weak_ptr<ScriptObject> weak = l.self.shared_from_this();
    const bool fromBytes = bytes != nullptr;
    auto done = [&rt, weak, resolved, fromBytes](const QByteArray& data, bool ok) { arrived(rt, weak, resolved, fromBytes, data, ok); };
    const uint64_t ticket = bytes ? loads->startWithBytes(*bytes, done) : loads->start(url, done);
    l.self.stored.insert(QStringLiteral("pendingLoad"), Value::number(double(ticket)));
}

Value load(Runtime& rt, const Value& self, Args a) {
    startLoad(rt, self, requestUrl(rt, a[0]), nullptr);
    return Value();
}
// Bytes in hand are measured at once: the progress events, and the error for
// bytes of no known kind, come inside the call; what they hold is shown later.
Value loadBytes(Runtime& rt, const Value& self, Args a) {
    if (!a[0].isObject() || a[0].obj()->type != ScriptObject::Type::ByteArray) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("bytes")});
    const QByteArray bytes = static_cast<ByteArrayObject*>(a[0].obj())->bytes;
    LoaderParts l = loaderOf(rt, self);
    if (!l.info) return Value();
    clearContent(rt, l);
    const Value info = Value::object(l.info);
    l.info->bytesTotal = bytes.size();
    sendProgress(rt, info, 0, bytes.size());
    l.info->bytesLoaded = bytes.size();
    sendProgress(rt, info, bytes.size(), bytes.size());
    if (!swf::MovieParser::parse(bytes) && !bitmap::PictureDecoder::looksLikePicture(bytes)) {
        sendIoError(rt, info, QStringLiteral("Error #2124: Loaded file is an unknown type."), 2124);
        return Value();
    }
    startLoad(rt, self, QString(), &bytes);
    return Value();
}
Value unload(Runtime& rt, const Value& self, Args) {
    LoaderParts l = loaderOf(rt, self);
    if (!l.info) return Value();
    const bool had = !l.info->content.isNullish();
    clearContent(rt, l);
    if (had) sendPlain(rt, Value::object(l.info), "unload");
    return Value();
}
Value close(Runtime& rt, const Value& self, Args) {
    LoaderParts l = loaderOf(rt, self);
    const Value pending = l.self.stored.value(QStringLiteral("pendingLoad"));
    if (LoadRequests* loads = LoaderClasses::requests(rt); loads && pending.isNumeric()) loads->cancel(uint64_t(pending.numberValue()));
    return Value();
}
Value content(Runtime& rt, const Value& self, Args) {
    LoaderParts l = loaderOf(rt, self);
    return l.info ? l.info->content : Value::null();
}
Value contentLoaderInfo(Runtime& rt, const Value& self, Args) { return thisTarget(rt, self).stored.value(QStringLiteral("contentLoaderInfo"), Value::null()); }

// flash.system.LoaderContext(checkPolicyFile, applicationDomain, securityDomain): settings a load carries.
void setSetting(Runtime& rt, const Value& self, const char* name, const Value& v) {
    PropertyAccess::set(rt, self, Name::publicName(QString::fromLatin1(name)), v);
}
void contextSettings(Runtime& rt, const Value& self, Args a) {
    setSetting(rt, self, "checkPolicyFile", Value::boolean(boolArg(a, 0, false)));
    setSetting(rt, self, "applicationDomain", a.count > 1 ? a[1] : Value::null());
    setSetting(rt, self, "securityDomain", a.count > 2 ? a[2] : Value::null());
    setSetting(rt, self, "allowCodeImport", Value::boolean(true));
    setSetting(rt, self, "allowLoadBytesCodeExecution", Value::boolean(true));
    setSetting(rt, self, "parameters", Value::null());
    setSetting(rt, self, "requestedContentParent", Value::null());
    setSetting(rt, self, "imageDecodingPolicy", Value::string(QStringLiteral("onDemand")));
}
Value constructContext(Runtime& rt, const Value& self, Args a) {
    contextSettings(rt, self, a);
    return Value();
}
// JPEGLoaderContext(deblockingFilter, checkPolicyFile, applicationDomain, securityDomain).
Value constructJpegContext(Runtime& rt, const Value& self, Args a) {
    contextSettings(rt, self, Args{a.count > 1 ? a.values + 1 : nullptr, std::max(0, a.count - 1)});
    setSetting(rt, self, "deblockingFilter", Value::number(numberArg(rt, a, 0, 0)));
    return Value();
}

} // namespace loader_natives

void LoaderClasses::addDisplayMembers(ClassObject& displayObject) {
    addMembers(displayObject, {{"get loaderInfo", loader_natives::getLoaderInfo}});
}

LoadRequests* LoaderClasses::requests(Runtime& rt) {
    if (!rt.stage) return nullptr;
    if (!rt.stage->loads) {
        display::ScriptHost* player = rt.stage->host();
        const QString base = player ? player->baseUrl() : QString();
        const bool network = rt.stage->root()->context()->movie()->useNetwork;
        rt.stage->loads = std::make_shared<LoadRequests>(base, host::LoadPolicy::forMovie(base, network), nullptr);
    }
    return rt.stage->loads.get();
}

void LoaderClasses::frameEnded(Runtime& rt, int) {
    if (!rt.stage) return;
    // The main movie has come in whole by the end of its first frame.
    if (auto info = loader_natives::rootInfo(rt); !info->announced) {
        info->announced = true;
        loader_natives::sendPlain(rt, Value::object(info), "init");
        loader_natives::sendPlain(rt, Value::object(info), "complete");
    }
    // Local files come at once: a chain of loads, each started by the answer
    // to the one before, ends within the frame (up to a bound).
    for (int round = 0; round < loader_natives::kMaxLoadRounds && rt.stage->loads && rt.stage->loads->deliver(); ++round) {
    }
}

void LoaderClasses::install(Runtime& rt) {
    using namespace loader_natives;
    const QString pkg = QStringLiteral("flash.display");
    auto info = rt.defineNativeClass(pkg, QStringLiteral("LoaderInfo"), rt.builtin(QStringLiteral("flash.events.EventDispatcher")), {});
    info->nativeAllocate = allocateInfo;
    info->constructor = MethodRef{nullptr, 0, refuseConstruct, info.get()};
    info->dynamicInstances = false;
    addMembers(*info, {{"get url", infoUrl}, {"get loaderURL", infoLoaderUrl}, {"get bytesLoaded", infoBytesLoaded},
                       {"get bytesTotal", infoBytesTotal}, {"get content", infoContent}, {"get loader", infoLoader},
                       {"get contentType", infoContentType}, {"get actionScriptVersion", infoActionScriptVersion},
                       {"get swfVersion", infoSwfVersion}, {"get frameRate", infoFrameRate}, {"get width", infoWidth},
                       {"get height", infoHeight}, {"get bytes", infoBytes}, {"get parameters", infoParameters},
                       {"get applicationDomain", infoDomain}, {"get sharedEvents", infoSharedEvents},
                       {"get uncaughtErrorEvents", infoUncaughtErrorEvents}, {"get childAllowsParent", yes},
                       {"get parentAllowsChild", yes}, {"get sameDomain", yes}, {"get isURLInaccessible", no}});

    auto loader = rt.defineNativeClass(pkg, QStringLiteral("Loader"), rt.builtin(QStringLiteral("flash.display.DisplayObjectContainer")), {});
    loader->constructor = MethodRef{nullptr, 0, constructLoader, loader.get()};
    loader->dynamicInstances = false;
    addMembers(*loader, {{"load", load, 2}, {"loadBytes", loadBytes, 2}, {"unload", unload}, {"unloadAndStop", unload, 1},
                         {"close", close}, {"get content", content}, {"get contentLoaderInfo", contentLoaderInfo}});

    auto context = rt.defineNativeClass(QStringLiteral("flash.system"), QStringLiteral("LoaderContext"), rt.builtin(QStringLiteral("Object")), {});
    context->constructor = MethodRef{nullptr, 0, constructContext, context.get()};
    auto jpegContext = rt.defineNativeClass(QStringLiteral("flash.system"), QStringLiteral("JPEGLoaderContext"), context.get(), {});
    jpegContext->constructor = MethodRef{nullptr, 0, constructJpegContext, jpegContext.get()};

    auto version = rt.defineNativeClass(pkg, QStringLiteral("ActionScriptVersion"), rt.builtin(QStringLiteral("Object")), {});
    version->isFinal = true;
    rt.defineStaticConstant(*version, QStringLiteral("ACTIONSCRIPT2"), Value::unsignedInt(2));
    rt.defineStaticConstant(*version, QStringLiteral("ACTIONSCRIPT3"), Value::unsignedInt(3));
}

} // namespace nimbrel::movie::avm2
