#include "movie/sound/Mp3File.h"
#include <QStringDecoder>

namespace nimbrel::movie::sound {

namespace {

// Size of a leading ID3v2 tag within the file, header and footer included; 0 without one.
qsizetype id3v2Size(const QByteArray& f) {
    return std::min(f.size(), std::max<qsizetype>(0, Mp3File::leadingTagSize(f)));
}

bool hasId3v1(const QByteArray& f) { return f.size() >= 128 && f.mid(f.size() - 128, 3) == "TAG"; }

QString textOf(const QByteArray& data) {
    if (data.isEmpty()) return QString();
    const uint8_t encoding = uint8_t(data[0]);
    const QByteArray text = data.mid(1);
    QString s;
    switch (encoding) {
    case 1: s = QStringDecoder(QStringConverter::Utf16)(text); break; // with byte order mark
    case 2: s = QStringDecoder(QStringConverter::Utf16BE)(text); break;
    case 3: s = QString::fromUtf8(text); break;
    default: s = QString::fromLatin1(text); break;
    }
    const qsizetype nul = s.indexOf(QChar(0));
    return nul >= 0 ? s.left(nul) : s;
}

QString field(const QByteArray& f, qsizetype at, int length) {
    QByteArray raw = f.mid(at, length);
    const qsizetype nul = raw.indexOf('\0');
    if (nul >= 0) raw.truncate(nul);
    return QString::fromLatin1(raw).trimmed();
}

// The names movies read for the common frames.
const char* aliasOf(const QString& id) {
    static const std::pair<const char*, const char*> names[] = {
        {"TIT2", "songname"}, {"TPE1", "artist"}, {"TALB", "album"}, {"TYER", "year"},
        {"TDRC", "year"},     {"COMM", "comment"}, {"TRCK", "track"}, {"TCON", "genre"},
    };
    for (const auto& [frame, alias] : names)
        if (id == QLatin1String(frame)) return alias;
    return nullptr;
}

} // namespace

qsizetype Mp3File::leadingTagSize(const QByteArray& f) {
    if (f.size() < 10) return f.isEmpty() || QByteArray("ID3").startsWith(f.left(3)) ? -1 : 0;
    if (!f.startsWith("ID3")) return 0;
    const auto* p = reinterpret_cast<const uint8_t*>(f.constData());
    if ((p[6] | p[7] | p[8] | p[9]) & 0x80) return 0; // not a synch-safe size: not a tag
    const qsizetype body = qsizetype(p[6]) << 21 | qsizetype(p[7]) << 14 | qsizetype(p[8]) << 7 | p[9];
    const bool footer = (p[5] & 0x10) != 0;
    return 10 + body + (footer ? 10 : 0);
}

QByteArray Mp3File::audio(const QByteArray& file) {
    const qsizetype start = id3v2Size(file);
    qsizetype end = file.size();
    if (hasId3v1(file) && end - 128 >= start) end -= 128;
    return file.mid(start, end - start);
}

Mp3File::Tags Mp3File::tags(const QByteArray& file) {
    Tags out;
    const qsizetype size = id3v2Size(file);
    const int major = size ? uint8_t(file[3]) : 0;
    // ID3v2.3 and 2.4 frames: 4-byte id, 4-byte size (synch-safe in 2.4), 2 flag bytes.
    for (qsizetype at = 10; (major == 3 || major == 4) && at + 10 <= size && out.size() < 64;) {
        const QByteArray id = file.mid(at, 4);
        if (id[0] == '\0') break;
        const auto* p = reinterpret_cast<const uint8_t*>(file.constData() + at + 4);
        const qsizetype length = major == 4 ? (qsizetype(p[0] & 0x7f) << 21 | qsizetype(p[1] & 0x7f) << 14 |
                                               qsizetype(p[2] & 0x7f) << 7 | (p[3] & 0x7f))
                                            : (qsizetype(p[0]) << 24 | qsizetype(p[1]) << 16 | qsizetype(p[2]) << 8 | p[3]);
        if (length <= 0 || at + 10 + length > size) break;
        QByteArray body = file.mid(at + 10, length);
        if (id == "COMM" && body.size() >= 4) {
            // Encoding, language, a description ending in NUL, then the text.
            const char enc = body[0];
            QByteArray rest = body.mid(4);
            const qsizetype nul = rest.indexOf('\0');
            body = QByteArray(1, enc) + (nul >= 0 ? rest.mid(nul + 1) : rest);
        }
        const QString name = QString::fromLatin1(id);
        if (id.startsWith('T') || id == "COMM") {
            const QString text = textOf(body);
            out.emplace_back(name, text);
            if (const char* alias = aliasOf(name)) out.emplace_back(QString::fromLatin1(alias), text);
        }
        at += 10 + length;
    }
    if (hasId3v1(file)) {
        const qsizetype t = file.size() - 128;
        auto addUnlessSet = [&](const char* name, const QString& value) {
            for (const auto& [k, v] : out)
                if (k == QLatin1String(name)) return;
            if (!value.isEmpty()) out.emplace_back(QString::fromLatin1(name), value);
        };
        addUnlessSet("songname", field(file, t + 3, 30));
        addUnlessSet("artist", field(file, t + 33, 30));
        addUnlessSet("album", field(file, t + 63, 30));
        addUnlessSet("year", field(file, t + 93, 4));
        addUnlessSet("comment", field(file, t + 97, 28));
        if (file[t + 125] == '\0' && file[t + 126] != '\0')
            addUnlessSet("track", QString::number(uint8_t(file[t + 126])));
        if (uint8_t(file[t + 127]) != 255) addUnlessSet("genre", QString::number(uint8_t(file[t + 127])));
    }
    return out;
}

} // namespace nimbrel::movie::sound
