#include "movie/avm2/Avm2Error.h"
#include <QHash>

namespace nimbrel::movie::avm2 {

namespace {
// The reference player's texts for the ids raised here.
const QHash<int, const char*>& templates() {
    static const QHash<int, const char*> table = {
        {1011, "Method %1 contained illegal opcode %2 at offset %3."},
        {1012, "The last instruction exceeded code size."},
        {1017, "Scope stack overflow occurred."},
        {1018, "Scope stack underflow occurred."},
        {1019, "Getscopeobject %1 is out of bounds."},
        {1020, "Code cannot fall off the end of a method."},
        {1021, "At least one branch target was not on a valid instruction in the method."},
        {1023, "Stack overflow occurred."},
        {1024, "Stack underflow occurred."},
        {1025, "An invalid register %1 was accessed."},
        {1027, "Method_info %1 exceeds method_count=%2."},
        {1030, "Stack depth is unbalanced. %1 != %2."},
        {1031, "Scope depth is unbalanced. %1 != %2."},
        {1032, "Cpool index %1 is out of range %2."},
        {1033, "Cpool entry %1 is wrong type."},
        {1045, "Unsupported traits kind=%1."},
        {1054, "Illegal range or target offsets in exception handler."},
        {1060, "ClassInfo %1 exceeds class_count=%2."},
        {1078, "Illegal opcode/multiname combination: %1<%2>."},
        {1107, "The ABC data is corrupt, attempt to read out of bounds."},
        {1113, "OP_newactivation used in method without NEED_ACTIVATION flag."},
        {1121, "Method %1 has a duplicate method body."},
        // Raised while scripts run.
        {1001, "The method %1 is not implemented."},
        {1002, "Number.toPrecision has a range of 1 to 21. Number.toFixed and Number.toExponential have a range of 0 to 20. Specified value is not within expected range."},
        {1003, "The radix argument must be between 2 and 36; got %1."},
        {1004, "Method %1 was invoked on an incompatible object."},
        {1005, "Array index is not a positive integer (%1)."},
        {1006, "%1 is not a function."},
        {1007, "Instantiation attempted on a non-constructor."},
        {1009, "Cannot access a property or method of a null object reference."},
        {1010, "A term is undefined and has no properties."},
        {1014, "Class %1 could not be found."},
        {1026, "Method %1 has no body."},
        {1034, "Type Coercion failed: cannot convert %1 to %2."},
        {1037, "Cannot assign to a method %1 on %2."},
        {1040, "The right-hand side of instanceof must be a class or function."},
        {1041, "The right-hand side of operator must be a class."},
        {1050, "Cannot convert %1 to primitive."},
        {1052, "Invalid URI passed to %1 function."},
        {1056, "Cannot create property %1 on %2."},
        {1063, "Argument count mismatch on %1. Expected %2, got %3."},
        {1065, "Variable %1 is not defined."},
        {1069, "Property %1 not found on %2 and there is no default value."},
        {1070, "Method %1 not found on %2"},
        {1074, "Illegal write to read-only property %1 on %2."},
        {1076, "Math is not a constructor."},
        {1077, "Illegal read of write-only property %1 on %2."},
        {1112, "Argument count mismatch on class coercion.  Expected 1, got %1."},
        {1115, "%1 is not a constructor."},
        {1116, "second argument to Function.prototype.apply must be an array."},
        {1016, "Descendants operator (..) not supported on type %1."},
        {1083, "The prefix \"%1\" for element \"%2\" is not bound."},
        {1084, "Element or attribute (\"%1\") do not match QName production: QName::=(NCName':')?NCName."},
        {1085, "The element type \"%1\" must be terminated by the matching end-tag \"</%1>\"."},
        {1086, "The %1 method only works on lists containing one item."},
        {1087, "Assignment to indexed XML is not allowed."},
        {1088, "The markup in the document following the root element must be well-formed."},
        {1089, "Assignment to lists with more than one item is not supported."},
        {1090, "XML parser failure: element is malformed."},
        {1091, "XML parser failure: Unterminated CDATA section."},
        {1092, "XML parser failure: Unterminated XML declaration."},
        {1093, "XML parser failure: Unterminated DOCTYPE declaration."},
        {1094, "XML parser failure: Unterminated comment."},
        {1095, "XML parser failure: Unterminated attribute."},
        {1096, "XML parser failure: Unterminated element."},
        {1097, "XML parser failure: Unterminated processing instruction."},
        {1098, "Illegal prefix %1 for no namespace."},
        {1104, "Attribute \"%1\" was already specified for element \"%2\"."},
        {1117, "Invalid XML name: %1."},
        {1118, "Illegal cyclical loop between nodes."},
        {1119, "Delete operator is not supported with operand of type %1."},
        {1123, "Filter operator not supported on type %1."},
        {1125, "The index %1 is out of range %2."},
        {1126, "Cannot change the length of a fixed Vector."},
        {1127, "Type application attempted on a non-parameterized type."},
        {1129, "Cyclic structure cannot be converted to JSON string."},
        {1131, "Replacer argument to JSON stringifier must be an array or a two parameter function."},
        {1132, "Invalid JSON parse input."},
        {1506, "The specified range is invalid."},
        {1508, "The value specified for argument %1 is invalid."},
        {1502, "A script has executed for longer than the default timeout period of 15 seconds."},
        {1000, "The system is out of memory."},
        {2006, "The supplied index is out of bounds."},
        {2007, "Parameter %1 must be non-null."},
        {2008, "Parameter %1 must be one of the accepted values."},
        {2024, "An object cannot be added as a child of itself."},
        {2025, "The supplied DisplayObject must be a child of the caller."},
        {2066, "The Timer delay specified is out of range."},
        {2126, "NetConnection object must be connected."},
        {2004, "One of the parameters is invalid."},
        {2088, "The Proxy class does not implement getProperty. It must be overridden by a subclass."},
        {2089, "The Proxy class does not implement setProperty. It must be overridden by a subclass."},
        {2090, "The Proxy class does not implement callProperty. It must be overridden by a subclass."},
        {2091, "The Proxy class does not implement hasProperty. It must be overridden by a subclass."},
        {2092, "The Proxy class does not implement deleteProperty. It must be overridden by a subclass."},
        {2093, "The Proxy class does not implement getDescendants. It must be overridden by a subclass."},
        {2105, "The Proxy class does not implement nextNameIndex. It must be overridden by a subclass."},
        {2106, "The Proxy class does not implement nextName. It must be overridden by a subclass."},
        {2107, "The Proxy class does not implement nextValue. It must be overridden by a subclass."},
        {2109, "Frame label %1 not found in scene %2."},
        {2150, "An object cannot be added as a child to one of it's children (or children's children, etc.)."},
        {2030, "End of file was encountered."},
        {2005, "Parameter %1 is of the incorrect type. Should be type %2."},
        {2015, "Invalid BitmapData."},
        {1014, "Class %1 could not be found."},
        {2004, "One of the parameters is invalid."},
        {2032, "Stream Error. URL: %1"},
        {2035, "URL Not Found. URL: %1"},
        {2044, "Unhandled %1:. %2"},
        {2099, "The loading object is not sufficiently loaded to provide this information."},
        {2124, "Loaded file is an unknown type."},
        {2101, "The String passed to URLVariables.decode() must be a URL-encoded query string containing name/value pairs."},
        {2137, "Security sandbox violation: %1 cannot navigate window."},
        {2058, "There was an error decompressing the data."},
        {2012, "%1 class cannot be instantiated."},
        {2023, "Class %1 must inherit from Sprite to link to the root."},
    };
    return table;
}
} // namespace

QString Avm2Error::message() const {
    return QStringLiteral("%1: Error #%2: %3").arg(className()).arg(id).arg(text);
}

Avm2Error Avm2Error::make(int id, const QStringList& args) {
    const char* pattern = templates().value(id, nullptr);
    QString text = pattern ? QString::fromLatin1(pattern) : QStringLiteral("Error %1").arg(id);
    // Filled one by one from the highest number down so "%1" never eats "%10".
    for (int i = int(args.size()); i >= 1; --i) text.replace(QStringLiteral("%%1").arg(i), args[i - 1]);
    return Avm2Error{id, text};
}

} // namespace nimbrel::movie::avm2
