#pragma once
// Reads an FLV file as it arrives: the header, then one tag at a time as soon
// as its bytes are all there. A tag that is damaged (unknown type, a size
// that disagrees with the size written after it) is skipped: reading goes on
// at the next place a tag plausibly begins. Such a place is only sure once
// the size written after it has arrived, so a false one can hold reading up
// until more bytes or the end of the file (finish()) settle it.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace nimbrel::movie::video {

struct FlvTag {
    enum Type : uint8_t { Audio = 8, Video = 9, Script = 18 };
    Type type = Audio;
    uint32_t timestampMs = 0;
    QByteArray data;
};

class FlvReader {
public:
    static constexpr uint32_t maxTagBytes = 16 * 1024 * 1024;

    void append(const QByteArray& bytes);
    // No more bytes will come: a tag waiting for its end is damaged after all.
    void finish() { ended_ = true; }
    // The next whole tag; nothing while more bytes are needed or after an error.
    std::optional<FlvTag> next();
    // Non-empty once the bytes are not an FLV file at all.
    const QString& error() const { return error_; }
    bool hasAudio() const { return hasAudio_; }
    bool hasVideo() const { return hasVideo_; }
    int skippedTags() const { return skipped_; }

private:
    bool readHeader();
    // Whether the 11 bytes at `at` read as a tag header: known type, stream 0, a bounded size.
    bool plausibleHeader(qsizetype at) const;

    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool headerRead_ = false;
    bool hasAudio_ = false, hasVideo_ = false;
    int skipped_ = 0;
    bool resyncing_ = false; // looking for the next tag after a damaged one
    bool ended_ = false;
    QString error_;
};

} // namespace nimbrel::movie::video
