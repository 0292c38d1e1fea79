// Sound: sounds a script attaches from the library or loads as MP3, and the
// volume, pan and channel mix of a clip's sounds (and its children's). A
// Sound without a target controls the whole movie.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/LoadQueue.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/sound/Mp3File.h"
#include "movie/sound/Mp3Stream.h"
#include "movie/sound/SoundDecoder.h"
#include "movie/sound/SoundPlayback.h"
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

const QString kTarget = QStringLiteral("__target");
const QString kOwner = QStringLiteral("__mixOwner");
const QString kVolume = QStringLiteral("__volume");
const QString kPan = QStringLiteral("__pan");
const QString kMix = QStringLiteral("__mix");
const QString kAttached = QStringLiteral("__attached"); // export name of the attached sound
const QString kLoaded = QStringLiteral("__loaded");     // handle of a loaded sound
const QString kVoice = QStringLiteral("__voice");       // the mixer's id of the last start
const QString kStoppedAt = QStringLiteral("__stoppedAt"); // position (ms) where it last stopped
const QString kBytes = QStringLiteral("__bytes");       // bytes of the file loaded so far
const QString kBytesTotal = QStringLiteral("__bytesTotal"); // its size, when it differs from kBytes
const QString kStreamStopped = QStringLiteral("__streamStopped"); // a streaming sound stopped while loading
const QString kId3 = QStringLiteral("__id3");
// start() asked for while the sound was still loading: its offset and loops, applied on arrival.
const QString kPendingOffset = QStringLiteral("__pendingOffset");
const QString kPendingLoops = QStringLiteral("__pendingLoops");

// The clip a Sound controls now: its target by path or reference, the root when it has none.
// A removed clip counts as whatever clip now holds its path.
MovieClipObject* targetClip(Interpreter& vm, const Value& self)
{
    Object* o = self.object();
    if (!o)
        return nullptr;
    Property* p = o->findOwn(kTarget);
    const Value target = p ? p->value : Value();
    if (target.isUndefined())
        return vm.root;
    if (target.isObject() && target.o->isMovieClip()) {
        auto* clip = static_cast<MovieClipObject*>(target.o);
        if (!clip->isRemoved())
            return clip;
        MovieClipObject* now = vm.resolveTarget(clip->targetPath(), vm.root);
        return now && !now->isRemoved() ? now : nullptr;
    }
    if (target.isString()) {
        MovieClipObject* now = vm.resolveTarget(target.s, vm.root);
        return now && !now->isRemoved() ? now : nullptr;
    }
    return nullptr;
}

bool hasTarget(const Value& self)
{
    Object* o = self.object();
    Property* p = o ? o->findOwn(kTarget) : nullptr;
    return p && !p->value.isUndefined();
}

sound::SoundPlayback* playbackOf(Interpreter& vm)
{
    display::MovieClip* root = vm.root ? vm.root->clip() : nullptr;
    return root ? root->context()->sound() : nullptr;
}

const void* ownerOf(MovieClipObject* clip)
{
    display::MovieClip* c = clip ? clip->clip() : nullptr;
    return c ? c->soundOwner() : nullptr;
}

// A script's sounds belong to the movie its Sound's clip is part of: they
// outlive that clip being replaced and stop when the movie is unloaded.
const void* movieOwnerOf(MovieClipObject* clip)
{
    display::MovieClip* c = clip ? clip->clip() : nullptr;
    if (!c)
        return nullptr;
    while (c->parent() && c->parent()->context() == c->context())
        c = c->parent();
    return c->soundOwner();
}

// Sound events arrive from the loader and the mixer, outside any script: a
// handler that throws or runs out of time ends there, not in the player.
void notify(Interpreter& vm, Object* sound, const QString& event, const std::vector<Value>& args)
{
    const Value handler = sound->get(event);
    if (handler.isObject())
        vm.callSafely(handler, Value(sound), args);
}

Value own(const Value& self, const QString& name)
{
    Object* o = self.object();
    Property* p = o ? o->findOwn(name) : nullptr;
    return p ? p->value : Value();
}

