#include "movie/avm2/UriCoding.h"
#include <QByteArray>

namespace nimbrel::movie::avm2 {

namespace {

const char kHex[] = "0123456789ABCDEF";

bool isAlnum(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool inList(char16_t c, const char* list) {
    for (const char* p = list; *p; ++p)
        if (c == char16_t(*p)) return true;
    return false;
}
const char* const kUnreserved = "-_.!~*'()";
const char* const kReserved = ";/?:@&=+$,#";

void appendByte(QString& out, uint8_t b) {
    out += QLatin1Char('%');
    out += QLatin1Char(kHex[b >> 4]);
    out += QLatin1Char(kHex[b & 15]);
}
int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}
void appendUtf8(QByteArray& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}
void appendCodePoint(QString& out, char32_t cp) {
    if (cp >= 0x10000) {
        out += QChar(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
        out += QChar(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
        out += QChar(char16_t(cp));
    }
}

// The code point at `i` (a surrogate pair read whole); -1 for an unpaired surrogate.
int64_t codePointAt(const QString& s, qsizetype& i) {
    const char16_t c = s[i].unicode();
    if (c < 0xD800 || c > 0xDFFF) return c;
    if (c >= 0xDC00 || i + 1 >= s.size()) return -1;
    const char16_t low = s[i + 1].unicode();
    if (low < 0xDC00 || low > 0xDFFF) return -1;
    ++i;
    return 0x10000 + ((int64_t(c) - 0xD800) << 10) + (low - 0xDC00);
}

// One UTF-8 sequence from `bytes` at `i`; its length in `len`, or -1 when broken.
// Encoded surrogates are accepted as the code points they name.
int64_t readUtf8(const QByteArray& bytes, qsizetype i, int& len) {
    const uint8_t lead = uint8_t(bytes[i]);
    len = 1;
    if (lead < 0x80) return lead;
    int extra = lead >= 0xF0 && lead < 0xF8 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (lead >= 0xF8 || extra < 0 || i + extra >= bytes.size()) return -1;
    int64_t cp = lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const uint8_t b = uint8_t(bytes[i + k]);
        if ((b & 0xC0) != 0x80) return -1;
        cp = (cp << 6) | (b & 0x3F);
    }
    static const int64_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF) return -1;
    len = extra + 1;
    return cp;
}

} // namespace

QString UriCoding::escape(const QString& text) {
    QString out;
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if (isAlnum(c) || inList(c, "@-_.*+/")) {
            out += qc;
        } else if (c < 0x100) {
            appendByte(out, uint8_t(c));
        } else {
            out += QStringLiteral("%u");
            for (int shift = 12; shift >= 0; shift -= 4) out += QLatin1Char(kHex[(c >> shift) & 15]);
        }
    }
    return out;
}

std::optional<QString> UriCoding::encode(const QString& text, Set set) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (isAlnum(c) || inList(c, kUnreserved) || (set == Set::Uri && inList(c, kReserved))) {
            out += QChar(c);
            continue;
        }
        const int64_t cp = codePointAt(text, i);
        if (cp < 0) return std::nullopt;
        QByteArray bytes;
        appendUtf8(bytes, char32_t(cp));
        for (char b : bytes) appendByte(out, uint8_t(b));
    }
    return out;
}

std::optional<QString> UriCoding::decode(const QString& text, Set set) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('%')) {
            out += text[i];
            continue;
        }
        // Every byte of one sequence, each as %XX.
        QByteArray bytes;
        const qsizetype start = i;
        auto byteAt = [&](qsizetype at) -> int {
            if (at + 2 >= text.size()) return -1;
            if (text[at] != QLatin1Char('%')) return -1;
            const int hi = hexValue(text[at + 1].unicode()), lo = hexValue(text[at + 2].unicode());
            return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
        };
        const int lead = byteAt(i);
        if (lead < 0) return std::nullopt;
        bytes += char(lead);
        const int extra = lead < 0x80 ? 0 : lead >= 0xF0 && lead < 0xF8 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
        if (extra < 0) return std::nullopt;
        for (int k = 1; k <= extra; ++k) {
            const int b = byteAt(i + 3 * k);
            if (b < 0) return std::nullopt;
            bytes += char(b);
        }
        i += 3 * (extra + 1) - 1;
        int len = 0;
        const int64_t cp = readUtf8(bytes, 0, len);
        if (cp < 0 || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
        if (set == Set::Uri && cp < 0x80 && inList(char16_t(cp), kReserved))
            out += text.mid(start, 3);
        else
            appendCodePoint(out, char32_t(cp));
    }
    return out;
}

QString UriCoding::escapeMultiByte(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size() && !text[i].isNull(); ++i) {
        const char16_t c = text[i].unicode();
        if (isAlnum(c)) {
            out += QChar(c);
            continue;
        }
        int64_t cp = codePointAt(text, i);
        if (cp < 0) cp = 0xFFFD;
        QByteArray bytes;
        appendUtf8(bytes, char32_t(cp));
        for (char b : bytes) appendByte(out, uint8_t(b));
    }
    return out;
}

QString UriCoding::unescapeMultiByte(const QString& text) {
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == 0) break;
        if (c != u'%') {
            qsizetype at = i;
            int64_t cp = codePointAt(text, at);
            appendUtf8(bytes, char32_t(cp < 0 ? c : cp));
            i = at;
            continue;
        }
        // A broken escape is dropped with the characters it took.
        if (i + 1 >= text.size()) break;
        const int hi = hexValue(text[i + 1].unicode());
        if (hi < 0) {
            ++i;
            continue;
        }
        if (i + 2 >= text.size()) break;
        const int lo = hexValue(text[i + 2].unicode());
        if (lo >= 0) bytes += char(hi * 16 + lo);
        i += 2;
    }
    QString out;
    for (qsizetype i = 0; i < bytes.size();) {
        int len = 1;
        const int64_t cp = readUtf8(bytes, i, len);
        if (cp < 0) out += QChar(char16_t(uint8_t(bytes[i])));
        else appendCodePoint(out, char32_t(cp));
        i += len;
    }
    return out;
}

} // namespace nimbrel::movie::avm2
