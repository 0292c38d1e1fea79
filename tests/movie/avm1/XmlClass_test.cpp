// XML and XMLNode as scripts use them: the tree, its text and namespaces.
#include "movie/avm1/XmlParser.h"
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

namespace {

Value newXml(Interpreter& vm, const QString& text)
{
    return vm.construct(vm.global->get("XML"), {Value(text)});
}

QString xmlText(Interpreter& vm, const Value& v)
{
    return vm.toString(v);
}

Value member(Interpreter& vm, const Value& v, const char* path)
{
    Value cur = v;
    for (const QString& part : QString::fromLatin1(path).split(QLatin1Char('.')))
        cur = vm.getMember(cur, part);
    return cur;
}

} // namespace

TEST(Avm1Xml, ParsesIntoLinkedNodesAndPrintsTheSameText)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value doc = newXml(vm, "<a x=\"1\" y=\"2\"><b>t</b><c/></a>");
    EXPECT_EQ(vm.toNumber(member(vm, doc, "status")), 0);
    EXPECT_EQ(xmlText(vm, doc), "<a x=\"1\" y=\"2\"><b>t</b><c /></a>");
    EXPECT_TRUE(member(vm, doc, "nodeName").isNull());
    Value a = member(vm, doc, "firstChild");
    EXPECT_EQ(xmlText(vm, member(vm, a, "nodeName")), "a");
    EXPECT_EQ(xmlText(vm, member(vm, a, "attributes.y")), "2");
    Value b = member(vm, a, "firstChild");
    EXPECT_TRUE(vm.strictEquals(member(vm, b, "nextSibling"), member(vm, a, "lastChild")));
    EXPECT_TRUE(member(vm, b, "previousSibling").isNull());
    EXPECT_TRUE(vm.strictEquals(member(vm, b, "parentNode"), a));
    EXPECT_TRUE(vm.strictEquals(member(vm, b, "parentNode.parentNode"), doc));
    EXPECT_EQ(vm.toNumber(member(vm, b, "firstChild.nodeType")), 3);
    EXPECT_EQ(vm.toNumber(member(vm, a, "childNodes.length")), 2);
    // The same array object each time, kept up to date.
    Value kids = member(vm, a, "childNodes");
    vm.callMethod(b, "removeNode", {});
    EXPECT_TRUE(vm.strictEquals(kids, member(vm, a, "childNodes")));
    EXPECT_EQ(vm.toNumber(member(vm, kids, "length")), 1);
    EXPECT_FALSE(vm.toBoolean(vm.callMethod(member(vm, a, "firstChild"), "hasChildNodes", {})));
}

TEST(Avm1Xml, TextAndAttributesAreEscapedWhenPrinted)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value doc = newXml(vm, "");
    Value el = vm.callMethod(doc, "createElement", {Value("e")});
    vm.setMember(member(vm, el, "attributes"), "q", Value("a\"<'&"));
    vm.callMethod(el, "appendChild", {vm.callMethod(doc, "createTextNode", {Value("1 < 2 & 'x' > \"y\"")})});
    vm.callMethod(doc, "appendChild", {el});
    EXPECT_EQ(xmlText(vm, doc), "<e q=\"a&quot;&lt;&apos;&amp;\">1 &lt; 2 &amp; &apos;x&apos; &gt; &quot;y&quot;</e>");
    // What was escaped reads back as it was written.
    Value again = newXml(vm, xmlText(vm, doc));
    EXPECT_EQ(xmlText(vm, member(vm, again, "firstChild.firstChild.nodeValue")), "1 < 2 & 'x' > \"y\"");
    EXPECT_EQ(xmlText(vm, member(vm, again, "firstChild.attributes.q")), "a\"<'&");
}

TEST(Avm1Xml, ReparentingMovesNodesAndRefusesCycles)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value doc = newXml(vm, "<a><b /></a><c />");
    Value a = member(vm, doc, "firstChild");
    Value b = member(vm, a, "firstChild");
    vm.callMethod(doc, "appendChild", {b});
    EXPECT_EQ(xmlText(vm, doc), "<a /><c /><b />");
    vm.callMethod(b, "appendChild", {doc}); // an ancestor may not become a child
    vm.callMethod(b, "appendChild", {b});
    EXPECT_EQ(xmlText(vm, doc), "<a /><c /><b />");
    Value c = member(vm, a, "nextSibling");
    vm.callMethod(doc, "insertBefore", {b, a});
    EXPECT_EQ(xmlText(vm, doc), "<b /><a /><c />");
    vm.callMethod(a, "insertBefore", {c, b}); // b is not a's child: nothing happens
    EXPECT_EQ(xmlText(vm, doc), "<b /><a /><c />");
    Value copy = vm.callMethod(doc, "cloneNode", {Value(true)});
    vm.callMethod(b, "removeNode", {});
    EXPECT_EQ(xmlText(vm, doc), "<a /><c />");
    EXPECT_EQ(xmlText(vm, copy), "<b /><a /><c />");
    Value shallow = vm.callMethod(a, "cloneNode", {Value(false)});
    EXPECT_TRUE(member(vm, shallow, "parentNode").isNull());
}

