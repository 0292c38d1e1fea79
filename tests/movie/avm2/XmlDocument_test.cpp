// flash.xml's DOM-style documents: parsing into nodes, printing back,
// namespace lookups, and a childNodes array that follows later edits.
#include "movie/avm2/ClassObject.h"
#include "movie/support/Avm2RuntimeTest.h"

using namespace nimbrel::movie;
using namespace nimbrel::movie::avm2;

namespace {

struct XmlDocumentTest : test::Avm2RuntimeTest {
    Value parse(const char* text) {
        const Value source = Value::string(QString::fromUtf8(text));
        return rt.constructClass(*rt.builtin(QStringLiteral("flash.xml.XMLDocument")), Args{&source, 1});
    }
    Value get(const Value& on, const char* name) {
        return PropertyAccess::get(rt, on, Name::publicName(QString::fromLatin1(name)));
    }
    QString text(const Value& v) { return rt.toString(v); }
    Value call(const Value& on, const char* name, std::vector<Value> args = {}) {
        return PropertyAccess::call(rt, on, Name::publicName(QString::fromLatin1(name)), Args{args.data(), int(args.size())});
    }
};

} // namespace

TEST_F(XmlDocumentTest, NodesReadAndPrintAsWritten) {
    const Value doc = parse("<a x=\"1\" y=\"&lt;\">text<b/></a>tail");
    EXPECT_EQ(text(doc), QStringLiteral("<a x=\"1\" y=\"&lt;\">text<b /></a>tail"));
    const Value a = get(doc, "firstChild");
    const struct {
        const char* what;
        Value actual;
        const char* expected;
    } cases[] = {
        {"element name", get(a, "nodeName"), "a"},
        {"element type", get(a, "nodeType"), "1"},
        {"text value", get(get(a, "firstChild"), "nodeValue"), "text"},
        {"text type", get(get(a, "firstChild"), "nodeType"), "3"},
        {"text has no name", get(get(a, "firstChild"), "nodeName"), "null"},
        {"sibling of the element", get(a, "nextSibling"), "tail"},
        {"parent of a child", get(get(a, "lastChild"), "parentNode"), "<a x=\"1\" y=\"&lt;\">text<b /></a>"},
        {"attribute", get(get(a, "attributes"), "y"), "<"},
    };
    for (const auto& c : cases) EXPECT_EQ(text(c.actual), QString::fromLatin1(c.expected)) << c.what;
}

TEST_F(XmlDocumentTest, PrefixesResolveThroughAncestors) {
    const Value doc = parse("<r xmlns=\"urn:d\" xmlns:p=\"urn:p\"><p:c><d/></p:c></r>");
    const Value c = get(get(doc, "firstChild"), "firstChild");
    EXPECT_EQ(text(get(c, "prefix")), QStringLiteral("p"));
    EXPECT_EQ(text(get(c, "localName")), QStringLiteral("c"));
    EXPECT_EQ(text(get(c, "namespaceURI")), QStringLiteral("urn:p"));
    EXPECT_EQ(text(get(get(c, "firstChild"), "namespaceURI")), QStringLiteral("urn:d"));
    EXPECT_EQ(text(call(c, "getPrefixForNamespace", {Value::string(QStringLiteral("urn:p"))})), QStringLiteral("p"));
    EXPECT_TRUE(call(c, "getNamespaceForPrefix", {Value::string(QStringLiteral("none"))}).isNull());
}

TEST_F(XmlDocumentTest, ChildNodesFollowsRemovalAndInsertion) {
    const Value doc = parse("<p><a/><b/><c/></p>");
    const Value p = get(doc, "firstChild");
    const Value children = get(p, "childNodes");
    Name first = Name::publicName(QStringLiteral("0"));
    first.index = 0;
    const Value a = PropertyAccess::get(rt, children, first);
    call(a, "removeNode");
    EXPECT_EQ(text(children), QStringLiteral("<b />,<c />"));
    EXPECT_TRUE(get(a, "parentNode").isNull());
    call(p, "insertBefore", {a, get(p, "lastChild")});
    EXPECT_EQ(text(children), QStringLiteral("<b />,<a />,<c />"));
    EXPECT_EQ(text(get(a, "previousSibling")), QStringLiteral("<b />"));
    EXPECT_EQ(text(p), QStringLiteral("<p><b /><a /><c /></p>"));
}

TEST_F(XmlDocumentTest, IgnoringWhiteSpaceKeepsCdataSections) {
    const Value doc = rt.constructClass(*rt.builtin(QStringLiteral("flash.xml.XMLDocument")), {});
    PropertyAccess::set(rt, doc, Name::publicName(QStringLiteral("ignoreWhite")), Value::boolean(true));
    call(doc, "parseXML", {Value::string(QStringLiteral("<a> <b><![CDATA[ ]]></b> <c><![CDATA[]]></c></a>"))});
    EXPECT_EQ(text(doc), QStringLiteral("<a><b> </b><c></c></a>"));
}
