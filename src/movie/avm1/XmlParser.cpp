#include "movie/avm1/XmlParser.h"
#include <cstring>

namespace nimbrel::movie::avm1 {

namespace {

bool isXmlSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool allSpace(const QString& s)
{
    for (QChar c : s)
        if (!isXmlSpace(c))
            return false;
    return true;
}

// One pass over the text with an explicit stack of open elements.
class Reader {
public:
    Reader(const QString& text, bool ignoreWhite) : s_(text), ignoreWhite_(ignoreWhite) {}

    XmlParseResult run()
    {
        while (pos_ < s_.size() && out_.status == XmlParser::Ok) {
            if (s_[pos_] == QLatin1Char('<'))
                markup();
            else
                text();
        }
        if (out_.status == XmlParser::Ok && !open_.empty())
            out_.status = XmlParser::EndTagMissing;
        return std::move(out_);
    }

private:
    std::vector<XmlParsedNode>& siblings() { return open_.empty() ? out_.nodes : open_.back()->children; }

    // A CDATA section is a text node even when empty or only white space.
    void addText(const QString& value, bool cdata = false)
    {
        if (!cdata && (value.isEmpty() || (ignoreWhite_ && allSpace(value))))
            return;
        XmlParsedNode n;
        n.type = XmlParsedNode::Text;
        n.value = value;
        siblings().push_back(std::move(n));
    }

    void text()
    {
        qsizetype end = s_.indexOf(QLatin1Char('<'), pos_);
        if (end < 0)
            end = s_.size();
        addText(XmlParser::decodeEntities(s_.mid(pos_, end - pos_)));
        pos_ = end;
    }

    bool startsWith(const char* lit) const { return QStringView(s_).mid(pos_).startsWith(QLatin1String(lit)); }

    // Text from pos_ up to and including `close`, or false when it never comes.
    bool upTo(const char* close, QString& out)
    {
        qsizetype end = s_.indexOf(QLatin1String(close), pos_);
        if (end < 0)
            return false;
        end += qsizetype(strlen(close));
        out = s_.mid(pos_, end - pos_);
        pos_ = end;
        return true;
    }

    void markup()
    {
        QString chunk;
        if (startsWith("<!--")) {
            if (!upTo("-->", chunk))
                out_.status = XmlParser::CommentNotTerminated;
        } else if (startsWith("<![CDATA[")) {
            if (!upTo("]]>", chunk))
                out_.status = XmlParser::CdataNotTerminated;
            else
                addText(chunk.mid(9, chunk.size() - 12), true);
        } else if (startsWith("<?")) {
            if (!upTo("?>", chunk)) {
                out_.status = XmlParser::XmlDeclNotTerminated;
            } else {
                out_.xmlDecl += chunk;
                out_.hasXmlDecl = true;
            }
        } else if (startsWith("<!")) {
            docType();
        } else if (startsWith("</")) {
            endTag();
        } else {
            startTag();
        }
    }

    void docType()
    {
        // An internal subset in brackets may hold '>' of its own.
        int brackets = 0;
        for (qsizetype i = pos_ + 2; i < s_.size(); ++i) {
            QChar c = s_[i];
            if (c == QLatin1Char('['))
                ++brackets;
            else if (c == QLatin1Char(']') && brackets > 0)
                --brackets;
            else if (c == QLatin1Char('>') && brackets == 0) {
                out_.docTypeDecl = s_.mid(pos_, i + 1 - pos_);
                out_.hasDocType = true;
                pos_ = i + 1;
                return;
            }
        }
        out_.status = XmlParser::DocTypeNotTerminated;
    }

    void endTag()
    {
        qsizetype end = s_.indexOf(QLatin1Char('>'), pos_);
        if (end < 0) {
            out_.status = XmlParser::ElementMalformed;
            return;
        }
        QString name = s_.mid(pos_ + 2, end - pos_ - 2).trimmed();
        pos_ = end + 1;
        if (open_.empty())
            out_.status = XmlParser::StartTagMissing;
        else if (open_.back()->name != name)
            out_.status = XmlParser::EndTagMissing;
        else
            open_.pop_back();
    }

    void skipSpace()
    {
        while (pos_ < s_.size() && isXmlSpace(s_[pos_]))
            ++pos_;
    }

