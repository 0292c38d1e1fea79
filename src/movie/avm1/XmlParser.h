#pragma once
// Reads XML text the lenient way movies expect: comments dropped, CDATA as
// text, the XML declaration and DOCTYPE kept as strings, unknown entities
// left as written. Stops at the first error and reports it as a status code
// while keeping everything read before it.
#include <QList>
#include <QPair>
#include <QString>
#include <vector>

namespace nimbrel::movie::avm1 {

struct XmlParsedNode {
    enum Type { Element = 1, Text = 3 };
    Type type = Element;
    QString name;  // elements
    QString value; // text
    QList<QPair<QString, QString>> attributes; // in source order, names unique
    std::vector<XmlParsedNode> children;
};

struct XmlParseResult {
    std::vector<XmlParsedNode> nodes; // top-level nodes
    int status = 0;
    bool hasXmlDecl = false;
    QString xmlDecl;
    bool hasDocType = false;
    QString docTypeDecl;
};

class XmlParser {
public:
    // The status codes scripts see in XML.status.
    enum Status {
        Ok = 0,
        CdataNotTerminated = -2,
        XmlDeclNotTerminated = -3,
        DocTypeNotTerminated = -4,
        CommentNotTerminated = -5,
        ElementMalformed = -6,
        OutOfMemory = -7,
        AttributeNotTerminated = -8,
        EndTagMissing = -9,
        StartTagMissing = -10,
    };
    // Deeper nesting is refused as out of memory rather than risk the stack
    // of everything that walks the tree later.
    static constexpr int kMaxDepth = 2000;

    static XmlParseResult parse(const QString& text, bool ignoreWhite);
    // Replaces the five named entities and numeric references; anything else stays.
    static QString decodeEntities(const QString& s);
    // The five predefined entities written for the characters they stand for.
    static QString encodeEntities(const QString& s);
};

} // namespace nimbrel::movie::avm1
