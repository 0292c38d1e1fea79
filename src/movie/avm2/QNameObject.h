#pragma once
// A QName value: a local name in a namespace URI (anyUri: the `*` namespace).
#include "movie/avm2/ScriptObject.h"

namespace nimbrel::movie::avm2 {

class QNameObject : public ScriptObject {
public:
    QNameObject() : ScriptObject(Type::QName) {}
    // for-in lists its two parts.
    int ownEnumCount() const override { return 2; }
    int nextOwnEnumPosition(int position) const override { return position < 2 ? position + 1 : 0; }
    Value ownEnumName(int position) const override {
        return Value::string(position == 1 ? QStringLiteral("localName") : QStringLiteral("uri"));
    }
    Value ownEnumValue(int position) const override {
        if (position == 1) return Value::string(local);
        return anyUri ? Value::null() : Value::string(uri);
    }
    QString uri, local, prefix; // prefix isNull(): unknown
    bool anyUri = false;
    bool anyLocal = false;
};

} // namespace nimbrel::movie::avm2
