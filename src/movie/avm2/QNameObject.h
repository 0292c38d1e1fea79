#pragma once
// A QName value: a local name in a namespace URI (anyUri: the `*` namespace).
#include "movie/avm2/ScriptObject.h"

namespace nimbrel::movie::avm2 {

class QNameObject : public ScriptObject {
public:
    QNameObject() : ScriptObject(Type::QName) {}
    QString uri, local, prefix; // prefix isNull(): unknown
    bool anyUri = false;
    bool anyLocal = false;
};

} // namespace nimbrel::movie::avm2
