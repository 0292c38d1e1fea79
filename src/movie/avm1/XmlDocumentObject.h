#pragma once
// An XML document: a nameless node plus what parsing and loading report.
#include "movie/avm1/XmlNodeObject.h"

namespace nimbrel::movie::avm1 {

class XmlDocumentObject : public XmlNodeObject {
public:
    using XmlNodeObject::XmlNodeObject;
    QString className() const override { return QStringLiteral("XML"); }

    static XmlDocumentObject* from(const Value& v) { return dynamic_cast<XmlDocumentObject*>(v.object()); }

    void markChildren(std::vector<Object*>& out) const override
    {
        XmlNodeObject::markChildren(out);
        for (const Value* v : {&status, &loaded})
            if (v->isObject())
                out.push_back(v->o);
    }

    // Replaces the children with the nodes of `text`.
    void parse(const QString& text);

    Value status = Value(0);
    Value loaded;
};

} // namespace nimbrel::movie::avm1