TEST(Avm1Xml, NamespacesComeFromXmlnsAttributesUpTheTree)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value doc = newXml(vm, "<p:a xmlns:p='urn:p' xmlns='urn:d'><p:b xmlns:q='urn:q'/><c/></p:a>");
    Value pa = member(vm, doc, "firstChild");
    Value pb = member(vm, pa, "firstChild");
    EXPECT_EQ(xmlText(vm, member(vm, pb, "prefix")), "p");
    EXPECT_EQ(xmlText(vm, member(vm, pb, "localName")), "b");
    EXPECT_EQ(xmlText(vm, member(vm, pb, "namespaceURI")), "urn:p");
    EXPECT_EQ(xmlText(vm, vm.callMethod(pb, "getNamespaceForPrefix", {Value("q")})), "urn:q");
    EXPECT_TRUE(vm.callMethod(pa, "getNamespaceForPrefix", {Value("q")}).isNull());
    EXPECT_EQ(xmlText(vm, vm.callMethod(pb, "getPrefixForNamespace", {Value("urn:p")})), "p");
    Value c = member(vm, pa, "lastChild");
    EXPECT_EQ(xmlText(vm, member(vm, c, "prefix")), "");
    EXPECT_EQ(xmlText(vm, member(vm, c, "namespaceURI")), "urn:d");
    EXPECT_EQ(xmlText(vm, vm.callMethod(c, "getPrefixForNamespace", {Value("urn:d")})), "");
    EXPECT_TRUE(member(vm, doc, "prefix").isNull());
}

TEST(Avm1Xml, StatusDeclarationsAndIdMap)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value doc = newXml(vm, "<?xml version=\"1.0\"?><!DOCTYPE t><t id='one'><u id='two'/></t>");
    EXPECT_EQ(xmlText(vm, member(vm, doc, "xmlDecl")), "<?xml version=\"1.0\"?>");
    EXPECT_EQ(xmlText(vm, member(vm, doc, "docTypeDecl")), "<!DOCTYPE t>");
    EXPECT_EQ(xmlText(vm, doc), "<?xml version=\"1.0\"?><!DOCTYPE t><t id=\"one\"><u id=\"two\" /></t>");
    EXPECT_TRUE(vm.strictEquals(member(vm, doc, "idMap.two"), member(vm, doc, "firstChild.firstChild")));
    vm.callMethod(doc, "parseXML", {Value("<x id='three'>")});
    EXPECT_EQ(vm.toNumber(member(vm, doc, "status")), XmlParser::EndTagMissing);
    EXPECT_FALSE(member(vm, doc, "idMap.one").isUndefined()); // ids of earlier parses stay
    EXPECT_FALSE(member(vm, doc, "idMap.three").isUndefined());
    // Status is the prototype's accessor; a number whatever is stored.
    Object* d = doc.object();
    EXPECT_FALSE(d->hasOwnProperty("status"));
    vm.setMember(doc, "status", Value("7"));
    EXPECT_TRUE(member(vm, doc, "status").isNumber());
    // A default set on the prototype reaches every document.
    vm.setMember(member(vm, Value(vm.global), "XML.prototype"), "ignoreWhite", Value(true));
    vm.callMethod(doc, "parseXML", {Value("<r> <s/> </r>")});
    EXPECT_EQ(xmlText(vm, doc), "<?xml version=\"1.0\"?><!DOCTYPE t><r><s /></r>");
}

TEST(Avm1Xml, NodesNobodyReachesAreCollected)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    vm.collectGarbage();
    const size_t before = vm.heapSize();
    for (int i = 0; i < 20; ++i)
        newXml(vm, "<a><b>text</b><c/></a>");
    EXPECT_GT(vm.heapSize(), before);
    vm.collectGarbage();
    EXPECT_EQ(vm.heapSize(), before);
}
