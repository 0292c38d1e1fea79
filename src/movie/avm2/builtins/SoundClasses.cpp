#include "movie/avm2/builtins/SoundClasses.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/sound/SoundPlayback.h"
#include "movie/swf/Movie.h"
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::avm2 {

using namespace native;

namespace {

// A Sound's samples, or a SoundChannel's voice in the mixer.
class MediaObject : public EventTargetObject {
public:
    sound::Pcm pcm;
    const void* key = nullptr;
    double lengthMs = 0;
    int voice = 0;
    double startMs = 0;       // where the channel started within the sound
    double stoppedAtMs = -1;  // the position a stopped channel keeps
};
// Levels as SoundTransform keeps them.
class TransformObject : public ScriptObject {
public:
    sound::ChannelMix mix;
};

ObjectPtr allocateMedia(const ClassObject&) { return std::make_shared<MediaObject>(); }
ObjectPtr allocateTransform(const ClassObject&) { return std::make_shared<TransformObject>(); }

template <typename T>
T& self(Runtime& rt, const Value& v, const char* cls) {
    auto* o = v.isObject() ? dynamic_cast<T*>(v.obj()) : nullptr;
    if (!o) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(v), QString::fromLatin1(cls)});
    return *o;
}
MediaObject& thisMedia(Runtime& rt, const Value& v) { return self<MediaObject>(rt, v, "flash.media.Sound"); }
TransformObject& thisTransform(Runtime& rt, const Value& v) {
    return self<TransformObject>(rt, v, "flash.media.SoundTransform");
}

sound::SoundPlayback* playbackOf(Runtime& rt) {
    return rt.stage ? rt.stage->root()->context()->sound() : nullptr;
}
constexpr double kFramesPerMs = sound::SoundMixer::sampleRate / 1000.0;

// ---- SoundTransform ----
Value makeTransform(Runtime& rt, const sound::ChannelMix& mix) {
    ClassObject* cls = rt.builtin(QStringLiteral("flash.media.SoundTransform"));
    auto t = std::static_pointer_cast<TransformObject>(cls->allocate());
    t->mix = mix;
    return Value::object(t);
}
const sound::ChannelMix* mixOf(const Value& v) {
    auto* t = v.isObject() ? dynamic_cast<TransformObject*>(v.obj()) : nullptr;
    return t ? &t->mix : nullptr;
}
// Pan p sends sqrt(1 - p) of the left and sqrt(1 + p) of the right through, nothing crossed.
void applyPan(sound::ChannelMix& m, double pan) {
    m.ll = std::sqrt(1 - pan);
    m.rr = std::sqrt(1 + pan);
    m.lr = m.rl = 0;
}
Value constructTransform(Runtime& rt, const Value& s, Args a) {
    TransformObject& t = thisTransform(rt, s);
    t.mix.volume = numberArg(rt, a, 0, 1);
    applyPan(t.mix, numberArg(rt, a, 1, 0));
    return Value();
}
Value getPan(Runtime& rt, const Value& s, Args) {
    const sound::ChannelMix& m = thisTransform(rt, s).mix;
    // Crossed channels are no pan at all.
    if (m.lr != 0 || m.rl != 0) return Value::number(0);
    return Value::number(1 - m.ll * m.ll);
}
Value setPan(Runtime& rt, const Value& s, Args a) {
    applyPan(thisTransform(rt, s).mix, rt.toNumber(a[0]));
    return Value();
}
template <double sound::ChannelMix::*field>
Value getLevel(Runtime& rt, const Value& s, Args) {
    return Value::number(thisTransform(rt, s).mix.*field);
}
template <double sound::ChannelMix::*field>
Value setLevel(Runtime& rt, const Value& s, Args a) {
    thisTransform(rt, s).mix.*field = rt.toNumber(a[0]);
    return Value();
}

