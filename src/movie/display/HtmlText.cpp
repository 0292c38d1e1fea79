#include "movie/display/HtmlText.h"
#include <QHash>
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::display {

namespace {

struct Tag {
    QString name; // upper case
    bool closing = false;
    bool malformed = false; // an attribute value without quotes
    QHash<QString, QString> attributes; // names upper case
};

QString decodeEntities(const QString& s) {
    if (!s.contains(QLatin1Char('&'))) return s;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != QLatin1Char('&')) {
            out += s[i];
            continue;
        }
        const qsizetype semi = s.indexOf(QLatin1Char(';'), i + 1);
        if (semi < 0 || semi - i > 10) {
            out += s[i];
            continue;
        }
        const QString name = s.mid(i + 1, semi - i - 1);
        QString rep;
        if (name == QLatin1String("lt")) rep = QStringLiteral("<");
        else if (name == QLatin1String("gt")) rep = QStringLiteral(">");
        else if (name == QLatin1String("amp")) rep = QStringLiteral("&");
        else if (name == QLatin1String("quot")) rep = QStringLiteral("\"");
        else if (name == QLatin1String("apos")) rep = QStringLiteral("'");
        else if (name == QLatin1String("nbsp")) rep = QString(QChar(0xA0));
        else if (name.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const uint code = name.size() > 1 && (name[1] == QLatin1Char('x') || name[1] == QLatin1Char('X'))
                                  ? name.mid(2).toUInt(&ok, 16)
                                  : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF) rep = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        }
        if (rep.isEmpty()) {
            out += s[i];
            continue;
        }
        out += rep;
        i = semi;
    }
    return out;
}

// Reads the tag between '<' at pos and its '>'; returns the index after it.
qsizetype readTag(const QString& s, qsizetype pos, Tag& tag) {
    qsizetype i = pos + 1;
    const qsizetype n = s.size();
    if (i < n && s[i] == QLatin1Char('/')) {
        tag.closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < n && !s[i].isSpace() && s[i] != QLatin1Char('>') && s[i] != QLatin1Char('/')) ++i;
    tag.name = s.mid(nameStart, i - nameStart).toUpper();
    while (i < n && s[i] != QLatin1Char('>')) {
        if (s[i].isSpace() || s[i] == QLatin1Char('/')) {
            ++i;
            continue;
        }
        const qsizetype attrStart = i;
        while (i < n && !s[i].isSpace() && s[i] != QLatin1Char('=') && s[i] != QLatin1Char('>')) ++i;
        const QString attr = s.mid(attrStart, i - attrStart).toUpper();
        while (i < n && s[i].isSpace()) ++i;
        QString value;
        if (i < n && s[i] == QLatin1Char('=')) {
            ++i;
            while (i < n && s[i].isSpace()) ++i;
            if (i < n && (s[i] == QLatin1Char('"') || s[i] == QLatin1Char('\''))) {
                const QChar quote = s[i];
                const qsizetype end = s.indexOf(quote, i + 1);
                const qsizetype stop = end < 0 ? n : end;
                value = s.mid(i + 1, stop - i - 1);
                i = end < 0 ? n : end + 1;
            } else {
                tag.malformed = true;
                const qsizetype valueStart = i;
                while (i < n && !s[i].isSpace() && s[i] != QLatin1Char('>')) ++i;
                value = s.mid(valueStart, i - valueStart);
            }
        }
        if (!attr.isEmpty()) tag.attributes.insert(attr, decodeEntities(value));
    }
    return i < n ? i + 1 : n;
}