    void startTag()
    {
        ++pos_; // '<'
        qsizetype start = pos_;
        while (pos_ < s_.size() && !isXmlSpace(s_[pos_]) && s_[pos_] != QLatin1Char('>') && s_[pos_] != QLatin1Char('/'))
            ++pos_;
        XmlParsedNode node;
        node.name = s_.mid(start, pos_ - start);
        if (node.name.isEmpty()) {
            out_.status = XmlParser::ElementMalformed;
            return;
        }
        bool selfClosing = false;
        for (;;) {
            skipSpace();
            if (pos_ >= s_.size()) {
                out_.status = XmlParser::ElementMalformed;
                return;
            }
            QChar c = s_[pos_];
            if (c == QLatin1Char('>')) {
                ++pos_;
                break;
            }
            if (c == QLatin1Char('/')) {
                if (pos_ + 1 >= s_.size() || s_[pos_ + 1] != QLatin1Char('>')) {
                    out_.status = XmlParser::ElementMalformed;
                    return;
                }
                pos_ += 2;
                selfClosing = true;
                break;
            }
            if (!attribute(node))
                return;
        }
        auto& list = siblings();
        list.push_back(std::move(node));
        if (!selfClosing) {
            if (int(open_.size()) >= XmlParser::kMaxDepth) {
                out_.status = XmlParser::OutOfMemory;
                return;
            }
            open_.push_back(&list.back());
        }
    }

    bool attribute(XmlParsedNode& node)
    {
        qsizetype start = pos_;
        while (pos_ < s_.size() && !isXmlSpace(s_[pos_]) && s_[pos_] != QLatin1Char('=') && s_[pos_] != QLatin1Char('>')
               && s_[pos_] != QLatin1Char('/'))
            ++pos_;
        QString name = s_.mid(start, pos_ - start);
        skipSpace();
        if (name.isEmpty() || pos_ >= s_.size() || s_[pos_] != QLatin1Char('=')) {
            out_.status = XmlParser::ElementMalformed;
            return false;
        }
        ++pos_;
        skipSpace();
        if (pos_ >= s_.size() || (s_[pos_] != QLatin1Char('"') && s_[pos_] != QLatin1Char('\''))) {
            out_.status = XmlParser::ElementMalformed;
            return false;
        }
        QChar quote = s_[pos_++];
        qsizetype end = s_.indexOf(quote, pos_);
        if (end < 0) {
            out_.status = XmlParser::AttributeNotTerminated;
            return false;
        }
        QString value = XmlParser::decodeEntities(s_.mid(pos_, end - pos_));
        pos_ = end + 1;
        for (auto& a : node.attributes) {
            if (a.first == name) {
                a.second = value;
                return true;
            }
        }
        node.attributes.append({name, value});
        return true;
    }

    const QString& s_;
    bool ignoreWhite_;
    qsizetype pos_ = 0;
    XmlParseResult out_;
    std::vector<XmlParsedNode*> open_;
};

} // namespace

XmlParseResult XmlParser::parse(const QString& text, bool ignoreWhite)
{
    return Reader(text, ignoreWhite).run();
}

QString XmlParser::encodeEntities(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&apos;"); break;
        default: out += c;
        }
    }
    return out;
}

QString XmlParser::decodeEntities(const QString& s)
{
    if (!s.contains(QLatin1Char('&')))
        return s;
    QString out;
    out.reserve(s.size());
    qsizetype i = 0;
    while (i < s.size()) {
        QChar c = s[i];
        qsizetype semi = c == QLatin1Char('&') ? s.indexOf(QLatin1Char(';'), i + 1) : -1;
        // A later '&' before the ';' means this one starts no entity.
        qsizetype amp = c == QLatin1Char('&') ? s.indexOf(QLatin1Char('&'), i + 1) : -1;
        if (semi < 0 || (amp >= 0 && amp < semi) || semi - i > 12) {
            out += c;
            ++i;
            continue;
        }
        QStringView name = QStringView(s).mid(i + 1, semi - i - 1);
        QString decoded;
        if (name == QLatin1String("lt"))
            decoded = QStringLiteral("<");
        else if (name == QLatin1String("gt"))
            decoded = QStringLiteral(">");
        else if (name == QLatin1String("amp"))
            decoded = QStringLiteral("&");
        else if (name == QLatin1String("quot"))
            decoded = QStringLiteral("\"");
        else if (name == QLatin1String("apos"))
            decoded = QStringLiteral("'");
        else if (name.size() > 1 && name[0] == QLatin1Char('#')) {
            bool ok = false;
            uint code = (name[1] == QLatin1Char('x') || name[1] == QLatin1Char('X')) ? name.mid(2).toUInt(&ok, 16)
                                                                                     : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF) {
                char32_t cp = code;
                decoded = QString::fromUcs4(&cp, 1);
            }
        }
        if (decoded.isEmpty()) {
            out += c;
            ++i;
            continue;
        }
        out += decoded;
        i = semi + 1;
    }
    return out;
}

} // namespace nimbrel::movie::avm1