// Settings belong to the clip they were made for: a clip made anew under the same name starts
// from the defaults.
Value setting(Interpreter& vm, const Value& self, const QString& name, const Value& fallback)
{
    MovieClipObject* clip = targetClip(vm, self);
    if (!clip)
        return Value();
    Object* o = self.object();
    Property* owner = o->findOwn(kOwner);
    Property* p = o->findOwn(name);
    if (!owner || owner->value.object() != clip || !p)
        return fallback;
    return p->value;
}

// What the settings mean to the mixer: pan and transform both route left and right.
sound::ChannelMix mixOf(Interpreter& vm, const Value& self)
{
    sound::ChannelMix m;
    m.volume = std::max(0.0, vm.toNumber(setting(vm, self, kVolume, Value(100)))) / 100.0;
    if (Object* t = setting(vm, self, kMix, Value()).object()) {
        auto part = [&](const char* k) { return vm.toNumber(t->get(QLatin1String(k))) / 100.0; };
        m.ll = part("ll"), m.lr = part("lr"), m.rr = part("rr"), m.rl = part("rl");
    } else {
        const double pan = std::clamp(vm.toNumber(setting(vm, self, kPan, Value(0))), -100.0, 100.0);
        m.ll = pan > 0 ? (100 - pan) / 100 : 1;
        m.rr = pan < 0 ? (100 + pan) / 100 : 1;
    }
    for (double* v : {&m.volume, &m.ll, &m.lr, &m.rr, &m.rl})
        if (!std::isfinite(*v))
            *v = 0;
    return m;
}

void store(Interpreter& vm, const Value& self, const QString& name, const Value& v)
{
    MovieClipObject* clip = targetClip(vm, self);
    Object* o = self.object();
    if (!clip || !o)
        return;
    Property* owner = o->findOwn(kOwner);
    if (!owner || owner->value.object() != clip) {
        // Settings of a clip that is gone do not carry over.
        o->remove(kVolume);
        o->remove(kPan);
        o->remove(kMix);
        o->define(kOwner, Value(static_cast<Object*>(clip)), DontEnum);
    }
    o->define(name, v, DontEnum);
    // The latest of setPan and setTransform decides the routing.
    if (name == kPan)
        o->remove(kMix);
    else if (name == kMix)
        o->remove(kPan);
    if (sound::SoundPlayback* playback = playbackOf(vm))
        if (const void* ownerKey = ownerOf(clip))
            playback->setOwnerMix(ownerKey, mixOf(vm, self));
}

Object* defaultMix(Interpreter& vm)
{
    Object* mix = vm.newObject();
    // Left to left and right to right at full strength, nothing crossed.
    mix->set(QStringLiteral("ll"), Value(100));
    mix->set(QStringLiteral("lr"), Value(0));
    mix->set(QStringLiteral("rr"), Value(100));
    mix->set(QStringLiteral("rl"), Value(0));
    return mix;
}

// The samples of the Sound's sound and what identifies it to the mixer.
sound::Pcm soundOf(Interpreter& vm, const Value& self, const void** key)
{
    sound::SoundPlayback* playback = playbackOf(vm);
    if (!playback)
        return nullptr;
    const Value loaded = own(self, kLoaded);
    if (loaded.isNumber()) {
        sound::Pcm pcm = playback->loaded(int(vm.toNumber(loaded)));
        *key = pcm.get();
        return pcm;
    }
    const Value name = own(self, kAttached);
    if (!name.isString())
        return nullptr;
    MovieClipObject* clip = targetClip(vm, self);
    display::MovieClip* c = clip ? clip->clip() : nullptr;
    // A loaded movie's sounds come from its own library.
    auto def = c ? c->context()->movie()->exportedSound(name.s) : nullptr;
    if (!def && vm.root && vm.root->clip())
        def = vm.root->clip()->context()->movie()->exportedSound(name.s);
    *key = def.get();
    return def ? playback->cache().pcmFor(def) : nullptr;
}

double millisecondsOf(double frames) { return std::round(frames * 1000.0 / sound::SoundMixer::sampleRate); }

