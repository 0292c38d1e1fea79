#include "FlvFixtures.h"
#include "SoundFixtures.h"
#include "SwfBuilder.h"
#include "VideoFixtures.h"
#include "movie/avm1/support/ActionAssembler.h"
#include <QImage>
#include <cstring>

namespace nimbrel::movie::test {

namespace {
void be(QByteArray& out, uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.append(char((v >> (8 * i)) & 0xff));
}
QByteArray shortString(const QString& s) {
    QByteArray out;
    const QByteArray utf8 = s.toUtf8();
    be(out, uint32_t(utf8.size()), 2);
    return out + utf8;
}
QByteArray members(const amf::Members& list) {
    QByteArray out;
    for (const auto& [name, value] : list) out += shortString(name) + value;
    return out + QByteArray("\x00\x00\x09", 3);
}
const uint32_t kKeyColours[] = {0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffff00, 0xffff00ff, 0xff00ffff};
} // namespace

FlvBuilder::FlvBuilder(bool audio, bool video) {
    bytes_ = QByteArray("FLV\x01", 4);
    bytes_.append(char((audio ? 4 : 0) | (video ? 1 : 0)));
    be(bytes_, 9, 4);
    be(bytes_, 0, 4);
}

void FlvBuilder::tag(uint8_t type, uint32_t ms, const QByteArray& body, bool sizeAfterMatches) {
    bytes_.append(char(type));
    be(bytes_, uint32_t(body.size()), 3);
    be(bytes_, ms & 0xffffff, 3);
    bytes_.append(char(ms >> 24));
    be(bytes_, 0, 3);
    bytes_ += body;
    be(bytes_, uint32_t(body.size()) + (sizeAfterMatches ? 11 : 7), 4);
}

void FlvBuilder::video(uint32_t ms, uint8_t codec, bool keyframe, const QByteArray& packet) {
    tag(9, ms, QByteArray(1, char((keyframe ? 1 : 2) << 4 | codec)) + packet);
}

void FlvBuilder::audio(uint32_t ms, uint8_t flags, const QByteArray& data) { tag(8, ms, QByteArray(1, char(flags)) + data); }

void FlvBuilder::script(uint32_t ms, const QByteArray& amf) { tag(18, ms, amf); }

namespace amf {
QByteArray number(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    QByteArray out(1, '\0');
    be(out, uint32_t(bits >> 32), 4);
    be(out, uint32_t(bits), 4);
    return out;
}
QByteArray boolean(bool v) { return QByteArray(1, '\x01') + QByteArray(1, v ? '\x01' : '\0'); }
QByteArray string(const QString& v) { return QByteArray(1, '\x02') + shortString(v); }
QByteArray object(const Members& list) { return QByteArray(1, '\x03') + members(list); }
QByteArray ecmaArray(const Members& list) {
    QByteArray out(1, '\x08');
    be(out, uint32_t(list.size()), 4);
    return out + members(list);
}
QByteArray strictArray(const std::vector<QByteArray>& items) {
    QByteArray out(1, '\x0a');
    be(out, uint32_t(items.size()), 4);
    for (const QByteArray& i : items) out += i;
    return out;
}
QByteArray message(const QString& name, const QByteArray& value) { return string(name) + value; }
} // namespace amf

uint32_t flvKeyColour(int picture, int keyInterval) {
    return kKeyColours[(picture / keyInterval) % std::size(kKeyColours)];
}

QByteArray flvFile(const FlvSpec& spec) {
    std::vector<QImage> pictures;
    for (int i = 0; i < spec.pictures; ++i)
        pictures.push_back(splitPicture(32, 32, QColor::fromRgba(flvKeyColour(i, spec.keyInterval)), Qt::white));
    const auto packets = encodePictures("flv", pictures, spec.keyInterval);
    if (int(packets.size()) != spec.pictures) return {};
    const int toneSamples = spec.pictures * 4410;
    const auto tone = sineTone(spec.toneHz, 44100, toneSamples);
    std::vector<std::pair<uint32_t, QByteArray>> sound; // time and data of each sound tag
    uint8_t soundFlagsByte = 0;
    if (spec.sound == FlvSpec::Sound::Pcm) {
        soundFlagsByte = soundFlags(3, 44100, true, false);
        for (int i = 0; i < spec.pictures; ++i)
            sound.emplace_back(uint32_t(i * 100), pcm16Bytes({tone.begin() + i * 4410, tone.begin() + (i + 1) * 4410}));
    } else if (spec.sound == FlvSpec::Sound::Mp3) {
        soundFlagsByte = soundFlags(2, 44100, true, false);
        const auto frames = encodePackets("libmp3lame", 44100, 1, tone);
        if (frames.empty()) return {};
        for (size_t i = 0; i < frames.size(); ++i) sound.emplace_back(uint32_t(i * 1152 * 1000 / 44100), frames[i]);
    }

    FlvBuilder flv(spec.sound != FlvSpec::Sound::None, true);
    const double seconds = spec.pictures / 10.0;
    flv.script(0, amf::message("onMetaData", amf::ecmaArray({
        {"duration", amf::number(seconds)},
        {"width", amf::number(32)},
        {"height", amf::number(32)},
        {"framerate", amf::number(10)},
        {"canSeekToEnd", amf::boolean(true)},
        {"encoder", amf::object({{"name", amf::string("tests")}})},
        {"keyframes", amf::strictArray({amf::number(0), amf::number(spec.keyInterval / 10.0)})},
    })));
    size_t nextSound = 0;
    for (int i = 0; i < spec.pictures; ++i) {
        const auto ms = uint32_t(i * 100);
        while (nextSound < sound.size() && sound[nextSound].first <= ms) {
            flv.audio(sound[nextSound].first, soundFlagsByte, sound[nextSound].second);
            ++nextSound;
        }
        if (i == spec.pictures / 2)
            flv.script(ms, amf::message("onCuePoint", amf::object({{"name", amf::string("half")},
                                                                    {"time", amf::number(ms / 1000.0)},
                                                                    {"type", amf::string("event")}})));
        flv.video(ms, 2, packets[size_t(i)].keyframe, packets[size_t(i)].data);
    }
    for (; nextSound < sound.size(); ++nextSound) flv.audio(sound[nextSound].first, soundFlagsByte, sound[nextSound].second);
    return flv.bytes();
}

QByteArray netStreamMovie(const QString& url, const FrameActions& later, int frames) {
    using avm1::test::ActionAssembler;
    SwfBuilder b;
    b.setBackground({255, 255, 255, 255});
    defineVideoStream(b, 1, 0, 160, 120, 2);
    Placement video;
    video.characterId = 1;
    video.name = QStringLiteral("v");
    b.placeObject2(video);

    auto traceJoined = [](ActionAssembler& a, const QString& object, const QString& prefix, const QStringList& fields) {
        a.pushString(prefix);
        for (const QString& f : fields) {
            a.getVariable(object);
            for (const QString& part : f.split('.')) {
                bool isIndex = false;
                const int index = part.toInt(&isIndex);
                isIndex ? a.pushInt(index) : a.pushString(part);
                a.op(0x4E);
            }
            a.op(0x47).pushString(" ").op(0x47);
        }
        a.trace();
    };
    ActionAssembler onStatus, onMeta, onCue, setup;
    traceJoined(onStatus, "info", "status ", {"code", "level"});
    traceJoined(onMeta, "m", "meta ", {"duration", "width", "height", "framerate", "canSeekToEnd", "encoder.name", "keyframes.1"});
    traceJoined(onCue, "c", "cue ", {"name", "time", "type"});
    setup.pushString("nc").pushInt(0).pushString("NetConnection").op(0x40).setVariable();
    setup.pushNull().pushInt(1).getVariable("nc").pushString("connect").op(0x52).op(0x17);
    setup.pushString("ns").getVariable("nc").pushInt(1).pushString("NetStream").op(0x40).setVariable();
    setup.getVariable("ns").pushString("onStatus").defineFunction("", {"info"}, onStatus).op(0x4F);
    setup.getVariable("ns").pushString("onMetaData").defineFunction("", {"m"}, onMeta).op(0x4F);
    setup.getVariable("ns").pushString("onCuePoint").defineFunction("", {"c"}, onCue).op(0x4F);
    setup.getVariable("ns").pushInt(1).getVariable("v").pushString("attachVideo").op(0x52).op(0x17);
    setup.pushString(url).pushInt(1).getVariable("ns").pushString("play").op(0x52).op(0x17);
    b.doAction(setup.tagBody());
    for (int f = 0; f < frames; ++f) {
        for (const auto& [at, actions] : later)
            if (at == f && f > 0) b.doAction(actions);
        b.showFrame();
    }
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 8000, 0, 6000}, 10, uint16_t(frames));
}

} // namespace nimbrel::movie::test
