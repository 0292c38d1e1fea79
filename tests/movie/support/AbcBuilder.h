#pragma once
// Writes ABC bytecode blocks in memory for the second virtual machine's tests:
// pools, methods, classes, scripts and bodies, with code assembled by
// AbcCode. Indices are written as given, unchecked, so tests can build
// damaged blocks as easily as sound ones.
#include "movie/avm2/AbcFile.h"
#include "movie/avm2/OpcodeTable.h"
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace nimbrel::movie::test {

// Byte writer for the ABC encodings.
class AbcBytes {
public:
    AbcBytes& u8(uint8_t v);
    AbcBytes& u16(uint16_t v);
    AbcBytes& u30(uint32_t v); // variable length; also writes u32 and s32 values
    AbcBytes& s24(int32_t v);
    AbcBytes& d64(double v);
    AbcBytes& string(const QString& s);
    AbcBytes& bytes(const QByteArray& b);
    const QByteArray& data() const { return out_; }

private:
    QByteArray out_;
};

// Method code: op(Op::PushByte).u8(1).op(Op::ReturnValue) ...
class AbcCode : public AbcBytes {
public:
    AbcCode& op(avm2::Op o) { u8(uint8_t(o)); return *this; }
    AbcCode& u8(uint8_t v) { AbcBytes::u8(v); return *this; }
    AbcCode& u30(uint32_t v) { AbcBytes::u30(v); return *this; }
    AbcCode& s24(int32_t v) { AbcBytes::s24(v); return *this; }
};

struct AbcBodySpec {
    uint32_t method = 0;
    uint32_t maxStack = 2;
    uint32_t localCount = 1;
    uint32_t initScopeDepth = 0;
    uint32_t maxScopeDepth = 1;
    QByteArray code;
    std::vector<avm2::ExceptionInfo> exceptions;
    std::vector<avm2::TraitInfo> traits; // of the activation object
    // Declared code length when it should differ from code.size() (a cut-short body).
    int64_t declaredLength = -1;
};

class AbcBuilder {
public:
    uint32_t intConst(int32_t v);
    uint32_t uintConst(uint32_t v);
    uint32_t doubleConst(double v);
    uint32_t string(const QString& s);
    uint32_t ns(avm2::NamespaceKind kind, uint32_t nameIndex);
    uint32_t nsSet(const std::vector<uint32_t>& namespaces);
    uint32_t multiname(const avm2::MultinameInfo& m);
    // A public QName "name" in package "pkg": the usual case in one call.
    uint32_t qname(const QString& pkg, const QString& name);

    uint32_t method(const avm2::MethodInfo& m);
    uint32_t method(uint32_t name = 0) {
        avm2::MethodInfo m;
        m.name = name;
        return method(m);
    }
    uint32_t metadata(const avm2::MetadataInfo& md);
    uint32_t addClass(const avm2::InstanceInfo& instance, const avm2::ClassInfo& cls);
    uint32_t script(const avm2::ScriptInfo& s);
    void body(const AbcBodySpec& b);

    QByteArray build() const;

    // A one-frame ActionScript 3 movie carrying these blocks and SymbolClass links.
    static QByteArray movie(const std::vector<QByteArray>& blocks,
                            const std::vector<std::pair<uint16_t, QString>>& symbols = {});
    // A block whose single method (a script initialiser) has this body.
    static QByteArray withBody(const AbcBodySpec& b, uint8_t methodFlags = 0);

private:
    void writeTraits(AbcBytes& out, const std::vector<avm2::TraitInfo>& traits) const;
    void writeConstant(AbcBytes& out, const avm2::ConstantValue& v, bool optional) const;

    avm2::ConstantPool pool_;
    std::vector<avm2::MethodInfo> methods_;
    std::vector<avm2::MetadataInfo> metadata_;
    std::vector<avm2::InstanceInfo> instances_;
    std::vector<avm2::ClassInfo> classes_;
    std::vector<avm2::ScriptInfo> scripts_;
    std::vector<AbcBodySpec> bodies_;
};

} // namespace nimbrel::movie::test