void startSound(Interpreter& vm, const Value& self, double offsetSeconds, int loops)
{
    // A streaming sound plays by itself as it loads; once loaded it starts like any other.
    if (vm.soundStreams.count(self.object()))
        return;
    sound::SoundPlayback* playback = playbackOf(vm);
    const void* key = nullptr;
    sound::Pcm pcm = soundOf(vm, self, &key);
    if (playback && !pcm && vm.loads && vm.loads->isLoading(self.object())) {
        self.object()->define(kPendingOffset, Value(offsetSeconds), DontEnum);
        self.object()->define(kPendingLoops, Value(loops), DontEnum);
        return;
    }
    if (!playback || !pcm)
        return;
    sound::EventSound e;
    e.pcm = pcm;
    e.key = key;
    MovieClipObject* target = targetClip(vm, self);
    e.owner = movieOwnerOf(target);
    e.controller = ownerOf(target);
    if (!e.owner)
        return;
    const double offset = std::isfinite(offsetSeconds) ? std::max(0.0, offsetSeconds) : 0.0;
    e.offset = uint32_t(std::min(offset * sound::SoundMixer::sampleRate, 4.0e9));
    e.loops = std::max(1, loops);
    const int voice = playback->mixer().start(e);
    if (!voice)
        return;
    self.object()->define(kVoice, Value(voice), DontEnum);
    self.object()->remove(kStoppedAt);
    vm.playingSounds[voice] = self.object();
}

Value positionOf(Interpreter& vm, const Value& self)
{
    sound::SoundPlayback* playback = playbackOf(vm);
    const Value voice = own(self, kVoice);
    const Value stopped = own(self, kStoppedAt);
    // No sound attached, loaded or streaming: there is no position to give.
    const void* attachedKey = nullptr;
    if (vm.soundStreams.find(self.object()) == vm.soundStreams.end() && !soundOf(vm, self, &attachedKey))
        return Value();
    if (!playback)
        return Value(0);
    if (voice.isNumber())
        if (auto pos = playback->mixer().voicePosition(int(voice.n)))
            return Value(millisecondsOf(*pos));
    if (stopped.isNumber())
        return stopped;
    if (auto it = vm.soundStreams.find(self.object()); it != vm.soundStreams.end()) {
        const sound::Mp3Stream& stream = *it->second;
        return Value(millisecondsOf(double(stream.handedFrames() - playback->mixer().streamQueued(&stream))));
    }
    if (!voice.isNumber())
        return Value(0);
    // Played to its end.
    const void* key = nullptr;
    sound::Pcm pcm = soundOf(vm, self, &key);
    return Value(pcm ? millisecondsOf(double(pcm->size() / 2)) : 0.0);
}

// A loaded MP3 file: decoded, its tags read, kept in the movie's sounds.
void takeLoadedFile(Interpreter& vm, Object* sound, const QByteArray& file)
{
    sound::SoundPlayback* playback = playbackOf(vm);
    if (!playback)
        return;
    swf::SoundFormat mp3;
    mp3.codec = swf::SoundFormat::Mp3;
    sound::SoundDecoder decoder(mp3);
    auto samples = std::make_shared<std::vector<int16_t>>();
    const QByteArray audio = sound::Mp3File::audio(file);
    decoder.decode(reinterpret_cast<const uint8_t*>(audio.constData()), size_t(audio.size()), *samples);
    decoder.flush(*samples);
    sound->define(kLoaded, Value(playback->keepLoaded(std::move(samples))), DontEnum);
    sound->remove(kAttached);
    sound->define(kBytes, Value(double(file.size())), DontEnum);
    Object* id3 = vm.newObject();
    for (const auto& [name, text] : sound::Mp3File::tags(file))
        id3->set(name, Value(text));
    sound->define(kId3, Value(id3), DontEnum);
    notify(vm, sound, QStringLiteral("onID3"), {});
    const Value pendingOffset = own(Value(sound), kPendingOffset);
    const Value pendingLoops = own(Value(sound), kPendingLoops);
    sound->remove(kPendingOffset);
    sound->remove(kPendingLoops);
    if (pendingOffset.isNumber())
        startSound(vm, Value(sound), pendingOffset.n, int(vm.toNumber(pendingLoops)));
}

// A streaming sound keeps this much of itself waiting in the mixer, so a slow frame never starves it.
constexpr int64_t kStreamAhead = sound::SoundMixer::sampleRate * 2;

