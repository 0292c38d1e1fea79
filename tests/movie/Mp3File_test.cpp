// Loaded MP3 files: the tags around the audio and their text fields, and
// the same files taken apart as they arrive in pieces.
#include "movie/sound/Mp3File.h"
#include "movie/sound/Mp3Stream.h"
#include "support/SoundFixtures.h"
#include <gtest/gtest.h>

using nimbrel::movie::sound::Mp3File;
using nimbrel::movie::sound::Mp3Stream;
using nimbrel::movie::sound::SoundMixer;
using namespace nimbrel::movie::test;

namespace {

// An ID3v2.3 tag of text frames (Latin-1).
QByteArray id3v2(const std::vector<std::pair<QByteArray, QByteArray>>& frames) {
    QByteArray body;
    for (const auto& [id, text] : frames) {
        const QByteArray payload = QByteArray(1, '\0') + text;
        body += id;
        for (int shift : {24, 16, 8, 0}) body += char((payload.size() >> shift) & 0xff);
        body += QByteArray(2, '\0');
        body += payload;
    }
    QByteArray tag("ID3\x03\x00\x00", 6);
    for (int shift : {21, 14, 7, 0}) tag += char((body.size() >> shift) & 0x7f);
    return tag + body;
}

QByteArray id3v1(const QByteArray& title, const QByteArray& artist, uint8_t track) {
    QByteArray t("TAG");
    t += title.leftJustified(30, '\0', true);
    t += artist.leftJustified(30, '\0', true);
    t += QByteArray(30, '\0'); // album
    t += QByteArray("1999");
    t += QByteArray(28, '\0');
    t += '\0';
    t += char(track);
    t += char(255);
    return t;
}

QString find(const Mp3File::Tags& tags, const char* name) {
    for (const auto& [k, v] : tags)
        if (k == QLatin1String(name)) return v;
    return QStringLiteral("<none>");
}

TEST(Mp3File, AudioLiesBetweenTheTags) {
    const QByteArray audio("\xff\xfb\x90\x00 frames", 11);
    EXPECT_EQ(Mp3File::audio(id3v2({{"TIT2", "Song"}}) + audio + id3v1("a", "b", 1)), audio);
    EXPECT_EQ(Mp3File::audio(audio), audio);
    // A header whose size is not synch-safe is audio, not a tag.
    const QByteArray fake("ID3\x03\x00\x00\x80\x00\x00\x00rest", 14);
    EXPECT_EQ(Mp3File::audio(fake), fake);
    // A size past the end swallows the file, nothing more.
    EXPECT_TRUE(Mp3File::audio(QByteArray("ID3\x03\x00\x00\x7f\x7f\x7f\x7f", 10)).isEmpty());
}

TEST(Mp3File, TagsGiveFrameIdsAndTheNamesMoviesRead) {
    const QByteArray file = id3v2({{"TIT2", "Song"}, {"TPE1", "Band"}, {"TXXX", "x"}}) + QByteArray("\xff\xfb", 2) +
                            id3v1("Old title", "Old band", 7);
    const auto tags = Mp3File::tags(file);
    EXPECT_EQ(find(tags, "TIT2"), "Song");
    EXPECT_EQ(find(tags, "songname"), "Song");
    EXPECT_EQ(find(tags, "artist"), "Band");
    // The older tag fills in only what the newer one lacks.
    EXPECT_EQ(find(tags, "year"), "1999");
    EXPECT_EQ(find(tags, "track"), "7");
    EXPECT_EQ(find(tags, "genre"), "<none>");
}

TEST(Mp3File, DamagedTagsEndTheirListWithoutFailing) {
    QByteArray bad = id3v2({{"TIT2", "Song"}});
    bad[17] = char(0x7f); // the frame's size runs past the tag
    EXPECT_EQ(find(Mp3File::tags(bad), "songname"), "<none>");
    EXPECT_TRUE(Mp3File::tags(QByteArray("ID3")).empty());
    EXPECT_TRUE(Mp3File::tags(QByteArray()).empty());
}

} // namespace

namespace {

struct SliceCase {
    const char* name;
    int slice;          // bytes handed over at a time
    QByteArray between; // bytes that are no frame, after the leading tag
};

class Mp3StreamSlices : public testing::TestWithParam<SliceCase> {};

// However the file is cut, the tags arrive once each and the tone plays whole,
// at its pitch, starting before the file has ended.
TEST_P(Mp3StreamSlices, DecodeTheWholeToneAndItsTags) {
    const SliceCase& c = GetParam();
    constexpr int kToneFrames = 1152 * 40;
    const auto packets = encodePackets("libmp3lame", 44100, 1, sineTone(441, 44100, kToneFrames));
    QByteArray audio;
    for (const QByteArray& p : packets) audio += p;
    ASSERT_GT(audio.size(), 1000) << "MP3 encoder missing";
    const QByteArray tag = id3v2({{"TIT2", "Tone"}});
    const QByteArray file = tag + c.between + audio + id3v1("Old", "Band", 3);

    Mp3Stream stream;
    SoundMixer mixer;
    std::vector<int16_t> out;
    int tagsArrived = 0, tagArrivedAt = -1;
    int64_t handedMidway = -1;
    for (qsizetype at = 0; at < file.size(); at += c.slice) {
        if (stream.append(file.mid(at, c.slice))) ++tagsArrived, tagArrivedAt = int(at + c.slice);
        if (handedMidway < 0 && at >= file.size() / 2) {
            stream.feed(mixer, &stream, nullptr, 1 << 30);
            handedMidway = stream.handedFrames();
        }
    }
    EXPECT_EQ(tagsArrived, 1);
    EXPECT_GE(tagArrivedAt, tag.size());
    EXPECT_LT(tagArrivedAt, tag.size() + c.slice);
    if (c.slice < file.size()) EXPECT_GT(handedMidway, 0) << "waited for the end of the file";
    EXPECT_EQ(stream.lengthFrames(), int64_t(packets.size()) * 1152); // every frame found, nothing else taken for one
    EXPECT_TRUE(stream.finish()) << "the closing tag adds the artist";
    EXPECT_EQ(stream.bytesReceived(), file.size());
    for (int guard = 0; !stream.handedAll() && guard < 1000; ++guard) {
        stream.feed(mixer, &stream, nullptr, 4410);
        mixer.mixInto(out, 4410);
    }
    ASSERT_TRUE(stream.handedAll());
    std::vector<int16_t> left;
    for (size_t i = 0; i < out.size(); i += 2) left.push_back(out[i]);
    const int begin = firstLoudSample(left, 2000), end = lastLoudSample(left, 2000);
    EXPECT_NEAR(end - begin, kToneFrames, 2500);
    EXPECT_NEAR(zeroCrossingHz(left, begin + 2000, end - 2000), 441, 5);
    EXPECT_EQ(find(stream.tags(), "songname"), "Tone");
    EXPECT_EQ(find(stream.tags(), "artist"), "Band");
    // Everything decoded went to the mixer.
    EXPECT_EQ(stream.decodeAll()->size(), size_t(stream.handedFrames()) * 2);
}

INSTANTIATE_TEST_SUITE_P(Cuts, Mp3StreamSlices,
                         testing::Values(SliceCase{"Whole", 1 << 24, {}}, SliceCase{"ByteByByte", 1, {}},
                                         SliceCase{"OddPieces", 997, QByteArray("junk\xff\xfb\x00", 7)}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
