// NetStream and Video: FLV files played from disk or the web into Video
// objects. The file is fetched through the movie's loads (and so its load
// policy); the engine's playback does the rest, and what it reports reaches
// the stream's onStatus, onMetaData and onCuePoint at the start of a frame.
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/LoadQueue.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/NativeConstructor.h"
#include "movie/avm1/NetStreamObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/VideoObject.h"
#include "movie/sound/SoundPlayback.h"
#include "movie/video/NetStreamPlayback.h"
#include <algorithm>

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

video::NetStreamPlayback* playbackOf(const Value& self)
{
    auto* stream = dynamic_cast<NetStreamObject*>(self.object());
    return stream ? stream->playback().get() : nullptr;
}

display::VideoObject* videoOf(const Value& self)
{
    auto* o = dynamic_cast<MovieClipObject*>(self.object());
    display::DisplayObject* d = o && !o->isRemoved() ? o->display() : nullptr;
    return d && d->type() == display::DisplayObject::Type::Video ? static_cast<display::VideoObject*>(d) : nullptr;
}

Value scriptValue(Interpreter& vm, const video::ScriptValue& v)
{
    using K = video::ScriptValue;
    switch (v.kind) {
    case K::Null: return Value::null();
    case K::Number: return Value(v.number);
    case K::Boolean: return Value(v.boolean);
    case K::String: return Value(v.string);
    case K::Date: {
        const Value date = vm.global ? vm.global->get(QStringLiteral("Date")) : Value();
        return date.isObject() ? vm.construct(date, {Value(v.number)}) : Value(v.number);
    }
    case K::Object: {
        Object* o = vm.newObject();
        for (const auto& [name, member] : v.members)
            o->set(name, scriptValue(vm, member));
        return Value(o);
    }
    case K::Array: {
        ArrayObject* a = vm.newArray();
        for (const K& item : v.items)
            a->elements.push_back(scriptValue(vm, item));
        for (const auto& [name, member] : v.members)
            a->set(name, scriptValue(vm, member));
        return Value(static_cast<Object*>(a));
    }
    default: return Value();
    }
}

void deliver(Interpreter& vm, Object* stream, const video::NetStreamPlayback::Event& e)
{
    using E = video::NetStreamPlayback::Event;
    QString handlerName;
    Value arg;
    if (e.kind == E::Status) {
        handlerName = QStringLiteral("onStatus");
        Object* info = vm.newObject();
        info->set(QStringLiteral("level"), Value(e.level));
        info->set(QStringLiteral("code"), Value(e.code));
        if (e.data.kind != video::ScriptValue::Undefined)
            info->set(QStringLiteral("details"), scriptValue(vm, e.data));
        arg = Value(info);
    } else {
        handlerName = e.kind == E::MetaData ? QStringLiteral("onMetaData") : QStringLiteral("onCuePoint");
        arg = scriptValue(vm, e.data);
    }
    const Value handler = stream->get(handlerName);
    if (handler.isObject())
        vm.callSafely(handler, Value(stream), {arg});
}

sound::SoundPlayback* soundOf(Interpreter& vm)
{
    display::MovieClip* root = vm.root ? vm.root->clip() : nullptr;
    return root ? root->context()->sound() : nullptr;
}

void play(Interpreter& vm, NetStreamObject* stream, const QString& url)
{
    auto playback = stream->playback();
    playback->start();
    if (auto it = std::find(vm.netStreams.begin(), vm.netStreams.end(), stream); it == vm.netStreams.end())
        vm.netStreams.push_back(stream);
    // The file plays as it arrives; its end or its failure comes last.
    std::weak_ptr<video::NetStreamPlayback> weak = playback;
    LoadQueue::of(vm).startStreaming(stream, url, [weak](Interpreter&, const QByteArray& bytes, qint64 total) {
        if (auto p = weak.lock()) {
            p->setTotalBytes(total);
            p->append(bytes);
        }
    }, [weak](Interpreter&, const std::optional<QByteArray>& data) {
        auto p = weak.lock();
        if (!p)
            return;
        if (!data) {
            // Part of a file still plays; none of it is a file not found.
            if (p->bytesLoaded() == 0)
                p->fail();
            else
                p->finishLoading();
            return;
        }
        p->setTotalBytes(p->bytesLoaded());
        p->finishLoading();
    });
}

void installVideoClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.videoProto = proto;
    vm.newClass(QStringLiteral("Video"), [](Interpreter&, const Value&, Args) { return Value(); },
                [](Interpreter&, Object* obj, Args) { return Value(obj); }, proto);
    vm.addMethod(proto, QStringLiteral("attachVideo"), [](Interpreter&, const Value& self, Args a) {
        if (display::VideoObject* v = videoOf(self)) {
            auto* stream = dynamic_cast<NetStreamObject*>(arg(a, 0).object());
            v->attach(stream ? stream->playback() : nullptr);
        }
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("clear"), [](Interpreter&, const Value& self, Args) {
        if (display::VideoObject* v = videoOf(self))
            v->clear();
        return Value();
    });
}