// ---- Sound ----
// The DefineSound the movie links to the class of `this` (or one of its bases).
std::shared_ptr<const swf::SoundDef> linkedSound(Runtime& rt, const ScriptObject& obj) {
    if (!rt.stage) return nullptr;
    const auto& movie = rt.stage->root()->context()->movie();
    for (const ClassObject* c = obj.cls; c; c = c->base.get()) {
        const QString qualified = c->package.isEmpty() ? c->name : c->package + QLatin1Char('.') + c->name;
        for (uint16_t id : rt.stage->symbolsOf(qualified))
            if (auto def = movie->sound(id)) return def;
    }
    return nullptr;
}
Value constructSound(Runtime& rt, const Value& s, Args) {
    MediaObject& m = thisMedia(rt, s);
    auto def = linkedSound(rt, m);
    if (!def) return Value();
    m.key = def.get();
    const int rate = def->format.effectiveRate();
    m.lengthMs = rate > 0 ? std::round(def->sampleCount * 1000.0 / rate) : 0;
    if (sound::SoundPlayback* playback = playbackOf(rt)) {
        m.pcm = playback->cache().pcmFor(def);
        if (m.pcm) m.lengthMs = std::round(double(m.pcm->size() / 2) / kFramesPerMs);
    }
    return Value();
}
Value soundLength(Runtime& rt, const Value& s, Args) { return Value::number(thisMedia(rt, s).lengthMs); }
Value soundBytes(Runtime& rt, const Value& s, Args) {
    const MediaObject& m = thisMedia(rt, s);
    return Value::unsignedInt(m.key ? uint32_t(static_cast<const swf::SoundDef*>(m.key)->data.size()) : 0);
}
Value no(Runtime&, const Value&, Args) { return Value::boolean(false); }
Value none(Runtime&, const Value&, Args) { return Value::null(); }
Value nothing(Runtime&, const Value&, Args) { return Value(); }
Value zero(Runtime&, const Value&, Args) { return Value::number(0); }

// A channel for the sound from startTime (ms), or null when it starts past
// the end or the mixer has no voice left.
Value play(Runtime& rt, const Value& s, Args a) {
    MediaObject& m = thisMedia(rt, s);
    sound::SoundPlayback* playback = playbackOf(rt);
    const double startMs = std::max(0.0, numberArg(rt, a, 0, 0));
    if (!playback || !m.pcm) return Value::null();
    const double frames = double(m.pcm->size() / 2);
    const double offset = std::isfinite(startMs) ? startMs * kFramesPerMs : frames;
    if (offset >= frames) return Value::null();
    sound::EventSound e;
    e.pcm = m.pcm;
    e.key = m.key;
    e.owner = rt.stage->root();
    e.offset = uint32_t(offset);
    e.loops = std::max(1, rt.toInt32(a[1]));
    if (const sound::ChannelMix* mix = mixOf(a[2])) e.mix = *mix;
    const int voice = playback->mixer().start(e);
    if (!voice) return Value::null();
    ClassObject* cls = rt.builtin(QStringLiteral("flash.media.SoundChannel"));
    auto channel = std::static_pointer_cast<MediaObject>(cls->allocate());
    channel->voice = voice;
    channel->key = m.key;
    channel->startMs = startMs;
    channel->lengthMs = m.lengthMs;
    channel->stored.insert(QStringLiteral("soundTransform"),
                           mixOf(a[2]) ? makeTransform(rt, *mixOf(a[2])) : makeTransform(rt, sound::ChannelMix{}));
    rt.stage->playingChannels.push_back(channel);
    return Value::object(channel);
}