void publishTags(Interpreter& vm, Object* sound, const sound::Mp3Stream& stream)
{
    Object* id3 = vm.newObject();
    for (const auto& [name, text] : stream.tags())
        id3->set(name, Value(text));
    sound->define(kId3, Value(id3), DontEnum);
    notify(vm, sound, QStringLiteral("onID3"), {});
}

void stopStream(Interpreter& vm, Object* sound, sound::Mp3Stream& stream)
{
    if (own(Value(sound), kStreamStopped).isBoolean())
        return;
    sound->define(kStoppedAt, positionOf(vm, Value(sound)), DontEnum);
    sound->define(kStreamStopped, Value(true), DontEnum);
    if (sound::SoundPlayback* playback = playbackOf(vm))
        playback->mixer().streamClear(&stream);
}

// The Sound's stream goes, sound and all (a new load or attachSound replaces it).
void dropStream(Interpreter& vm, Object* sound)
{
    auto it = vm.soundStreams.find(sound);
    if (it == vm.soundStreams.end())
        return;
    if (sound::SoundPlayback* playback = playbackOf(vm))
        playback->mixer().streamClear(it->second.get());
    vm.soundStreams.erase(it);
    if (vm.loads)
        vm.loads->cancel(sound);
}

// Once a frame and as bytes arrive: a streaming sound starts when its buffer
// (_soundbuftime) has arrived or the file has ended, then keeps the mixer
// fed. When it has played out (or was stopped) and the file is in, it becomes
// an ordinary loaded sound that start() plays again.
void pumpStream(Interpreter& vm, Object* sound, sound::Mp3Stream& stream)
{
    sound::SoundPlayback* playback = playbackOf(vm);
    if (!playback)
        return;
    sound::SoundMixer& mixer = playback->mixer();
    // stopAllSounds, or its clip leaving, ended it in the mixer.
    if (stream.handedFrames() > 0 && !mixer.hasStream(&stream))
        stopStream(vm, sound, stream);
    const bool stopped = own(Value(sound), kStreamStopped).isBoolean();
    if (!stopped) {
        const bool buffered = stream.isFinished() ||
                              double(stream.lengthFrames()) >= vm.soundBufferSeconds * sound::SoundMixer::sampleRate;
        const void* controller = ownerOf(targetClip(vm, Value(sound)));
        if (!controller)
            stopStream(vm, sound, stream);
        else if (stream.handedFrames() > 0 || buffered)
            stream.feed(mixer, &stream, controller, kStreamAhead);
    }
    if (!stream.isFinished())
        return;
    const bool playedOut = !stopped && stream.handedAll() && mixer.streamQueued(&stream) == 0;
    if (!stopped && !playedOut)
        return;
    if (playedOut)
        sound->define(kStoppedAt, Value(millisecondsOf(double(stream.handedFrames()))), DontEnum);
    mixer.streamClear(&stream);
    sound->define(kLoaded, Value(playback->keepLoaded(stream.decodeAll())), DontEnum);
    sound->remove(kStreamStopped);
    vm.soundStreams.erase(sound);
    if (playedOut)
        notify(vm, sound, QStringLiteral("onSoundComplete"), {});
}

void loadStreaming(Interpreter& vm, Object* sound, const QString& url)
{
    auto stream = std::make_shared<sound::Mp3Stream>();
    vm.soundStreams[sound] = stream;
    for (const QString& gone : {kLoaded, kAttached, kVoice, kStoppedAt, kStreamStopped, kId3})
        sound->remove(gone);
    sound->define(kBytes, Value(0), DontEnum);
    std::weak_ptr<sound::Mp3Stream> weak = stream;
    LoadQueue::of(vm).startStreaming(sound, url, [sound, weak](Interpreter& vm, const QByteArray& bytes, qint64 total) {
        auto s = weak.lock();
        if (!s)
            return;
        if (s->append(bytes))
            publishTags(vm, sound, *s);
        sound->define(kBytes, Value(double(s->bytesReceived())), DontEnum);
        sound->define(kBytesTotal, Value(double(std::max(total, s->bytesReceived()))), DontEnum);
        pumpStream(vm, sound, *s);
    }, [sound, weak](Interpreter& vm, const std::optional<QByteArray>& data) {
        auto s = weak.lock();
        if (s) {
            if (s->finish())
                publishTags(vm, sound, *s);
            sound->define(kBytesTotal, Value(double(s->bytesReceived())), DontEnum);
            // Nothing arrived: no sound at all. Part of a file plays what came.
            if (!data && s->bytesReceived() == 0)
                vm.soundStreams.erase(sound);
        }
        notify(vm, sound, QStringLiteral("onLoad"), {Value(bool(data))});
        if (s && vm.soundStreams.count(sound) && vm.soundStreams.at(sound) == s)
            pumpStream(vm, sound, *s);
    });
}

} // namespace

