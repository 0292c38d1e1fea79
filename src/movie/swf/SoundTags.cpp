#include "movie/swf/SoundTags.h"
#include "movie/swf/BitReader.h"
#include "movie/swf/TagCode.h"

namespace nimbrel::movie::swf {

namespace {
constexpr int kRates[4] = {5512, 11025, 22050, 44100};
// An envelope of more points than this is cut: its only use would be to exhaust memory.
constexpr int kMaxEnvelopePoints = 256;
} // namespace

SoundFormat SoundFormat::fromFlags(uint8_t flags) {
    SoundFormat f;
    f.codec = uint8_t(flags >> 4);
    f.rate = kRates[(flags >> 2) & 3];
    f.sixteenBit = (flags & 2) != 0;
    f.stereo = (flags & 1) != 0;
    return f;
}

int SoundFormat::effectiveRate() const {
    switch (codec) {
    case Nellymoser16k:
    case Speex:
        return 16000;
    case Nellymoser8k:
    case G711ALaw:
    case G711MuLaw:
        return 8000;
    default:
        return rate;
    }
}

ParseResult<SoundDef> SoundDef::parse(const uint8_t* body, size_t length) {
    BitReader r(body, length);
    SoundDef d;
    d.id = r.u16();
    d.format = SoundFormat::fromFlags(r.u8());
    d.sampleCount = r.u32();
    if (r.failed()) return ParseResult<SoundDef>::failure(QStringLiteral("DefineSound is cut short"));
    d.data = QByteArray(reinterpret_cast<const char*>(r.current()), qsizetype(r.remaining()));
    return d;
}

bool SoundInfo::read(const uint8_t* body, size_t length, size_t offset, SoundInfo* out) {
    BitReader r(body, length);
    r.seek(offset);
    const uint8_t flags = r.u8();
    out->stop = (flags & 0x20) != 0;
    out->noMultiple = (flags & 0x10) != 0;
    if (flags & 0x01) out->inPoint = r.u32();
    if (flags & 0x02) out->outPoint = r.u32();
    if (flags & 0x04) out->loops = r.u16();
    if (flags & 0x08) {
        const int count = r.u8();
        for (int i = 0; i < count && !r.failed(); ++i) {
            SoundEnvelopePoint p;
            p.position = r.u32();
            p.left = r.u16();
            p.right = r.u16();
            if (!r.failed() && i < kMaxEnvelopePoints) out->envelope.push_back(p);
        }
    }
    return !r.failed();
}

ParseResult<StartSound> StartSound::parse(uint16_t code, const uint8_t* body, size_t length, int version) {
    StartSound s;
    BitReader r(body, length);
    if (code == TagStartSound2) {
        const std::string name = r.string();
        s.className = version >= 6 ? QString::fromStdString(name) : QString::fromLatin1(name.data(), qsizetype(name.size()));
    } else {
        s.soundId = r.u16();
    }
    if (r.failed() || !SoundInfo::read(body, length, r.pos(), &s.info))
        return ParseResult<StartSound>::failure(QStringLiteral("StartSound is cut short"));
    return s;
}

ParseResult<SoundStreamHead> SoundStreamHead::parse(const uint8_t* body, size_t length) {
    BitReader r(body, length);
    SoundStreamHead h;
    r.u8(); // the playback format: a suggestion the player is free to ignore
    h.format = SoundFormat::fromFlags(r.u8());
    h.samplesPerBlock = r.u16();
    if (r.failed()) return ParseResult<SoundStreamHead>::failure(QStringLiteral("SoundStreamHead is cut short"));
    if (h.format.codec == SoundFormat::Mp3 && r.remaining() >= 2) h.latencySeek = r.s16();
    return h;
}

} // namespace nimbrel::movie::swf