// "#" then hex digits, blanks after the "#" skipped; reading stops at the
// first other character and the last six digits count.
std::optional<uint32_t> parseColor(const QString& v) {
    if (!v.startsWith(QLatin1Char('#'))) return std::nullopt;
    qsizetype i = 1;
    while (i < v.size() && v[i].isSpace()) ++i;
    uint32_t c = 0;
    bool any = false;
    for (; i < v.size(); ++i) {
        const char16_t u = v[i].unicode(), lower = u | 0x20;
        const int d = u >= '0' && u <= '9' ? u - '0' : lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
        if (d < 0) break;
        c = ((c << 4) | uint32_t(d)) & 0xFFFFFF;
        any = true;
    }
    return any ? std::optional<uint32_t>(c) : std::nullopt;
}

void applyTag(const Tag& tag, TextFormat& f) {
    const auto& a = tag.attributes;
    if (tag.name == QLatin1String("B")) f.bold = true;
    else if (tag.name == QLatin1String("I")) f.italic = true;
    else if (tag.name == QLatin1String("U")) f.underline = true;
    else if (tag.name == QLatin1String("A")) {
        f.url = a.value(QStringLiteral("HREF"));
        f.target = a.value(QStringLiteral("TARGET"));
    } else if (tag.name == QLatin1String("LI")) {
        f.bullet = true;
    } else if (tag.name == QLatin1String("P")) {
        if (a.contains(QStringLiteral("ALIGN"))) {
            const QString al = a.value(QStringLiteral("ALIGN")).toLower();
            if (al == QLatin1String("left") || al == QLatin1String("right") || al == QLatin1String("center") ||
                al == QLatin1String("justify"))
                f.align = al;
        }
    } else if (tag.name == QLatin1String("FONT")) {
        if (a.contains(QStringLiteral("FACE"))) f.font = a.value(QStringLiteral("FACE"));
        if (a.contains(QStringLiteral("SIZE"))) {
            const QString sz = a.value(QStringLiteral("SIZE")).trimmed();
            bool ok = false;
            const int n = sz.toInt(&ok);
            if (ok) {
                // A leading sign makes the size relative to the current one.
                const bool relative = sz.startsWith(QLatin1Char('+')) || sz.startsWith(QLatin1Char('-'));
                f.size = relative ? f.size.value_or(12) + n : n;
            }
        }
        if (auto c = parseColor(a.value(QStringLiteral("COLOR")))) f.color = c;
        bool ok = false;
        if (double ls = a.value(QStringLiteral("LETTERSPACING")).toDouble(&ok); ok) f.letterSpacing = ls;
        if (int k = a.value(QStringLiteral("KERNING")).toInt(&ok); ok) f.kerning = k != 0;
    } else if (tag.name == QLatin1String("TEXTFORMAT")) {
        bool ok = false;
        if (double v = a.value(QStringLiteral("LEFTMARGIN")).toDouble(&ok); ok) f.leftMargin = v;
        if (double v = a.value(QStringLiteral("RIGHTMARGIN")).toDouble(&ok); ok) f.rightMargin = v;
        if (double v = a.value(QStringLiteral("INDENT")).toDouble(&ok); ok) f.indent = v;
        if (double v = a.value(QStringLiteral("LEADING")).toDouble(&ok); ok) f.leading = v;
        if (double v = a.value(QStringLiteral("BLOCKINDENT")).toDouble(&ok); ok) f.blockIndent = v;
        if (a.contains(QStringLiteral("TABSTOPS"))) {
            std::vector<double> stops;
            for (const QString& part : a.value(QStringLiteral("TABSTOPS")).split(QLatin1Char(','), Qt::SkipEmptyParts))
                if (double v = part.trimmed().toDouble(&ok); ok && stops.size() < 1000) stops.push_back(v);
            f.tabStops = stops;
        }
    }
}

bool endsParagraph(const FormattedText& out) {
    return out.length() == 0 || out.text().back() == QLatin1Char('\r');
}

} // namespace

