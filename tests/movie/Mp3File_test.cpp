// Loaded MP3 files: the tags around the audio and their text fields.
#include "movie/sound/Mp3File.h"
#include <gtest/gtest.h>

using nimbrel::movie::sound::Mp3File;

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
