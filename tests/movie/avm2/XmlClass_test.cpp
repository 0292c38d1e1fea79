// XML, XMLList and QName: reading and printing markup under the settings,
// the errors bad markup raises, E4X lookups and assignments, and the methods
// that reshape a tree.
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/Runtime.h"
#include "movie/avm2/XmlSupport.h"
#include "movie/support/Avm2RuntimeTest.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm2;

namespace {
struct Avm2Xml : nimbrel::movie::test::Avm2RuntimeTest {
    static Value str(const char* s) { return Value::string(QString::fromUtf8(s)); }
    Value classValue(const char* name) { return Value::object(rt.builtin(QString::fromLatin1(name))->shared_from_this()); }
    Value xml(const char* markup) {
        Value text = str(markup);
        return rt.constructClass(*rt.builtin(QStringLiteral("XML")), Args{&text, 1});
    }
    Value call(const Value& target, const char* method, std::vector<Value> args = {}) {
        return PropertyAccess::call(rt, target, Name::publicName(QString::fromLatin1(method)), Args{args.data(), int(args.size())});
    }
    QString markup(const Value& v) { return rt.toString(call(v, "toXMLString")); }
    // An unqualified name as the compiler emits it: a set holding the public namespace.
    Name element(const char* local, bool attribute = false) {
        Name n;
        n.local = QString::fromUtf8(local);
        n.set = &publicSet;
        n.attribute = attribute;
        n.anyName = n.local == QLatin1String("*");
        return n;
    }
    Value get(const Value& target, const char* path) {
        Value v = target;
        for (const QString& part : QString::fromUtf8(path).split(u'.'))
            v = part.startsWith(u'@') ? PropertyAccess::get(rt, v, element(part.mid(1).toUtf8().constData(), true))
                                      : PropertyAccess::get(rt, v, element(part.toUtf8().constData()));
        return v;
    }
    Value first(const Value& list) {
        Name zero = Name::publicName(QStringLiteral("0"));
        zero.index = 0;
        return PropertyAccess::get(rt, list, zero);
    }
    std::vector<Namespace> publicSet{Namespace::publicNs()};
};
} // namespace

TEST_F(Avm2Xml, ReadsAndPrintsMarkup) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"<a><b>1</b><c/></a>", "<a>\n  <b>1</b>\n  <c/>\n</a>"},
        {"<a x=\"1\" y='q&quot;'>  text  </a>", "<a x=\"1\" y=\"q&quot;\">text</a>"},
        {"<a>&lt;b&gt; &amp; &#65;&#x42;</a>", "<a>&lt;b&gt; &amp; AB</a>"},
        {"<a>4 & 5</a>", "<a>4 &amp; 5</a>"},
        {"<?xml version='1.0'?><!-- c --><a><!-- gone --><?pi gone?></a>", "<a/>"},
        {"<p:a xmlns:p=\"urn:p\"><p:b/><c xmlns=\"urn:d\"/></p:a>",
         "<p:a xmlns:p=\"urn:p\">\n  <p:b/>\n  <c xmlns=\"urn:d\"/>\n</p:a>"},
    };
    for (const Case& c : cases) EXPECT_EQ(markup(xml(c.in)), QString::fromUtf8(c.out)) << c.in;
    EXPECT_EQ(rt.toString(xml("<a><![CDATA[x<y]]></a>")), QStringLiteral("x<y"));

    // Settings: kept comments and instructions, no pretty-printing, a wider indent.
    rt.xmlSettings.ignoreComments = false;
    rt.xmlSettings.ignoreProcessingInstructions = false;
    EXPECT_EQ(markup(xml("<a><!-- c --><?pi x?></a>")), QStringLiteral("<a>\n  <!-- c -->\n  <?pi x?>\n</a>"));
    rt.xmlSettings.prettyIndent = 4;
    EXPECT_EQ(markup(xml("<a><b/></a>")), QStringLiteral("<a>\n    <b/>\n</a>"));
    rt.xmlSettings.prettyPrinting = false;
    rt.xmlSettings.ignoreWhitespace = false;
    EXPECT_EQ(markup(xml("<a> <b> x </b></a>")), QStringLiteral("<a> <b> x </b></a>"));
}

