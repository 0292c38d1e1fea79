#include "movie/avm2/XmlParser.h"
#include <QRegularExpression>

namespace nimbrel::movie::avm2 {

namespace {

struct Fail {
    XmlParseError error;
};

class Reader {
public:
    Reader(const QString& text, const XmlSettings& settings) : s_(text), settings_(settings) {}

    std::vector<XmlNodePtr> readContent(const XmlNodePtr& parent, const QString* openTag) {
        std::vector<XmlNodePtr> out;
        QString pendingText;
        auto flushText = [&]() {
            if (pendingText.isEmpty()) return;
            QString t = pendingText;
            pendingText.clear();
            if (settings_.ignoreWhitespace) {
                t = t.trimmed();
                if (t.isEmpty()) return;
            }
            out.push_back(XmlNode::text(t));
        };
        while (pos_ < s_.size()) {
            if (s_[pos_] != u'<') {
                pendingText += readText();
                continue;
            }
            if (at("</")) {
                flushText();
                if (!openTag) fail(1088);
                pos_ += 2;
                const QString name = readName();
                skipSpace();
                if (!eat(u'>') || name != *openTag) fail(1085, {*openTag});
                return out;
            }
            if (s_.mid(pos_, 9).compare(QLatin1String("<![CDATA["), Qt::CaseInsensitive) == 0) {
                const qsizetype end = s_.indexOf(QLatin1String("]]>"), pos_ + 9);
                if (end < 0) fail(1091);
                flushText();
                out.push_back(XmlNode::text(s_.mid(pos_ + 9, end - pos_ - 9)));
                out.back()->cdata = true;
                pos_ = end + 3;
                continue;
            }
            if (at("<!--")) {
                const qsizetype end = s_.indexOf(QLatin1String("-->"), pos_ + 4);
                if (end < 0) fail(1094);
                const QString body = s_.mid(pos_ + 4, end - pos_ - 4);
                pos_ = end + 3;
                if (settings_.ignoreComments) continue;
                flushText();
                auto c = std::make_shared<XmlNode>(XmlNode::Kind::Comment);
                c->hasName = false;
                c->value = body;
                out.push_back(c);
                continue;
            }
            if (s_.mid(pos_, 9).compare(QLatin1String("<!DOCTYPE"), Qt::CaseInsensitive) == 0) {
                skipDoctype();
                continue;
            }
            if (at("<!")) fail(1090);
            if (at("<?")) {
                const qsizetype end = s_.indexOf(QLatin1String("?>"), pos_ + 2);
                if (end < 0) fail(s_.mid(pos_ + 2, 3).compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0 ? 1092 : 1097);
                const QString body = s_.mid(pos_ + 2, end - pos_ - 2);
                pos_ = end + 2;
                const qsizetype split = body.indexOf(QRegularExpression(QStringLiteral("\\s")));
                const QString target = split < 0 ? body : body.left(split);
                if (target.compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0 || settings_.ignoreProcessingInstructions) continue;
                flushText();
                auto pi = std::make_shared<XmlNode>(XmlNode::Kind::ProcessingInstruction);
                pi->local = target;
                pi->value = split < 0 ? QString() : body.mid(split + 1).trimmed();
                out.push_back(pi);
                continue;
            }
            flushText();
            out.push_back(readElement(parent));
        }
        flushText();
        if (openTag) fail(1085, {*openTag});
        return out;
    }

    [[noreturn]] void fail(int id, QStringList args = {}) { throw Fail{XmlParseError{id, std::move(args)}}; }

private:
    bool at(const char* lit) const {
        const QLatin1String l(lit);
        return s_.mid(pos_, l.size()) == l;
    }
    bool eat(QChar c) {
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void skipSpace() {
        while (pos_ < s_.size() && XmlParser::isXmlSpace(s_[pos_])) ++pos_;
    }
    QString readName() {
        const qsizetype start = pos_;
        while (pos_ < s_.size() && XmlParser::isNameChar(s_[pos_])) ++pos_;
        const QString name = s_.mid(start, pos_ - start);
        if (name.startsWith(u':') || name.endsWith(u':')) fail(1084, {name});
        if (!XmlParser::isValidName(name)) fail(1090);
        return name;
    }
    void skipDoctype() {
        int depth = 0;
        for (pos_ += 2; pos_ < s_.size(); ++pos_) {
            if (s_[pos_] == u'[') ++depth;
            else if (s_[pos_] == u']') --depth;
            else if (s_[pos_] == u'>' && depth <= 0) {
                ++pos_;
                return;
            }
        }
        fail(1093);
    }
    QString decode(const QString& raw) {
        QString out;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] != u'&') {
                out += raw[i];
                continue;
            }
            // An ampersand that starts no known reference stays as it is.
            const qsizetype semi = raw.indexOf(u';', i);
            const QString ent = semi < 0 ? QString() : raw.mid(i + 1, semi - i - 1);
            bool numeric = false;
            uint code = 0;
            if (ent.startsWith(u'#'))
                code = ent.startsWith(QLatin1String("#x")) ? ent.mid(2).toUInt(&numeric, 16) : ent.mid(1).toUInt(&numeric, 10);
            if (semi < 0 || (!numeric && ent != QLatin1String("lt") && ent != QLatin1String("gt") && ent != QLatin1String("amp") &&
                             ent != QLatin1String("quot") && ent != QLatin1String("apos"))) {
                out += u'&';
                continue;
            }
            if (numeric) out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
            else if (ent == QLatin1String("lt")) out += u'<';
            else if (ent == QLatin1String("gt")) out += u'>';
            else if (ent == QLatin1String("amp")) out += u'&';
            else if (ent == QLatin1String("quot")) out += u'"';
            else if (ent == QLatin1String("apos")) out += u'\'';
            i = semi;
        }
        return out;
    }
    QString readText() {
        const qsizetype start = pos_;
        while (pos_ < s_.size() && s_[pos_] != u'<') ++pos_;
        return decode(s_.mid(start, pos_ - start));
    }
    // Splits "p:local"; a name with an empty prefix or local part is malformed.
    void splitName(const QString& qname, QString& prefix, QString& local) {
        const qsizetype colon = qname.indexOf(u':');
        if (colon < 0) {
            prefix = QString();
            local = qname;
            return;
        }
        prefix = qname.left(colon);
        local = qname.mid(colon + 1);
        if (prefix.isEmpty() || local.isEmpty()) fail(1084, {qname});
    }
    QString resolve(const XmlNodePtr& node, const QString& prefix, bool isElement, const QString& qname) {
        if (prefix.isEmpty()) {
            if (!isElement) return QString();
            for (const XmlNamespace& ns : node->inScopeNamespaces())
                if (ns.prefix.isEmpty()) return ns.uri;
            return QString();
        }
        if (prefix == QLatin1String("xml")) return QStringLiteral("http://www.w3.org/XML/1998/namespace");
        for (const XmlNamespace& ns : node->inScopeNamespaces())
            if (ns.prefix == prefix) return ns.uri;
        fail(1083, {prefix, qname});
    }