void deliverSoundEvents(Interpreter& vm)
{
    sound::SoundPlayback* playback = playbackOf(vm);
    if (!playback)
        return;
    // Handlers may stop or load sounds: work on a copy.
    const std::vector<std::pair<Object*, std::shared_ptr<sound::Mp3Stream>>> streams(vm.soundStreams.begin(),
                                                                                    vm.soundStreams.end());
    for (const auto& [sound, stream] : streams)
        if (vm.soundStreams.count(sound) && vm.soundStreams.at(sound) == stream)
            pumpStream(vm, sound, *stream);
    if (vm.playingSounds.empty())
        return;
    for (int voice : playback->mixer().takeFinished()) {
        auto it = vm.playingSounds.find(voice);
        if (it == vm.playingSounds.end())
            continue;
        Object* sound = it->second;
        vm.playingSounds.erase(it);
        notify(vm, sound, QStringLiteral("onSoundComplete"), {});
    }
    // Sounds stopped meanwhile need no answer.
    std::erase_if(vm.playingSounds, [&](const auto& entry) { return !playback->mixer().isVoiceActive(entry.first); });
}

void stopAllSounds(Interpreter& vm)
{
    for (const auto& [sound, stream] : vm.soundStreams)
        stopStream(vm, sound, *stream);
    if (sound::SoundPlayback* playback = playbackOf(vm))
        playback->mixer().stopAll();
    vm.playingSounds.clear();
}

void installSoundClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.newClass(QStringLiteral("Sound"), nullptr, [](Interpreter&, Object* obj, Args args) -> Value {
        if (!args.empty())
            obj->define(kTarget, args[0], DontEnum);
        return Value(obj);
    }, proto);
    vm.addMethod(proto, QStringLiteral("attachSound"), [](Interpreter& vm, const Value& self, Args a) {
        Object* o = self.object();
        if (!o || a.empty())
            return Value();
        dropStream(vm, o);
        o->define(kAttached, Value(vm.toString(a[0])), DontEnum);
        o->remove(kLoaded);
        o->remove(kVoice);
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("start"), [](Interpreter& vm, const Value& self, Args a) {
        if (self.object())
            startSound(vm, self, a.empty() ? 0.0 : vm.toNumber(a[0]), a.size() > 1 ? int(vm.toNumber(a[1])) : 1);
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("stop"), [](Interpreter& vm, const Value& self, Args a) {
        sound::SoundPlayback* playback = playbackOf(vm);
        Object* o = self.object();
        if (!playback || !o)
            return Value();
        const Value voice = own(self, kVoice);
        if (voice.isNumber())
            if (auto pos = playback->mixer().voicePosition(int(voice.n)))
                o->define(kStoppedAt, Value(millisecondsOf(*pos)), DontEnum);
        if (a.empty() || a[0].isUndefined())
            if (auto it = vm.soundStreams.find(o); it != vm.soundStreams.end())
                stopStream(vm, o, *it->second);
        const void* owner = hasTarget(self) ? ownerOf(targetClip(vm, self)) : nullptr;
        if (!a.empty() && !a[0].isUndefined()) {
            // Only the named sound.
            if (vm.root && vm.root->clip())
                if (auto def = vm.root->clip()->context()->movie()->exportedSound(vm.toString(a[0])))
                    playback->mixer().stopSound(def.get(), owner);
            return Value();
        }
        if (owner)
            playback->mixer().stopControlledBy(owner);
        else if (!hasTarget(self))
            playback->mixer().stopAll();
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("setVolume"), [](Interpreter& vm, const Value& self, Args a) {
        store(vm, self, kVolume, Value(vm.toNumber(arg(a, 0))));
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("getVolume"), [](Interpreter& vm, const Value& self, Args) {
        return setting(vm, self, kVolume, Value(100));
    });
    vm.addMethod(proto, QStringLiteral("setPan"), [](Interpreter& vm, const Value& self, Args a) {
        store(vm, self, kPan, Value(vm.toNumber(arg(a, 0))));
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("getPan"), [](Interpreter& vm, const Value& self, Args) {
        return setting(vm, self, kPan, Value(0));
    });
    vm.addMethod(proto, QStringLiteral("setTransform"), [](Interpreter& vm, const Value& self, Args a) {
        Object* given = arg(a, 0).object();
        if (!given)
            return Value();
        Object* mix = defaultMix(vm);
        for (const char* k : {"ll", "lr", "rr", "rl"}) {
            const Value v = given->get(QLatin1String(k));
            if (!v.isUndefined())
                mix->set(QLatin1String(k), Value(vm.toNumber(v)));
        }
        store(vm, self, kMix, Value(mix));
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("getTransform"), [](Interpreter& vm, const Value& self, Args) -> Value {
        const Value mix = setting(vm, self, kMix, Value::null());
        if (mix.isUndefined())
            return mix;
        // A copy: changing it changes nothing until it is set back.
        Object* copy = defaultMix(vm);
        if (Object* m = mix.object())
            for (const char* k : {"ll", "lr", "rr", "rl"})
                copy->set(QLatin1String(k), m->get(QLatin1String(k)));
        return Value(copy);
    });
    vm.addGetterSetter(proto, QStringLiteral("duration"), [](Interpreter& vm, const Value& self, Args) -> Value {
        if (auto it = vm.soundStreams.find(self.object()); it != vm.soundStreams.end())
            return Value(millisecondsOf(double(it->second->lengthFrames())));
        const void* key = nullptr;
        sound::Pcm pcm = soundOf(vm, self, &key);
        return pcm ? Value(millisecondsOf(double(pcm->size() / 2))) : Value();
    }, nullptr);
    vm.addGetterSetter(proto, QStringLiteral("position"), [](Interpreter& vm, const Value& self, Args) -> Value {
        return positionOf(vm, self);
    }, nullptr);
    vm.addGetterSetter(proto, QStringLiteral("id3"), [](Interpreter&, const Value& self, Args) -> Value {
        return own(self, kId3);
    }, nullptr);

    // Loading, and the sound's length, place and tags, came with SWF 6.
    vm.addMethod(proto, QStringLiteral("loadSound"), [](Interpreter& vm, const Value& self, Args a) {
        Object* o = self.object();
        if (!o || a.empty())
            return Value();
        const bool streaming = a.size() > 1 && vm.toBoolean(a[1]);
        dropStream(vm, o);
        o->remove(kBytes);
        o->remove(kBytesTotal);
        o->remove(kPendingOffset);
        o->remove(kPendingLoops);
        if (streaming) {
            loadStreaming(vm, o, vm.toString(a[0]));
            return Value();
        }
        LoadQueue::of(vm).start(o, vm.toString(a[0]), [o](Interpreter& vm, const std::optional<QByteArray>& data) {
            if (data)
                takeLoadedFile(vm, o, *data);
            notify(vm, o, QStringLiteral("onLoad"), {Value(bool(data))});
        });
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("getBytesLoaded"), [](Interpreter&, const Value& self, Args) {
        return own(self, kBytes);
    });
    vm.addMethod(proto, QStringLiteral("getBytesTotal"), [](Interpreter&, const Value& self, Args) {
        const Value total = own(self, kBytesTotal);
        return total.isUndefined() ? own(self, kBytes) : total;
    });
    for (const char* later : {"loadSound", "getBytesLoaded", "getBytesTotal", "duration", "position", "id3"})
        proto->setFlags(QString::fromLatin1(later), OnlySwf6Up, 0);
}

} // namespace nimbrel::movie::avm1