TEST_F(Avm2Xml, BadMarkupRaisesTypeErrors) {
    const std::pair<const char*, int> cases[] = {
        {"<a></a><b/>", 1088},   {"<a><b></a>", 1085},     {"<a>", 1085},        {"<a b=1/>", 1090},
        {"<a b='1/>", 1095},     {"<a><![CDATA[x</a>", 1091}, {"<a><!-- x</a>", 1094}, {"<?xml version='1'", 1092},
        {"<:a/>", 1084},         {"<p:a/>", 1083},         {"<a></A>", 1085},    {"<!DOCTYPE a", 1093},
    };
    for (const auto& [text, id] : cases) EXPECT_EQ(errorId([&] { xml(text); }), id) << text;
    EXPECT_EQ(errorId([&] { xml("<a b='1' b='2'/>"); }), 1104);
    // Nesting past any real document is an error, not a stack overflow; so is building one node by node.
    const QByteArray deep = QByteArray("<a>").repeated(200000);
    EXPECT_EQ(errorId([&] { xml(deep.constData()); }), 1090);
    Value top = xml("<a/>");
    EXPECT_EQ(errorId([&] {
                  for (int i = 0; i < 100000; ++i) {
                      Value next = xml("<a/>");
                      call(next, "appendChild", {top});
                      top = next;
                  }
              }),
              1023);
    EXPECT_TRUE(markup(top).endsWith(QLatin1String("</a>")));
}

TEST_F(Avm2Xml, LooksUpChildrenAttributesAndDescendants) {
    Value doc = xml("<r><e id='1'><n>A</n></e><e id='2'><n>B</n><x><n>C</n></x></e></r>");
    EXPECT_EQ(rt.toString(get(doc, "e.n")), QStringLiteral("<n>A</n>\n<n>B</n>"));
    EXPECT_EQ(rt.toString(get(doc, "e.@id")), QStringLiteral("12"));
    EXPECT_EQ(rt.toInt32(call(get(doc, "*"), "length")), 2);
    EXPECT_EQ(rt.toString(XmlSupport::descendants(rt, doc, element("n"))), QStringLiteral("<n>A</n>\n<n>B</n>\n<n>C</n>"));
    EXPECT_EQ(rt.toString(XmlSupport::descendants(rt, doc, element("id", true))), QStringLiteral("12"));
    EXPECT_EQ(rt.typeOf(doc), QStringLiteral("xml"));
    EXPECT_EQ(rt.typeOf(get(doc, "missing")), QStringLiteral("xml"));
    EXPECT_TRUE(PropertyAccess::has(rt, doc, element("e")));
    EXPECT_FALSE(PropertyAccess::has(rt, doc, element("n")));
    // Simple content compares and converts as its text.
    EXPECT_FALSE(rt.looseEquals(get(doc, "e.@id"), str("12"))); // two attributes are no single value
    EXPECT_TRUE(rt.looseEquals(call(get(doc, "e"), "attribute", {str("id")}), call(get(doc, "e"), "attribute", {str("id")})));
    EXPECT_EQ(rt.toNumber(xml("<v>42</v>")), 42);
    EXPECT_TRUE(rt.looseEquals(xml("<v>42</v>"), Value::integer(42)));
    EXPECT_TRUE(rt.looseEquals(xml("<a><b/></a>"), xml("<a><b/></a>")));
    EXPECT_FALSE(rt.looseEquals(xml("<a><b/></a>"), xml("<a><c/></a>")));
    // + of two XML values is a list of both.
    EXPECT_EQ(rt.toInt32(call(rt.add(xml("<a/>"), xml("<b/>")), "length")), 2);
}

