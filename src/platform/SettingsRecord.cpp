#include "platform/SettingsRecord.h"

#include <QCryptographicHash>
#include <QList>

namespace nimbrel::platform {

namespace {

constexpr char kSep = '\t';
constexpr qsizetype kSumLength = 8; // hex digits

void appendEscaped(QByteArray& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    for (char c : utf8) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
}

std::optional<QString> unescape(QByteArrayView field) {
    QByteArray utf8;
    utf8.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c != '\\') {
            utf8 += c;
            continue;
        }
        if (++i == field.size())
            return std::nullopt;
        switch (field[i]) {
        case '\\': utf8 += '\\'; break;
        case 't': utf8 += '\t'; break;
        case 'n': utf8 += '\n'; break;
        case 'r': utf8 += '\r'; break;
        default: return std::nullopt;
        }
    }
    return QString::fromUtf8(utf8);
}

// A short digest of the line's body; it only has to catch damage, not tampering.
QByteArray checksum(QByteArrayView body) {
    return QCryptographicHash::hash(body, QCryptographicHash::Md5).left(kSumLength / 2).toHex();
}

} // namespace

SettingsRecord SettingsRecord::set(const QString& app, const QString& section, const QString& key, const QString& value) {
    SettingsRecord r;
    r.kind = Kind::Set;
    r.app = app;
    r.section = section;
    r.key = key;
    r.value = value;
    return r;
}

SettingsRecord SettingsRecord::deleteSection(const QString& app, const QString& section) {
    SettingsRecord r;
    r.kind = Kind::DeleteSection;
    r.app = app;
    r.section = section;
    return r;
}

QByteArray SettingsRecord::header() {
    return QByteArrayLiteral("NimbrelSettings\t1\n");
}

QByteArray SettingsRecord::encode() const {
    QByteArray line;
    line.reserve(32 + app.size() + section.size() + key.size() + value.size() * 3);
    line += kind == Kind::Set ? 'S' : 'D';
    line += kSep;
    appendEscaped(line, app);
    line += kSep;
    appendEscaped(line, section);
    line += kSep;
    if (kind == Kind::Set) {
        appendEscaped(line, key);
        line += kSep;
        appendEscaped(line, value);
        line += kSep;
    }
    line += checksum(line);
    line += '\n';
    return line;
}

std::optional<SettingsRecord> SettingsRecord::decode(QByteArrayView line) {
    if (line.size() < kSumLength + 2 || line[line.size() - kSumLength - 1] != kSep)
        return std::nullopt;
    const QByteArrayView body = line.first(line.size() - kSumLength);
    if (checksum(body) != line.last(kSumLength))
        return std::nullopt;

    QList<QByteArrayView> fields;
    qsizetype start = 0;
    for (qsizetype i = 0; i < body.size(); ++i) {
        if (body[i] == kSep) {
            fields.append(body.sliced(start, i - start));
            start = i + 1;
        }
    }
    if (fields.isEmpty() || fields[0].size() != 1)
        return std::nullopt;

    SettingsRecord r;
    const char tag = fields[0][0];
    if (tag == 'S' && fields.size() == 5)
        r.kind = Kind::Set;
    else if (tag == 'D' && fields.size() == 3)
        r.kind = Kind::DeleteSection;
    else
        return std::nullopt;

    QString* targets[] = {&r.app, &r.section, &r.key, &r.value};
    for (qsizetype i = 1; i < fields.size(); ++i) {
        auto text = unescape(fields[i]);
        if (!text)
            return std::nullopt;
        *targets[i - 1] = std::move(*text);
    }
    return r;
}

std::optional<SettingsRecord> SettingsRecord::Remains::deletion() const {
    if (!deletionShape || !app || !section)
        return std::nullopt;
    return SettingsRecord::deleteSection(*app, *section);
}

SettingsRecord::Remains SettingsRecord::remains(QByteArrayView line) {
    Remains r;
    QList<QByteArrayView> pieces; // the text after the last tab is no field: the checksum, or damage
    qsizetype start = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == kSep) {
            pieces.append(line.sliced(start, i - start));
            start = i + 1;
        }
    }
    // A zeroed stretch reads as NULs, which no record holds: the pieces before it are
    // whole, the ones after it belong to whatever line the stretch ran into. Without
    // NULs, a tab lost or gained shifts every field after it, so then only a line of
    // the right shape is read.
    qsizetype beforeZeros = pieces.size();
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (pieces[i].contains('\0')) {
            beforeZeros = i;
            break;
        }
    }
    const bool zeroed = beforeZeros < pieces.size() || line.sliced(start).contains('\0');
    const bool rightShape = pieces.size() == 5 || (pieces.size() == 3 && pieces[0] != "S");
    const qsizetype trusted = zeroed ? beforeZeros : rightShape ? pieces.size() : 0;
    if (trusted == 0)
        return r;
    if (pieces[0] == "S")
        r.kind = Kind::Set;
    else if (pieces[0] == "D")
        r.kind = Kind::DeleteSection;

    const auto readField = [&](qsizetype i) -> std::optional<QString> {
        if (i >= trusted || !pieces[i].isValidUtf8())
            return std::nullopt;
        return unescape(pieces[i]);
    };
    r.app = readField(1);
    if (r.app)
        r.section = readField(2);
    if (r.section && r.kind != Kind::DeleteSection)
        r.key = readField(3);
    r.deletionShape = r.kind == Kind::DeleteSection && r.section && pieces.size() == 3 && trusted == 3;
    return r;
}

qsizetype SettingsRecord::soundTailStart(QByteArrayView line) {
    // From the end: the swallowed line is found within the few tags and one-letter
    // names it can hold, and a long run of look-alikes cannot make this quadratic.
    constexpr int kMostTries = 64;
    int tries = 0;
    for (qsizetype p = line.size() - 2; p >= 1 && tries < kMostTries; --p) {
        if ((line[p] == 'S' || line[p] == 'D') && line[p + 1] == kSep) {
            ++tries;
            if (decode(line.sliced(p)))
                return p;
        }
    }
    return -1;
}

} // namespace nimbrel::platform