void HtmlText::parse(const QString& html, const TextFormat& base, FormattedText& out, bool condenseWhite) {
    std::vector<std::pair<QString, TextFormat>> stack; // open tag and the format before it
    TextFormat current = base;
    QString pending;
    auto flush = [&] {
        if (pending.isEmpty()) return;
        out.append(decodeEntities(pending), current);
        pending.clear();
    };
    // A break that ends text takes that text's format, even past the tags that closed it.
    auto breakFormat = [&] {
        const TextFormat* last = endsParagraph(out) ? nullptr : out.formatAt(out.length() - 1);
        return last ? *last : current;
    };
    auto newParagraph = [&] {
        flush();
        out.append(QStringLiteral("\r"), breakFormat());
    };
    qsizetype i = 0;
    const qsizetype n = html.size();
    while (i < n && out.length() < FormattedText::maxLength) {
        const QChar c = html[i];
        if (c != QLatin1Char('<')) {
            if (condenseWhite && c.isSpace()) {
                if (!pending.endsWith(QLatin1Char(' ')) && !(pending.isEmpty() && !out.text().isEmpty() &&
                                                              out.text().back() == QLatin1Char(' ')))
                    pending += QLatin1Char(' ');
            } else if (c == QLatin1Char('\n')) {
                pending += QLatin1Char('\r');
            } else {
                pending += c;
            }
            ++i;
            continue;
        }
        Tag tag;
        i = readTag(html, i, tag);
        // The player reads no further than a tag it cannot read.
        if (tag.malformed) break;
        if (tag.name.isEmpty()) continue;
        if (tag.name == QLatin1String("BR")) {
            newParagraph();
            continue;
        }
        if (!tag.closing) {
            flush();
            if (tag.name == QLatin1String("LI") && !endsParagraph(out)) newParagraph();
            if (int(stack.size()) < maxNesting) stack.emplace_back(tag.name, current);
            applyTag(tag, current);
            continue;
        }
        // A closing tag closes the nearest open tag of its name and everything above it.
        auto it = std::find_if(stack.rbegin(), stack.rend(), [&](const auto& e) { return e.first == tag.name; });
        if (it == stack.rend()) continue;
        const bool paragraph = tag.name == QLatin1String("P") || tag.name == QLatin1String("LI");
        if (paragraph) newParagraph();
        else flush();
        current = it->second;
        stack.erase(std::next(it).base(), stack.end());
    }
    flush();
}

QString HtmlText::escape(const QString& plain) {
    QString out;
    out.reserve(plain.size());
    for (QChar c : plain) {
        switch (c.unicode()) {
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '&': out += QLatin1String("&amp;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&apos;"); break;
        default: out += c;
        }
    }
    return out;
}

