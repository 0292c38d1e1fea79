#include "movie/avm1/XmlDocumentObject.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/XmlParser.h"

namespace nimbrel::movie::avm1 {

void XmlDocumentObject::parse(const QString& text)
{
    removeAllChildren();
    XmlParseResult r = XmlParser::parse(text, vm().toBoolean(get(QStringLiteral("ignoreWhite"))));
    // The id map outlives each parse: later documents add to it.
    Value map = get(QStringLiteral("idMap"));
    if (!map.isObject()) {
        map = Value(vm().newObject());
        define(QStringLiteral("idMap"), map, DontEnum);
    }
    appendParsed(r.nodes, map.object());
    status = Value(r.status);
    if (r.hasXmlDecl)
        set(QStringLiteral("xmlDecl"), Value(r.xmlDecl));
    if (r.hasDocType)
        set(QStringLiteral("docTypeDecl"), Value(r.docTypeDecl));
}

} // namespace nimbrel::movie::avm1
