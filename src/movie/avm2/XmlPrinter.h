#pragma once
// Writes XML nodes back as markup (toXMLString) and as the text toString
// gives, with the XML class's pretty-printing settings.
#include "movie/avm2/XmlParser.h"

namespace nimbrel::movie::avm2 {

class XmlPrinter {
public:
    static QString toXmlString(const XmlNode& node, const XmlSettings& settings);
    static QString toXmlString(const std::vector<XmlNodePtr>& list, const XmlSettings& settings);
    // Simple content gives its text, anything else its markup.
    static QString toString(const XmlNode& node, const XmlSettings& settings);
    static QString toString(const std::vector<XmlNodePtr>& list, const XmlSettings& settings);
    static QString escapeText(const QString& s);
    static QString escapeAttribute(const QString& s);
};

} // namespace nimbrel::movie::avm2