TEST_F(Avm2Xml, AssignsAndDeletes) {
    Value doc = xml("<r><a>1</a><a>2</a></r>");
    // Assigning to a repeated name keeps the first and replaces its content.
    PropertyAccess::set(rt, doc, element("a"), str("x"));
    EXPECT_EQ(markup(doc), QStringLiteral("<r>\n  <a>x</a>\n</r>"));
    PropertyAccess::set(rt, doc, element("b"), Value::integer(5));
    PropertyAccess::set(rt, doc, element("k", true), str("v\"1\n"));
    EXPECT_EQ(markup(doc), QStringLiteral("<r k=\"v&quot;1&#xA;\">\n  <a>x</a>\n  <b>5</b>\n</r>"));
    // A missing child reached through an empty list is created on assignment.
    PropertyAccess::set(rt, get(doc, "c"), element("d"), str("deep"));
    EXPECT_EQ(rt.toString(get(doc, "c.d")), QStringLiteral("deep"));
    EXPECT_TRUE(PropertyAccess::remove(rt, doc, element("a")));
    EXPECT_TRUE(PropertyAccess::remove(rt, doc, element("k", true)));
    EXPECT_EQ(markup(doc), QStringLiteral("<r>\n  <b>5</b>\n  <c>\n    <d>deep</d>\n  </c>\n</r>"));

    Name index = Name::publicName(QStringLiteral("0"));
    index.index = 0;
    EXPECT_EQ(errorId([&] { PropertyAccess::set(rt, doc, index, str("no")); }), 1087);
    EXPECT_EQ(errorId([&] { PropertyAccess::set(rt, rt.add(xml("<a/>"), xml("<b/>")), element("q"), str("no")); }), 1089);
}

TEST_F(Avm2Xml, MethodsReshapeTheTree) {
    Value doc = xml("<r><a/><b>t</b></r>");
    Value b = first(get(doc, "b"));
    call(doc, "appendChild", {xml("<c/>")});
    call(doc, "prependChild", {xml("<z/>")});
    call(doc, "insertChildAfter", {get(doc, "a"), xml("<a2/>")});
    call(doc, "insertChildBefore", {Value::null(), xml("<end/>")});
    rt.xmlSettings.prettyPrinting = false;
    EXPECT_EQ(markup(doc), QStringLiteral("<r><z/><a/><a2/><b>t</b><c/><end/></r>"));
    // Moved and inserted nodes keep their identity: what was read before still reads the tree.
    EXPECT_TRUE(strictEquals(first(get(doc, "b")), b));

    call(doc, "replace", {str("a2"), xml("<two/>")});
    call(doc, "replace", {Value::integer(0), str("text")});
    call(get(doc, "c"), "setChildren", {xml("<in/>")});
    call(get(doc, "end"), "setName", {str("last")});
    EXPECT_EQ(markup(doc), QStringLiteral("<r>text<a/><two/><b>t</b><c><in/></c><last/></r>"));
    EXPECT_EQ(errorId([&] { call(get(doc, "a"), "setLocalName", {str("bad name")}); }), 1117);
    // A node cannot become its own descendant, by a method or by assigning past a list's end.
    EXPECT_EQ(errorId([&] { call(get(doc, "c.in"), "appendChild", {doc}); }), 1118);
    Name past = Name::publicName(QStringLiteral("9"));
    past.index = 9;
    EXPECT_EQ(errorId([&] { PropertyAccess::set(rt, get(get(doc, "c"), "in"), past, doc); }), 1118);

    // Text appended after an element becomes another element of its name; prepended, it stays text.
    Value items = xml("<l><i>1</i></l>");
    call(items, "appendChild", {str("<2>")});
    call(items, "prependChild", {str("t")});
    EXPECT_EQ(markup(items), QStringLiteral("<l>t<i>1</i><i>&lt;2&gt;</i></l>"));
    // A node appended where it already is moves to the end rather than appearing twice.
    Value moving = xml("<r><x/><y/></r>");
    call(moving, "appendChild", {first(get(moving, "x"))});
    EXPECT_EQ(markup(moving), QStringLiteral("<r><y/><x/></r>"));

    Value texts = xml("<r>a</r>");
    call(texts, "appendChild", {str("b")});
    call(texts, "appendChild", {str("")});
    call(texts, "normalize");
    EXPECT_EQ(rt.toInt32(call(call(texts, "children"), "length")), 1);
    EXPECT_EQ(rt.toString(texts), QStringLiteral("ab"));
}