// ---- SoundChannel ----
Value channelPosition(Runtime& rt, const Value& s, Args) {
    MediaObject& c = thisMedia(rt, s);
    if (c.stoppedAtMs >= 0) return Value::number(c.stoppedAtMs);
    if (sound::SoundPlayback* playback = playbackOf(rt); playback && c.voice)
        if (auto pos = playback->mixer().voicePosition(c.voice)) return Value::number(std::round(*pos / kFramesPerMs));
    return Value::number(c.voice ? c.lengthMs : 0);
}
Value channelStop(Runtime& rt, const Value& s, Args) {
    MediaObject& c = thisMedia(rt, s);
    if (c.stoppedAtMs >= 0 || !c.voice) return Value();
    c.stoppedAtMs = rt.toNumber(channelPosition(rt, s, {}));
    if (sound::SoundPlayback* playback = playbackOf(rt)) playback->mixer().stopVoice(c.voice);
    return Value();
}
Value channelTransform(Runtime& rt, const Value& s, Args) {
    const Value t = thisMedia(rt, s).stored.value(QStringLiteral("soundTransform"));
    return makeTransform(rt, mixOf(t) ? *mixOf(t) : sound::ChannelMix{});
}
Value setChannelTransform(Runtime& rt, const Value& s, Args a) {
    if (a[0].isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("soundTransform")});
    const sound::ChannelMix* mix = mixOf(a[0]);
    if (!mix) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(a[0]), QStringLiteral("flash.media.SoundTransform")});
    MediaObject& c = thisMedia(rt, s);
    c.stored.insert(QStringLiteral("soundTransform"), makeTransform(rt, *mix));
    // The playing voice takes the new levels at once.
    if (sound::SoundPlayback* playback = playbackOf(rt); playback && c.voice && c.stoppedAtMs < 0)
        playback->mixer().setVoiceMix(c.voice, *mix);
    return Value();
}

// The player keeps a transform it is given in whole percents.
sound::ChannelMix inPercents(const sound::ChannelMix& m) {
    auto percent = [](double v) { return std::isfinite(v) ? std::trunc(v * 100) / 100 : 0.0; };
    sound::ChannelMix out;
    out.ll = percent(m.ll);
    out.lr = percent(m.lr);
    out.rl = percent(m.rl);
    out.rr = percent(m.rr);
    out.volume = percent(m.volume);
    return out;
}

// ---- SoundMixer: the whole movie's output ----
const QString kMixerTransform = QStringLiteral(" soundTransform");
Value mixerTransform(Runtime& rt, const Value&, Args) {
    ClassObject* cls = rt.builtin(QStringLiteral("flash.media.SoundMixer"));
    const Value* kept = cls ? cls->findOwn(kMixerTransform) : nullptr;
    return makeTransform(rt, kept && mixOf(*kept) ? *mixOf(*kept) : sound::ChannelMix{});
}
Value setMixerTransform(Runtime& rt, const Value&, Args a) {
    if (a[0].isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("sndTransform")});
    const sound::ChannelMix* given = mixOf(a[0]);
    if (!given) return Value();
    const sound::ChannelMix mix = inPercents(*given);
    if (ClassObject* cls = rt.builtin(QStringLiteral("flash.media.SoundMixer")))
        cls->setOwn(kMixerTransform, makeTransform(rt, mix), false);
    if (sound::SoundPlayback* playback = playbackOf(rt)) playback->mixer().setMasterVolume(std::clamp(mix.volume, 0.0, 1.0));
    return Value();
}
Value stopAll(Runtime& rt, const Value&, Args) {
    if (sound::SoundPlayback* playback = playbackOf(rt)) playback->mixer().stopAll();
    return Value();
}

// ---- DisplayObject.soundTransform: the clip's settings, over its children's sounds ----
Value displayTransform(Runtime& rt, const Value& s, Args) {
    sound::SoundPlayback* playback = playbackOf(rt);
    const display::DisplayObject* d = thisDisplay(rt, s);
    return makeTransform(rt, playback && d ? playback->ownerMix(d) : sound::ChannelMix{});
}
Value setDisplayTransform(Runtime& rt, const Value& s, Args a) {
    if (a[0].isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("sndTransform")});
    const sound::ChannelMix* mix = mixOf(a[0]);
    if (sound::SoundPlayback* playback = playbackOf(rt); playback && mix)
        if (const display::DisplayObject* d = thisDisplay(rt, s)) playback->setOwnerMix(d, inPercents(*mix));
    return Value();
}

} // namespace

void SoundClasses::addDisplayMembers(ClassObject& displayObject) {
    addMembers(displayObject, {{"get soundTransform", displayTransform}, {"set soundTransform", setDisplayTransform, 1}});
}

