#pragma once
// FLV files for tests: tags written one by one (damaged ones too), AMF0
// script data, a ready-made file of H.263 pictures with sound and metadata,
// and the movie that plays a file through NetStream into a Video.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

namespace nimbrel::movie::test {

class FlvBuilder {
public:
    FlvBuilder(bool audio, bool video);
    // A picture: the frame type (1 key, 2 inter) and codec byte before the packet.
    void video(uint32_t ms, uint8_t codec, bool keyframe, const QByteArray& packet);
    // Sound: the flags byte (as DefineSound's) before the data.
    void audio(uint32_t ms, uint8_t flags, const QByteArray& data);
    void script(uint32_t ms, const QByteArray& amf);
    // A tag as given, with a size after it that matches or not.
    void tag(uint8_t type, uint32_t ms, const QByteArray& body, bool sizeAfterMatches = true);
    void raw(const QByteArray& bytes) { bytes_ += bytes; }
    const QByteArray& bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

// AMF0 values.
namespace amf {
QByteArray number(double v);
QByteArray boolean(bool v);
QByteArray string(const QString& v);
using Members = std::vector<std::pair<QString, QByteArray>>;
QByteArray object(const Members& members);
QByteArray ecmaArray(const Members& members);
QByteArray strictArray(const std::vector<QByteArray>& items);
// A script tag body: the handler's name, then its argument.
QByteArray message(const QString& name, const QByteArray& value);
} // namespace amf

struct FlvSpec {
    enum class Sound { None, Pcm, Mp3 };
    int pictures = 20;      // at 10 per second
    int keyInterval = 5;    // a keyframe every that many pictures
    Sound sound = Sound::Pcm;
    double toneHz = 441;
};
// 32x32 H.263 pictures whose left half changes colour at each keyframe
// (red, green, blue...), a mono tone for the whole length, onMetaData
// (duration, width, height, framerate, a nested object and an array) at 0
// and a cue point "half" at the middle. Empty when an encoder is missing.
QByteArray flvFile(const FlvSpec& spec);
// Colour of the left half from the keyframe at or before picture i.
uint32_t flvKeyColour(int picture, int keyInterval);

// A 400x300 movie with a 160x120 Video instance "v" at (0,0), whose first
// frame runs: nc = new NetConnection(); nc.connect(null); ns = new NetStream(nc);
// ns.onStatus traces "status <code> <level>", onMetaData and onCuePoint trace
// their fields; v.attachVideo(ns); ns.play(url); then `extra` (action bytes).
// Later frames run what `later` gives them (frame number, action bytes). 10 fps.
using FrameActions = std::vector<std::pair<int, QByteArray>>;
QByteArray netStreamMovie(const QString& url, const FrameActions& later = {}, int frames = 60);

} // namespace nimbrel::movie::test