TEST_F(Avm2Xml, NodeQueries) {
    Value doc = xml("<p:r xmlns:p='urn:p' a='1'><b>t</b><!-- c --></p:r>");
    struct Case {
        const char* method;
        const char* expected;
    } cases[] = {
        {"localName", "r"}, {"nodeKind", "element"}, {"hasComplexContent", "true"}, {"hasSimpleContent", "false"},
        {"length", "1"},    {"childIndex", "-1"},     {"toJSON", "XML"},             {"name", "urn:p::r"},
    };
    for (const Case& c : cases) EXPECT_EQ(rt.toString(call(doc, c.method)), QString::fromUtf8(c.expected)) << c.method;
    EXPECT_EQ(rt.toString(call(call(doc, "namespace"), "toString")), QStringLiteral("urn:p"));
    EXPECT_EQ(rt.toString(call(call(doc, "attributes"), "toString")), QStringLiteral("1"));
    EXPECT_EQ(rt.toString(call(call(get(doc, "b"), "text"), "toString")), QStringLiteral("t"));
    // JSON reaches toJSON as a method, not as a child named toJSON.
    std::vector<Value> args{doc};
    EXPECT_EQ(rt.toString(PropertyAccess::call(rt, classValue("JSON"), Name::publicName(QStringLiteral("stringify")), Args{args.data(), 1})),
              QStringLiteral("\"XML\""));
    EXPECT_EQ(rt.toInt32(call(get(doc, "b"), "childIndex")), 0);
    EXPECT_EQ(errorId([&] { call(doc, "appendChild"); }), 1063);
    EXPECT_EQ(errorId([&] { call(rt.add(xml("<a/>"), xml("<b/>")), "name"); }), 1086);
}

TEST_F(Avm2Xml, NamespacesFollowTheirNodes) {
    rt.xmlSettings.prettyPrinting = false;
    Value doc = xml("<s:e xmlns:s='urn:s' s:k='v'><s:b><m:q xmlns:m='urn:m'><t>x</t></m:q></s:b></s:e>");
    // A node printed on its own declares every namespace in scope, the nearest first.
    EXPECT_EQ(markup(first(XmlSupport::descendants(rt, doc, element("t")))),
              QStringLiteral("<t xmlns:m=\"urn:m\" xmlns:s=\"urn:s\">x</t>"));
    const Name length = Name::publicName(QStringLiteral("length"));
    Value inScope = call(first(XmlSupport::descendants(rt, doc, element("t"))), "inScopeNamespaces");
    EXPECT_EQ(rt.toInt32(PropertyAccess::get(rt, inScope, length)), 2);
    EXPECT_EQ(rt.toInt32(PropertyAccess::get(rt, call(doc, "namespaceDeclarations"), length)), 1);

    auto ns = [&](const char* prefix, const char* uri) {
        std::vector<Value> args{str(prefix), str(uri)};
        return rt.constructClass(*rt.builtin(QStringLiteral("Namespace")), Args{args.data(), 2});
    };
    Value plain = xml("<a><b/></a>");
    call(plain, "setNamespace", {ns("p", "urn:p")});
    EXPECT_EQ(markup(plain), QStringLiteral("<p:a xmlns:p=\"urn:p\"><b/></p:a>"));
    // Taking over the prefix the element's name used leaves the name to a default declaration.
    call(plain, "addNamespace", {ns("p", "urn:other")});
    EXPECT_EQ(markup(plain), QStringLiteral("<a xmlns:p=\"urn:other\" xmlns=\"urn:p\"><b/></a>"));
    Value unused = xml("<a xmlns:u='urn:u'><b xmlns:u='urn:u'/></a>");
    call(unused, "removeNamespace", {ns("u", "urn:u")});
    EXPECT_EQ(markup(unused), QStringLiteral("<a><b/></a>"));
    EXPECT_EQ(errorId([&] { ns("p", ""); }), 1098);
}

