// XML text as movies hand it to XML.parseXML: well-formed, sloppy and broken.
#include "movie/avm1/XmlParser.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm1;

TEST(XmlParser, ElementsAttributesAndTextInSourceOrder)
{
    XmlParseResult r = XmlParser::parse(QStringLiteral("<a x=\"1\" y='two'>hi<b/><c >t</c></a>tail"), false);
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.nodes.size(), 2u);
    const XmlParsedNode& a = r.nodes[0];
    EXPECT_EQ(a.name, "a");
    ASSERT_EQ(a.attributes.size(), 2);
    EXPECT_EQ(a.attributes[0], qMakePair(QStringLiteral("x"), QStringLiteral("1")));
    EXPECT_EQ(a.attributes[1], qMakePair(QStringLiteral("y"), QStringLiteral("two")));
    ASSERT_EQ(a.children.size(), 3u);
    EXPECT_EQ(a.children[0].type, XmlParsedNode::Text);
    EXPECT_EQ(a.children[0].value, "hi");
    EXPECT_EQ(a.children[1].name, "b");
    EXPECT_TRUE(a.children[1].children.empty());
    EXPECT_EQ(a.children[2].name, "c");
    EXPECT_EQ(a.children[2].children.at(0).value, "t");
    EXPECT_EQ(r.nodes[1].value, "tail");
}

TEST(XmlParser, CommentsDropCdataStaysTextDeclarationsAreKept)
{
    XmlParseResult r = XmlParser::parse(
        QStringLiteral("<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY e \"x>\">]><r><!-- gone --><![CDATA[<raw>&amp;]]>x</r>"),
        false);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.xmlDecl, "<?xml version=\"1.0\"?>");
    EXPECT_EQ(r.docTypeDecl, "<!DOCTYPE d [<!ENTITY e \"x>\">]>");
    ASSERT_EQ(r.nodes.size(), 1u);
    const auto& kids = r.nodes[0].children;
    ASSERT_EQ(kids.size(), 2u);
    EXPECT_EQ(kids[0].value, "<raw>&amp;"); // CDATA is not unescaped
    EXPECT_EQ(kids[1].value, "x");
}

TEST(XmlParser, IgnoreWhiteDropsOnlyBlankText)
{
    const QString text = QStringLiteral("<r>  \n <f> keep </f>\t</r>");
    XmlParseResult kept = XmlParser::parse(text, false);
    EXPECT_EQ(kept.nodes.at(0).children.size(), 3u);
    XmlParseResult dropped = XmlParser::parse(text, true);
    ASSERT_EQ(dropped.nodes.at(0).children.size(), 1u);
    EXPECT_EQ(dropped.nodes[0].children[0].children.at(0).value, " keep ");
}

TEST(XmlParser, EntitiesKnownNumericAndUnknown)
{
    EXPECT_EQ(XmlParser::decodeEntities("a &lt;&gt;&amp;&quot;&apos; b"), "a <>&\"' b");
    EXPECT_EQ(XmlParser::decodeEntities("&#39;&#x41;&#X42;"), "'AB");
    EXPECT_EQ(XmlParser::decodeEntities("A & &thing; B"), "A & &thing; B");
    EXPECT_EQ(XmlParser::decodeEntities("A &&amp; B"), "A && B");
    EXPECT_EQ(XmlParser::decodeEntities("&&&thing;"), "&&&thing;");
    EXPECT_EQ(XmlParser::decodeEntities("&#0; &#99999999; &#xZZ;"), "&#0; &#99999999; &#xZZ;");
    EXPECT_EQ(XmlParser::decodeEntities("trailing &amp"), "trailing &amp");
}

TEST(XmlParser, BrokenDocumentsReportTheirStatusAndKeepWhatCameBefore)
{
    struct Case {
        const char* text;
        int status;
    };
    const Case cases[] = {
        {"<a><![CDATA[x</a>", XmlParser::CdataNotTerminated},
        {"<?xml version='1.0'<a/>", XmlParser::XmlDeclNotTerminated},
        {"<!DOCTYPE x [ <a/>", XmlParser::DocTypeNotTerminated},
        {"<a><!-- x </a>", XmlParser::CommentNotTerminated},
        {"<a b></a>", XmlParser::ElementMalformed},
        {"<a b=c></a>", XmlParser::ElementMalformed},
        {"<a", XmlParser::ElementMalformed},
        {"<>", XmlParser::ElementMalformed},
        {"<a b='x></a>", XmlParser::AttributeNotTerminated},
        {"<a><b></a>", XmlParser::EndTagMissing},
        {"<a>", XmlParser::EndTagMissing},
        {"</a>", XmlParser::StartTagMissing},
        {"<a></a></a>", XmlParser::StartTagMissing},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XmlParser::parse(QString::fromUtf8(c.text), false).status, c.status) << c.text;
    XmlParseResult partial = XmlParser::parse(QStringLiteral("<a>t<b>"), false);
    ASSERT_EQ(partial.nodes.size(), 1u);
    EXPECT_EQ(partial.nodes[0].children.size(), 2u);
}

TEST(XmlParser, HostileNestingIsRefusedWithoutDeepRecursion)
{
    QString deep;
    for (int i = 0; i < XmlParser::kMaxDepth + 10; ++i)
        deep += QStringLiteral("<a>");
    XmlParseResult r = XmlParser::parse(deep, false);
    EXPECT_EQ(r.status, XmlParser::OutOfMemory);
    QString garbage;
    for (int i = 0; i < 5000; ++i)
        garbage += QStringLiteral("<<&;'\"=/>]]><!--<?");
    EXPECT_NE(XmlParser::parse(garbage, false).status, 0);
    EXPECT_EQ(XmlParser::parse(QString(), false).status, 0);
}
