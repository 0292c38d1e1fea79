#pragma once
// A stand-alone MP3 file as Sound.loadSound gets it: the audio frames
// between its ID3 tags, and the tags' text fields.
#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace nimbrel::movie::sound {

class Mp3File {
public:
    // Frame id (TIT2, TPE1...) or ID3v1 field name (songname, artist...) with its text.
    using Tags = std::vector<std::pair<QString, QString>>;

    // The bytes without a leading ID3v2 tag and a trailing ID3v1 tag.
    static QByteArray audio(const QByteArray& file);
    // The text fields of both tags, ID3v2 frames first, each with the
    // names movies read: TIT2 also as songname, TPE1 as artist and so on.
    static Tags tags(const QByteArray& file);
    // The size the leading ID3v2 tag declares for itself, header and footer
    // included: 0 without one, -1 while its first ten bytes have not arrived.
    static qsizetype leadingTagSize(const QByteArray& head);
};

} // namespace nimbrel::movie::sound