TEST_F(Avm2Xml, SettingsAndQNames) {
    Value cls = classValue("XML");
    rt.xmlSettings.prettyIndent = 7;
    Value saved = call(cls, "settings");
    EXPECT_EQ(rt.toInt32(PropertyAccess::get(rt, saved, Name::publicName(QStringLiteral("prettyIndent")))), 7);
    call(cls, "setSettings", {call(cls, "defaultSettings")});
    EXPECT_EQ(rt.xmlSettings.prettyIndent, 2);
    call(cls, "setSettings", {saved});
    EXPECT_EQ(rt.xmlSettings.prettyIndent, 7);

    Value ns = str("urn:x"), local = str("n");
    std::vector<Value> args{ns, local};
    Value q = rt.constructClass(*rt.builtin(QStringLiteral("QName")), Args{args.data(), 2});
    EXPECT_EQ(rt.toString(q), QStringLiteral("urn:x::n"));
    args = {Value::null(), local};
    EXPECT_EQ(rt.toString(rt.constructClass(*rt.builtin(QStringLiteral("QName")), Args{args.data(), 2})), QStringLiteral("*::n"));
    // A QName as the key finds the element in that namespace only.
    Value doc = xml("<r xmlns:x='urn:x'><x:n>in</x:n><n>out</n></r>");
    Name byQName = Name::publicName(QStringLiteral("ignored"));
    byQName.objectKey = q.obj();
    EXPECT_EQ(rt.toString(PropertyAccess::get(rt, doc, byQName)), QStringLiteral("in"));
}

namespace {
QStringList notified;
Value recordNotification(Runtime& rt, const Value&, Args a) {
    notified << rt.toString(a[1]) + u':' + rt.toString(a[3]) + u':' + rt.toString(a[4]);
    return Value();
}
} // namespace

TEST_F(Avm2Xml, NotificationsReportEachChange) {
    notified.clear();
    Value doc = xml("<r><a/></r>");
    call(doc, "setNotification", {Value::object(rt.makeFunction(MethodRef{nullptr, 0, recordNotification, nullptr, 5}, nullptr))});
    PropertyAccess::set(rt, doc, element("k", true), str("1"));
    PropertyAccess::set(rt, doc, element("k", true), str("2"));
    PropertyAccess::remove(rt, doc, element("k", true));
    PropertyAccess::set(rt, doc, element("a"), str("text"));
    call(first(get(doc, "a")), "setName", {str("b")}); // below the node that listens
    PropertyAccess::remove(rt, doc, element("b"));
    EXPECT_EQ(notified, QStringList({"attributeAdded:k:1", "attributeChanged:k:1", "attributeRemoved:k:2", "textSet:text:undefined",
                                     "nameSet:b:undefined", "nodeRemoved:text:undefined"}));
    EXPECT_EQ(errorId([&] { call(doc, "setNotification", {str("not a function")}); }), 1034);
}

TEST_F(Avm2Xml, ChildOutlivesItsTree) {
    Value text;
    {
        Value doc = xml("<r><c>kept</c></r>");
        text = call(get(doc, "c"), "child", {Value::integer(0)});
    }
    // The tree is gone: the text still reads, and has no parent left to reach.
    EXPECT_EQ(rt.toString(text), QStringLiteral("kept"));
    EXPECT_TRUE(call(text, "parent").isUndefined());
}