// The stream's state reads as properties of NetStream.prototype, which the
// reference player adds when the first stream is made, not before.
void installStreamProperties(Interpreter& vm, Object* proto)
{
    if (proto->findOwn(QStringLiteral("time")))
        return;
    using Read = double (*)(const video::NetStreamPlayback&);
    const std::pair<const char*, Read> numbers[] = {
        {"time", [](const video::NetStreamPlayback& p) { return p.timeSeconds(); }},
        {"bytesLoaded", [](const video::NetStreamPlayback& p) { return double(p.bytesLoaded()); }},
        {"bytesTotal", [](const video::NetStreamPlayback& p) { return double(p.bytesTotal()); }},
        {"bufferTime", [](const video::NetStreamPlayback& p) { return p.bufferTime(); }},
        {"bufferLength", [](const video::NetStreamPlayback& p) { return p.bufferLength(); }},
        {"currentFps", [](const video::NetStreamPlayback& p) { return p.currentFps(); }},
        {"liveDelay", [](const video::NetStreamPlayback&) { return 0.0; }}, // nothing here is live
    };
    for (const auto& [name, reader] : numbers)
        vm.addGetterSetter(proto, QLatin1String(name), [read = reader](Interpreter&, const Value& self, Args) -> Value {
            video::NetStreamPlayback* p = playbackOf(self);
            return p ? Value(read(*p)) : Value();
        }, nullptr);
}

} // namespace

// Video instances carry these themselves, as the reference player's do; the
// prototype has none of them. width and height are the decoded picture's size.
bool getVideoProperty(display::DisplayObject* d, const QString& name, Value& out)
{
    if (!d || d->type() != display::DisplayObject::Type::Video)
        return false;
    auto* v = static_cast<display::VideoObject*>(d);
    if (name == QLatin1String("width") || name == QLatin1String("height")) {
        const QImage picture = v->picture();
        out = Value(picture.isNull() ? 0 : name == QLatin1String("width") ? picture.width() : picture.height());
    } else if (name == QLatin1String("smoothing")) {
        out = Value(v->smoothing());
    } else if (name == QLatin1String("deblocking")) {
        out = Value(v->deblocking());
    } else {
        return false;
    }
    return true;
}

bool setVideoProperty(Interpreter& vm, display::DisplayObject* d, const QString& name, const Value& value)
{
    if (!d || d->type() != display::DisplayObject::Type::Video)
        return false;
    auto* v = static_cast<display::VideoObject*>(d);
    if (name == QLatin1String("smoothing"))
        v->setSmoothing(vm.toBoolean(value));
    else if (name == QLatin1String("deblocking"))
        v->setDeblocking(int(std::clamp(vm.toNumber(value), 0.0, 7.0)));
    else
        return name == QLatin1String("width") || name == QLatin1String("height"); // read-only
    return true;
}

void advanceNetStreams(Interpreter& vm, double frameMs)
{
    // Handlers may start, close or drop streams: work on a copy.
    const std::vector<Object*> streams = vm.netStreams;
    for (Object* o : streams) {
        auto* stream = static_cast<NetStreamObject*>(o);
        auto playback = stream->playback();
        playback->advance(frameMs);
        for (const auto& e : playback->takeEvents())
            deliver(vm, stream, e);
    }
}

void installNetStreamClass(Interpreter& vm)
{
    installVideoClass(vm);
    Object* proto = vm.newObject();
    auto* ctor = vm.make<NativeConstructor>(vm.functionProto, nullptr, [netStreamProto = proto](Interpreter& vm, Object* proto, Args a) -> Value {
        // Without a connection there is no stream: the object has the methods and none of the state.
        if (!arg(a, 0).isObject())
            return Value(vm.newObject(proto));
        installStreamProperties(vm, netStreamProto);
        sound::SoundPlayback* sound = soundOf(vm);
        auto playback = std::make_shared<video::NetStreamPlayback>(sound ? &sound->mixer() : nullptr);
        if (vm.root && vm.root->clip())
            playback->setSoundController(vm.root->clip()->soundOwner());
        return Value(static_cast<Object*>(vm.make<NetStreamObject>(proto, std::move(playback))));
    });
    ctor->define(QStringLiteral("prototype"), Value(proto), DontEnum | DontDelete);
    proto->define(QStringLiteral("constructor"), Value(static_cast<Object*>(ctor)), DontEnum);
    vm.global->define(QStringLiteral("NetStream"), Value(static_cast<Object*>(ctor)), DontEnum);

    vm.addMethod(proto, QStringLiteral("play"), [](Interpreter& vm, const Value& self, Args a) {
        if (auto* stream = dynamic_cast<NetStreamObject*>(self.object()); stream && !a.empty())
            play(vm, stream, vm.toString(a[0]));
        return Value();
    });
    // pause() toggles; pause(true) and pause(false) pause and resume.
    vm.addMethod(proto, QStringLiteral("pause"), [](Interpreter& vm, const Value& self, Args a) {
        if (video::NetStreamPlayback* p = playbackOf(self))
            p->setPaused(a.empty() || a[0].isUndefined() ? !p->isPaused() : vm.toBoolean(a[0]));
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("seek"), [](Interpreter& vm, const Value& self, Args a) {
        if (video::NetStreamPlayback* p = playbackOf(self))
            p->seek(vm.toNumber(arg(a, 0)));
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("close"), [](Interpreter& vm, const Value& self, Args) {
        auto* stream = dynamic_cast<NetStreamObject*>(self.object());
        if (!stream)
            return Value();
        stream->playback()->close();
        if (vm.loads)
            vm.loads->cancel(stream);
        std::erase(vm.netStreams, static_cast<Object*>(stream));
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("setBufferTime"), [](Interpreter& vm, const Value& self, Args a) {
        if (video::NetStreamPlayback* p = playbackOf(self))
            p->setBufferTime(vm.toNumber(arg(a, 0)));
        return Value();
    });
}

} // namespace nimbrel::movie::avm1
