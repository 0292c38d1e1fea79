#pragma once
// The sound records of a movie: DefineSound, StartSound/StartSound2 with
// their sound info, SoundStreamHead/Head2 and SoundStreamBlock.
#include "movie/swf/ParseResult.h"
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace nimbrel::movie::swf {

// How a sound's samples are stored. Rates are 5512, 11025, 22050 or 44100 Hz.
struct SoundFormat {
    enum Codec : uint8_t {
        PcmNative = 0, // "platform-endian": written little-endian by every known tool
        Adpcm = 1,
        Mp3 = 2,
        PcmLittleEndian = 3,
        Nellymoser16k = 4,
        Nellymoser8k = 5,
        Nellymoser = 6,
        G711ALaw = 7,
        G711MuLaw = 8,
        Speex = 11,
    };
    uint8_t codec = PcmLittleEndian;
    int rate = 44100;
    bool sixteenBit = true;
    bool stereo = true;

    // The flags byte shared by DefineSound and the stream heads.
    static SoundFormat fromFlags(uint8_t flags);
    // The rate the samples really have: some codecs fix it whatever the flags say.
    int effectiveRate() const;
    int channels() const { return stereo ? 2 : 1; }
};

struct SoundDef {
    uint16_t id = 0;
    SoundFormat format;
    uint32_t sampleCount = 0; // per channel, at the format's rate
    QByteArray data;          // as stored; MP3 data starts with its seek-samples field

    static ParseResult<SoundDef> parse(const uint8_t* body, size_t length);
};

struct SoundEnvelopePoint {
    uint32_t position = 0; // in samples at 44,100 Hz from the sound's start
    uint16_t left = 32768;  // 0..32768
    uint16_t right = 32768;
};

struct SoundInfo {
    bool stop = false;       // stops the sound's instances instead of starting one
    bool noMultiple = false; // starts only when none of the sound plays
    std::optional<uint32_t> inPoint;  // 44,100 Hz samples
    std::optional<uint32_t> outPoint;
    uint16_t loops = 1;
    std::vector<SoundEnvelopePoint> envelope;

    // Reads the record at r's position; false when it is cut short.
    static bool read(const uint8_t* body, size_t length, size_t offset, SoundInfo* out);
};

// StartSound (by id) and StartSound2 (by class name, resolved through exports).
struct StartSound {
    uint16_t soundId = 0;
    QString className; // StartSound2 only
    SoundInfo info;

    static ParseResult<StartSound> parse(uint16_t code, const uint8_t* body, size_t length, int version);
};

struct SoundStreamHead {
    SoundFormat format;
    uint16_t samplesPerBlock = 0;
    int16_t latencySeek = 0; // MP3 only

    static ParseResult<SoundStreamHead> parse(const uint8_t* body, size_t length);
};

struct SoundStreamBlock {
    QByteArray data;
};

} // namespace nimbrel::movie::swf
