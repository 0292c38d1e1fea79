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