    XmlNodePtr readElement(const XmlNodePtr& parent) {
        // Markup nested beyond any real document is refused before it can exhaust the stack.
        if (++depth_ > XmlParser::MaxDepth) fail(1090);
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{depth_};
        ++pos_; // '<'
        if (pos_ >= s_.size() || !(XmlParser::isNameStart(s_[pos_]) || s_[pos_] == u':')) fail(1090);
        const QString qname = readName();
        auto el = std::make_shared<XmlNode>(XmlNode::Kind::Element);
        if (parent) el->parent = parent;
        struct RawAttr {
            QString name, value;
        };
        std::vector<RawAttr> raw;
        bool empty = false;
        for (;;) {
            const bool spaced = pos_ < s_.size() && XmlParser::isXmlSpace(s_[pos_]);
            skipSpace();
            if (pos_ >= s_.size()) fail(1096);
            if (eat(u'>')) break;
            if (at("/>")) {
                pos_ += 2;
                empty = true;
                break;
            }
            if (!spaced || !(XmlParser::isNameStart(s_[pos_]) || s_[pos_] == u':')) fail(1090);
            const QString name = readName();
            skipSpace();
            if (!eat(u'=')) fail(1090);
            skipSpace();
            if (pos_ >= s_.size() || (s_[pos_] != u'"' && s_[pos_] != u'\'')) fail(1090);
            const QChar quote = s_[pos_++];
            const qsizetype end = s_.indexOf(quote, pos_);
            if (end < 0) fail(1095);
            const QString rawValue = s_.mid(pos_, end - pos_);
            if (rawValue.contains(u'<')) fail(1090);
            raw.push_back({name, decode(rawValue)});
            pos_ = end + 1;
        }
        for (const RawAttr& a : raw) {
            if (a.name == QLatin1String("xmlns")) el->addNamespace({QString(""), a.value});
            else if (a.name.startsWith(QLatin1String("xmlns:"))) el->addNamespace({a.name.mid(6), a.value});
        }
        QString prefix, local;
        splitName(qname, prefix, local);
        el->prefix = prefix.isEmpty() ? QString("") : prefix;
        el->local = local;
        el->uri = resolve(el, prefix, true, qname);
        for (const RawAttr& a : raw) {
            if (a.name == QLatin1String("xmlns") || a.name.startsWith(QLatin1String("xmlns:"))) continue;
            QString ap, al;
            splitName(a.name, ap, al);
            for (const XmlNodePtr& other : el->attributes)
                if (other->local == al && other->prefix == ap) fail(1104, {a.name, qname});
            XmlNodePtr attr = XmlNode::attribute(resolve(el, ap, false, a.name), al, a.value, ap);
            attr->parent = el;
            el->attributes.push_back(attr);
        }
        if (!empty)
            for (const XmlNodePtr& c : readContent(el, &qname)) el->insertChild(el->children.size(), c);
        return el;
    }

    const QString& s_;
    const XmlSettings& settings_;
    qsizetype pos_ = 0;
    int depth_ = 0;
};

} // namespace

bool XmlParser::isValidName(const QString& name) {
    if (name.isEmpty() || !isNameStart(name[0])) return false;
    for (QChar c : name)
        if (!isNameChar(c)) return false;
    return true;
}

std::variant<std::vector<XmlNodePtr>, XmlParseError> XmlParser::parse(const QString& text, const XmlSettings& settings,
                                                                      const QString& defaultUri) {
    // A holder for the default namespace the markup's unprefixed elements fall in.
    auto holder = XmlNode::element(QString(), QStringLiteral("parent"));
    if (!defaultUri.isEmpty()) holder->addNamespace({QString(""), defaultUri});
    Reader reader(text, settings);
    try {
        std::vector<XmlNodePtr> nodes = reader.readContent(holder, nullptr);
        for (const XmlNodePtr& n : nodes) n->parent.reset();
        return nodes;
    } catch (const Fail& f) {
        return f.error;
    }
}

} // namespace nimbrel::movie::avm2
