#pragma once
// flash.xml: XMLNode, XMLDocument and XMLNodeType, the DOM-style XML of
// older movies, over XmlDomNode.
namespace nimbrel::movie::avm2 {

class Runtime;

class XmlDocumentClasses {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
