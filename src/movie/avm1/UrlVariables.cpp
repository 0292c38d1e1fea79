#include "movie/avm1/UrlVariables.h"
#include <QByteArray>

namespace nimbrel::movie::avm1 {

namespace {

int hexValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

QString UrlVariables::escape(const QString& s)
{
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    const QByteArray bytes = s.toUtf8();
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const uchar c = uchar(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            out += QLatin1Char(char(c));
        } else {
            out += QLatin1Char('%');
            out += QLatin1Char(hex[c >> 4]);
            out += QLatin1Char(hex[c & 15]);
        }
    }
    return out;
}

QString UrlVariables::unescape(const QString& s)
{
    QByteArray out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == QLatin1Char('%')) {
            // A broken escape is dropped, as far as it got: "%z" two characters, "%4z" three.
            const int hi = i + 1 < s.size() ? hexValue(s[i + 1]) : -1;
            if (hi < 0) {
                ++i;
                continue;
            }
            const int lo = i + 2 < s.size() ? hexValue(s[i + 2]) : -1;
            if (lo >= 0)
                out.append(char(hi * 16 + lo));
            i += 2;
            continue;
        }
        if (c == QLatin1Char('+'))
            out.append(' ');
        else
            out.append(QString(c).toUtf8());
    }
    return QString::fromUtf8(out);
}

UrlVariables::Pairs UrlVariables::decode(const QString& text)
{
    Pairs out;
    for (const QString& piece : text.split(QLatin1Char('&'))) {
        const qsizetype eq = piece.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        out.append({unescape(piece.left(eq)), unescape(piece.mid(eq + 1))});
    }
    return out;
}

QString UrlVariables::encode(const Pairs& pairs)
{
    QString out;
    for (const auto& p : pairs) {
        if (!out.isEmpty())
            out += QLatin1Char('&');
        out += escape(p.first) + QLatin1Char('=') + escape(p.second);
    }
    return out;
}

} // namespace nimbrel::movie::avm1
