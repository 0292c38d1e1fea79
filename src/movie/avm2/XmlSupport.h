#pragma once
// XML and XMLList as the interpreter meets them: wrapping nodes, the E4X
// conversions, property access by element and attribute names, the
// descendants operator, equality and concatenation.
#include "movie/avm2/MethodRef.h"
#include "movie/avm2/Namespace.h"
#include "movie/avm2/XmlParser.h"

namespace nimbrel::movie::avm2 {

class Runtime;
class XmlListObject;
class XmlObject;

// A name as XML lookups match it: null uri/local match any.
struct XmlName {
    QString uri, local;
    bool anyUri = false, anyLocal = false;
    bool attribute = false;
    QString prefix; // from a QName or namespace that carried one
    std::vector<QString> otherUris; // an unqualified name also reaches the namespaces opened with `use namespace`
    bool matches(const XmlNode& n) const;
};

class XmlSupport {
public:
    static bool isXml(const Value& v);
    static bool isXmlList(const Value& v);
    static bool isXmlOrList(const Value& v) { return isXml(v) || isXmlList(v); }
    static XmlObject* asXml(const Value& v);
    static XmlListObject* asList(const Value& v);

    static Value wrap(Runtime& rt, const XmlNodePtr& node);
    static std::shared_ptr<XmlListObject> newList(Runtime& rt, std::vector<XmlNodePtr> items = {});
    // The nodes a value stands for (an XML is a list of one).
    static std::vector<XmlNodePtr> nodesOf(const Value& v);

    // Conversions: ToXML (throws the parse error as TypeError) and ToXMLList.
    static XmlNodePtr toXmlNode(Runtime& rt, const Value& v);
    static std::vector<XmlNodePtr> toListNodes(Runtime& rt, const Value& v);
    static XmlName toXmlName(Runtime& rt, const Name& n);
    static XmlName toXmlName(Runtime& rt, const Value& v, bool attribute = false);
    static XmlSettings& settings(Runtime& rt);

    static Value get(Runtime& rt, const Value& target, const Name& name);
    static Value getByName(Runtime& rt, const Value& target, const XmlName& name);
    static void set(Runtime& rt, const Value& target, const Name& name, const Value& v);
    static bool has(Runtime& rt, const Value& target, const Name& name);
    static bool remove(Runtime& rt, const Value& target, const Name& name);
    static Value call(Runtime& rt, const Value& target, const Name& name, Args args);
    static Value descendants(Runtime& rt, const Value& target, const Name& name);
    static std::vector<XmlNodePtr> descendantNodes(const XmlNode& node, const XmlName& name);

    // toString of an XML or XMLList.
    static QString textOf(Runtime& rt, const Value& v);
    // Methods with a fixed parameter list reject other argument counts.
    static void checkArity(Runtime& rt, Args a, int min, int max, const char* method);
    // Namespaces are equal by URI, QNames by URI and local name.
    static bool areNames(const Value& a, const Value& b);
    static bool sameName(const Value& a, const Value& b);
    // Calls the nearest notification function at or above `node`: (currentTarget, command, target, value, detail).
    static void notify(Runtime& rt, XmlNode& node, const char* command, const Value& value = Value(), const Value& detail = Value());
    static bool equals(Runtime& rt, const Value& a, const Value& b);
    static Value concat(Runtime& rt, const Value& a, const Value& b);
    // A value made into children: XML is copied, anything else becomes text.
    static std::vector<XmlNodePtr> childrenFor(Runtime& rt, const Value& v);
    static void replaceChild(Runtime& rt, XmlNode& parent, size_t at, const Value& v);
    // Trees stay shallow enough for the recursive walks (printing, copying) to be safe:
    // a child that would take one deeper than MaxTreeDepth raises Error #1023 instead.
    static constexpr int MaxTreeDepth = 2048;
    static void checkDepth(Runtime& rt, const XmlNode& parent, const XmlNode& child);
};

} // namespace nimbrel::movie::avm2
