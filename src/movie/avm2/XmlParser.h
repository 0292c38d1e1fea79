#pragma once
// Reads XML markup into nodes under the XML class's settings. Errors come
// back as the TypeError id and its message arguments.
#include "movie/avm2/XmlNode.h"
#include <QStringList>
#include <variant>

namespace nimbrel::movie::avm2 {

struct XmlSettings {
    bool ignoreComments = true;
    bool ignoreProcessingInstructions = true;
    bool ignoreWhitespace = true;
    bool prettyPrinting = true;
    int prettyIndent = 2;
};

struct XmlParseError {
    int id = 1090;
    QStringList args;
};

class XmlParser {
public:
    // The top-level nodes of `text`; unprefixed elements fall in `defaultUri`.
    static std::variant<std::vector<XmlNodePtr>, XmlParseError> parse(const QString& text, const XmlSettings& settings,
                                                                      const QString& defaultUri = QString());
    static bool isXmlSpace(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }
    static bool isNameStart(QChar c) { return c.isLetter() || c == u'_'; }
    static bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'.' || c == u':'; }
    static bool isValidName(const QString& name);
    static constexpr int MaxDepth = 1000;
};

} // namespace nimbrel::movie::avm2