void SoundClasses::install(Runtime& rt) {
    const QString pkg = QStringLiteral("flash.media");
    ClassObject* dispatcher = rt.builtin(QStringLiteral("flash.events.EventDispatcher"));

    auto transform = rt.defineNativeClass(pkg, QStringLiteral("SoundTransform"), rt.builtin(QStringLiteral("Object")), {});
    transform->nativeAllocate = allocateTransform;
    transform->constructor = MethodRef{nullptr, 0, constructTransform, transform.get(), 0};
    transform->dynamicInstances = false;
    using M = sound::ChannelMix;
    addMembers(*transform, {{"get volume", getLevel<&M::volume>}, {"set volume", setLevel<&M::volume>, 1},
                            {"get leftToLeft", getLevel<&M::ll>}, {"set leftToLeft", setLevel<&M::ll>, 1},
                            {"get leftToRight", getLevel<&M::lr>}, {"set leftToRight", setLevel<&M::lr>, 1},
                            {"get rightToLeft", getLevel<&M::rl>}, {"set rightToLeft", setLevel<&M::rl>, 1},
                            {"get rightToRight", getLevel<&M::rr>}, {"set rightToRight", setLevel<&M::rr>, 1},
                            {"get pan", getPan}, {"set pan", setPan, 1}});

    auto soundClass = rt.defineNativeClass(pkg, QStringLiteral("Sound"), dispatcher, {});
    soundClass->nativeAllocate = allocateMedia;
    soundClass->constructor = MethodRef{nullptr, 0, constructSound, soundClass.get(), 0};
    soundClass->dynamicInstances = false;
    addMembers(*soundClass, {{"play", play, 0}, {"get length", soundLength}, {"get bytesLoaded", soundBytes},
                             {"get bytesTotal", soundBytes}, {"get id3", none}, {"get isBuffering", no},
                             {"get url", none}, {"close", nothing}, {"extract", zero, 2}});

    auto channel = rt.defineNativeClass(pkg, QStringLiteral("SoundChannel"), dispatcher, {});
    channel->nativeAllocate = allocateMedia;
    channel->constructor = MethodRef{nullptr, 0, nothing, channel.get(), 0};
    channel->dynamicInstances = false;
    channel->isFinal = true;
    addMembers(*channel, {{"get position", channelPosition}, {"stop", channelStop}, {"get leftPeak", zero},
                          {"get rightPeak", zero}, {"get soundTransform", channelTransform},
                          {"set soundTransform", setChannelTransform, 1}});

    auto mixer = rt.defineNativeClass(pkg, QStringLiteral("SoundMixer"), rt.builtin(QStringLiteral("Object")), {},
                                      {{"get soundTransform", mixerTransform},
                                       {"set soundTransform", setMixerTransform, 1},
                                       {"stopAll", stopAll}, {"areSoundsInaccessible", no},
                                       {"computeSpectrum", nothing, 3}, {"get bufferTime", zero},
                                       {"set bufferTime", nothing, 1}});
    mixer->isFinal = true;
}

void SoundClasses::finishChannels(Runtime& rt) {
    sound::SoundPlayback* playback = playbackOf(rt);
    if (!rt.stage || !playback) return;
    const std::vector<int> ended = playback->mixer().takeFinished();
    std::vector<std::shared_ptr<MediaObject>> complete;
    std::erase_if(rt.stage->playingChannels, [&](const ObjectPtr& o) {
        auto c = std::static_pointer_cast<MediaObject>(o);
        if (c->stoppedAtMs >= 0) return true;
        if (std::find(ended.begin(), ended.end(), c->voice) != ended.end()) {
            complete.push_back(c);
            return true;
        }
        // A voice gone another way (its owner removed, all sounds stopped) completes nothing.
        return !playback->mixer().isVoiceActive(c->voice);
    });
    for (const auto& c : complete) {
        // The position stays at the end once the voice is gone.
        c->stoppedAtMs = c->lengthMs;
        auto e = rt.stage->newEvent(QStringLiteral("flash.events.Event"), QStringLiteral("soundComplete"));
        rt.stage->dispatch(*c, *e);
    }
}

} // namespace nimbrel::movie::avm2
