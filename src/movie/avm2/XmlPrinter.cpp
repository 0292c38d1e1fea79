#include "movie/avm2/XmlPrinter.h"

namespace nimbrel::movie::avm2 {

namespace {

const XmlNamespace* findUri(const std::vector<XmlNamespace>& list, const QString& uri, const QString& preferPrefix) {
    const XmlNamespace* any = nullptr;
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if (it->uri != uri) continue;
        // A prefix shadowed by a nearer declaration of the same prefix is no longer usable.
        bool shadowed = false;
        for (auto later = list.rbegin(); later != it; ++later) shadowed = shadowed || later->prefix == it->prefix;
        if (shadowed) continue;
        if (it->prefix == preferPrefix) return &*it;
        if (!any) any = &*it;
    }
    return any;
}

QString qualified(const QString& prefix, const QString& local) { return prefix.isEmpty() ? local : prefix + u':' + local; }

void write(QString& out, const XmlNode& x, const XmlSettings& settings, std::vector<XmlNamespace> ancestors, int indent) {
    const QString pad = settings.prettyPrinting ? QString(indent, u' ') : QString();
    switch (x.kind) {
    case XmlNode::Kind::Text:
        if (x.cdata) out += pad + QStringLiteral("<![CDATA[") + x.value + QStringLiteral("]]>");
        else out += pad + XmlPrinter::escapeText(settings.prettyPrinting ? x.value.trimmed() : x.value);
        return;
    case XmlNode::Kind::Attribute: out += pad + XmlPrinter::escapeAttribute(x.value); return;
    case XmlNode::Kind::Comment: out += pad + QStringLiteral("<!--") + x.value + QStringLiteral("-->"); return;
    case XmlNode::Kind::ProcessingInstruction:
        out += pad + QStringLiteral("<?") + x.local + (x.value.isEmpty() ? QString() : u' ' + x.value) + QStringLiteral("?>");
        return;
    case XmlNode::Kind::Element: break;
    }
    // The namespaces this element declares that its printed ancestors have not.
    std::vector<XmlNamespace> declared;
    for (const XmlNamespace& ns : x.namespaces) {
        bool known = false;
        for (const XmlNamespace& a : ancestors) known = known || (a.prefix == ns.prefix && a.uri == ns.uri);
        if (!known) declared.push_back(ns);
    }
    // At the top of what is printed, every namespace in scope is declared, the nearest first.
    if (ancestors.empty()) {
        declared.clear();
        for (const XmlNamespace& ns : x.inScopeNamespaces())
            if (!(ns.prefix.isEmpty() && ns.uri.isEmpty())) declared.push_back(ns);
    }
    std::vector<XmlNamespace> scope = ancestors;
    scope.insert(scope.end(), declared.begin(), declared.end());
    auto prefixOf = [&](const QString& uri, const QString& wanted, bool element) -> QString {
        // No namespace: no prefix, and (as the reference player writes it) no xmlns="" either.
        if (uri.isEmpty()) return QString();
        if (const XmlNamespace* ns = findUri(scope, uri, wanted); ns && (element || !ns->prefix.isEmpty())) return ns->prefix;
        QString prefix = wanted.isNull() || (!element && wanted.isEmpty()) ? QString() : wanted;
        if (prefix.isNull() && !element) {
            int n = 0;
            for (bool taken = true; taken; ++n) {
                prefix = n ? QStringLiteral("ns%1").arg(n) : QStringLiteral("ns");
                taken = false;
                for (const XmlNamespace& s : scope) taken = taken || s.prefix == prefix;
            }
        }
        if (prefix.isNull()) prefix = QString("");
        declared.push_back({prefix, uri});
        scope.push_back(declared.back());
        return prefix;
    };
    const QString name = qualified(prefixOf(x.uri, x.prefix, true), x.local);
    out += pad + u'<' + name;
    QString attrs;
    for (const XmlNodePtr& a : x.attributes)
        attrs += u' ' + qualified(prefixOf(a->uri, a->prefix, false), a->local) + QStringLiteral("=\"") +
                 XmlPrinter::escapeAttribute(a->value) + u'"';
    for (const XmlNamespace& ns : declared)
        out += (ns.prefix.isEmpty() ? QStringLiteral(" xmlns") : QStringLiteral(" xmlns:") + ns.prefix) + QStringLiteral("=\"") +
               XmlPrinter::escapeAttribute(ns.uri) + u'"';
    out += attrs;
    if (x.children.empty()) {
        out += QStringLiteral("/>");
        return;
    }
    out += u'>';
    const bool indentChildren = x.children.size() > 1 || x.children[0]->kind != XmlNode::Kind::Text;
    for (const XmlNodePtr& c : x.children) {
        if (settings.prettyPrinting && indentChildren) out += u'\n';
        write(out, *c, settings, scope, settings.prettyPrinting && indentChildren ? indent + settings.prettyIndent : 0);
    }
    if (settings.prettyPrinting && indentChildren) out += u'\n' + pad;
    out += QStringLiteral("</") + name + u'>';
}

} // namespace

QString XmlPrinter::escapeText(const QString& s) {
    QString out;
    for (QChar c : s) {
        if (c == u'&') out += QStringLiteral("&amp;");
        else if (c == u'<') out += QStringLiteral("&lt;");
        else if (c == u'>') out += QStringLiteral("&gt;");
        else out += c;
    }
    return out;
}

QString XmlPrinter::escapeAttribute(const QString& s) {
    QString out;
    for (QChar c : s) {
        if (c == u'&') out += QStringLiteral("&amp;");
        else if (c == u'<') out += QStringLiteral("&lt;");
        else if (c == u'"') out += QStringLiteral("&quot;");
        // Line ends, tabs and NUL are written as references; other control characters as they are.
        else if (c == u'\n' || c == u'\r' || c == u'\t' || c.unicode() == 0)
            out += QStringLiteral("&#x") + QString::number(c.unicode(), 16).toUpper() + u';';
        else out += c;
    }
    return out;
}

namespace {
// A negative indent turns pretty-printing off.
XmlSettings effective(const XmlSettings& s) {
    XmlSettings out = s;
    if (out.prettyIndent < 0) out.prettyPrinting = false;
    return out;
}
} // namespace

QString XmlPrinter::toXmlString(const XmlNode& node, const XmlSettings& given) {
    const XmlSettings settings = effective(given);
    QString out;
    write(out, node, settings, {}, 0);
    return out;
}

QString XmlPrinter::toXmlString(const std::vector<XmlNodePtr>& list, const XmlSettings& given) {
    const XmlSettings settings = effective(given);
    QString out;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i) out += u'\n';
        write(out, *list[i], settings, {}, 0);
    }
    return out;
}

QString XmlPrinter::toString(const XmlNode& node, const XmlSettings& settings) {
    if (node.kind == XmlNode::Kind::Attribute || node.kind == XmlNode::Kind::Text) return node.value;
    if (node.hasSimpleContent()) return node.stringValue();
    return toXmlString(node, settings);
}

QString XmlPrinter::toString(const std::vector<XmlNodePtr>& list, const XmlSettings& settings) {
    if (list.size() == 1) return toString(*list[0], settings);
    for (const XmlNodePtr& n : list)
        if (n->kind == XmlNode::Kind::Element) return toXmlString(list, settings);
    QString out;
    for (const XmlNodePtr& n : list)
        if (n->kind != XmlNode::Kind::Comment && n->kind != XmlNode::Kind::ProcessingInstruction) out += toString(*n, settings);
    return out;
}

} // namespace nimbrel::movie::avm2