namespace {

QString number(double v) {
    return std::isfinite(v) && v == std::floor(v) ? QString::number(qint64(v)) : QString::number(v);
}

QString colorText(uint32_t c) {
    return QStringLiteral("#%1").arg(c & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

// One paragraph [begin, end) of text, its paragraph settings from its first character.
QString writeParagraph(const FormattedText& text, int begin, int end, bool nestFonts) {
    const TextFormat* pf = text.formatAt(begin);
    const TextFormat para = pf ? *pf : TextFormat::defaults();
    QString out;
    QStringList tf;
    auto attr = [&](const char* name, const std::optional<double>& v) {
        if (v && *v != 0) tf << QStringLiteral("%1=\"%2\"").arg(QLatin1String(name), number(*v));
    };
    attr("LEFTMARGIN", para.leftMargin);
    attr("RIGHTMARGIN", para.rightMargin);
    attr("INDENT", para.indent);
    attr("LEADING", para.leading);
    attr("BLOCKINDENT", para.blockIndent);
    if (para.tabStops && !para.tabStops->empty()) {
        QStringList stops;
        for (double s : *para.tabStops) stops << number(s);
        tf << QStringLiteral("TABSTOPS=\"%1\"").arg(stops.join(QLatin1Char(',')));
    }
    if (!tf.isEmpty()) out += QStringLiteral("<TEXTFORMAT %1>").arg(tf.join(QLatin1Char(' ')));
    const bool bullet = para.bullet.value_or(false);
    out += bullet ? QStringLiteral("<LI>")
                  : QStringLiteral("<P ALIGN=\"%1\">").arg(para.align.value_or(QStringLiteral("left")).toUpper());
    // One FONT element covers neighbouring runs that share their font settings.
    QString openFont;
    static const char* const fontAttributes[] = {"FACE", "SIZE", "COLOR", "LETTERSPACING", "KERNING"};
    std::vector<QStringList> nested; // the font settings of each open FONT, outermost first
    for (const FormattedText::Span& s : text.spans()) {
        const int from = std::max(begin, s.start), to = std::min(end, s.start + s.length);
        if (from >= to && !(begin == end && s.start + s.length >= begin)) continue;
        const TextFormat& f = s.format;
        const QStringList values = {HtmlText::escape(f.font.value_or(QString())), number(f.size.value_or(12)),
                                    colorText(f.color.value_or(0)), number(f.letterSpacing.value_or(0)),
                                    QString::number(f.kerning.value_or(false) ? 1 : 0)};
        auto fontTag = [&values](const QStringList* differentFrom) {
            QString tag = QStringLiteral("<FONT");
            for (int a = 0; a < values.size(); ++a)
                if (!differentFrom || (*differentFrom)[a] != values[a])
                    tag += QStringLiteral(" %1=\"%2\"").arg(QLatin1String(fontAttributes[a]), values[a]);
            return tag + QLatin1Char('>');
        };
        if (nestFonts) {
            auto same = std::find(nested.begin(), nested.end(), values);
            if (same != nested.end()) {
                for (auto n = nested.end() - 1; n != same; --n) out += QStringLiteral("</FONT>");
                nested.erase(same + 1, nested.end());
            } else {
                out += fontTag(nested.empty() ? nullptr : &nested.back());
                nested.push_back(values);
            }
        } else if (const QString font = fontTag(nullptr); font != openFont) {
            if (!openFont.isEmpty()) out += QStringLiteral("</FONT>");
            out += font;
            openFont = font;
        }
        QString inner = HtmlText::escape(text.text().mid(from, std::max(0, to - from)));
        if (f.underline.value_or(false)) inner = QStringLiteral("<U>") + inner + QStringLiteral("</U>");
        if (f.italic.value_or(false)) inner = QStringLiteral("<I>") + inner + QStringLiteral("</I>");
        if (f.bold.value_or(false)) inner = QStringLiteral("<B>") + inner + QStringLiteral("</B>");
        if (f.url && !f.url->isEmpty())
            inner = QStringLiteral("<A HREF=\"%1\" TARGET=\"%2\">").arg(HtmlText::escape(*f.url), HtmlText::escape(f.target.value_or(QString()))) +
                    inner + QStringLiteral("</A>");
        out += inner;
        if (begin == end) break;
    }
    if (!openFont.isEmpty()) out += QStringLiteral("</FONT>");
    for (size_t n = 0; n < nested.size(); ++n) out += QStringLiteral("</FONT>");
    out += bullet ? QStringLiteral("</LI>") : QStringLiteral("</P>");
    if (!tf.isEmpty()) out += QStringLiteral("</TEXTFORMAT>");
    return out;
}

} // namespace

QString HtmlText::write(const FormattedText& text, bool nestFonts) {
    QString out;
    const QString& t = text.text();
    int begin = 0;
    for (int i = 0; i <= text.length(); ++i) {
        const bool atEnd = i == text.length();
        if (!atEnd && t[i] != QLatin1Char('\r')) continue;
        // A final paragraph break adds no empty paragraph after it.
        if (atEnd && begin == i && begin > 0) break;
        if (text.length() == 0) break;
        out += writeParagraph(text, begin, i, nestFonts);
        begin = i + 1;
    }
    return out;
}

} // namespace nimbrel::movie::display
