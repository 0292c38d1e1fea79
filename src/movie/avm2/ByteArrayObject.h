#pragma once
// A flash.utils.ByteArray: bytes, a read/write position that may lie past
// the end, and the byte order multi-byte values use.
#include "movie/avm2/ScriptObject.h"
#include <QByteArray>

namespace nimbrel::movie::avm2 {

class ByteArrayObject : public ScriptObject {
public:
    ByteArrayObject() : ScriptObject(Type::ByteArray) {}

    // ba[i]: a byte (reading past the end gives undefined); writing past the end zero-fills up to it.
    bool getIndex(uint32_t i, Value& out) const override {
        if (i >= uint32_t(bytes.size())) return false;
        out = Value::integer(uint8_t(bytes[qsizetype(i)]));
        return true;
    }
    bool setIndex(uint32_t i, const Value& v) override {
        if (i >= uint32_t(bytes.size())) bytes.resize(qsizetype(i) + 1, '\0');
        bytes[qsizetype(i)] = char(Value::toInt32(v.isNumeric() ? v.numberValue() : v.primitiveToNumber()));
        return true;
    }
    uint32_t indexCount() const override { return 0; } // for-in does not list the bytes

    QByteArray bytes;
    uint32_t position = 0;
    bool littleEndian = false;
    uint32_t objectEncoding = 3;
};

} // namespace nimbrel::movie::avm2
