#include "movie/support/AbcBuilder.h"
#include "movie/support/SwfBuilder.h"
#include <cstring>

namespace nimbrel::movie::test {

using namespace avm2;

AbcBytes& AbcBytes::u8(uint8_t v) {
    out_.append(char(v));
    return *this;
}
AbcBytes& AbcBytes::u16(uint16_t v) { return u8(uint8_t(v)).u8(uint8_t(v >> 8)); }
AbcBytes& AbcBytes::u30(uint32_t v) {
    do {
        const uint8_t b = v & 0x7F;
        v >>= 7;
        u8(v ? b | 0x80 : b);
    } while (v);
    return *this;
}
AbcBytes& AbcBytes::s24(int32_t v) { return u8(uint8_t(v)).u8(uint8_t(v >> 8)).u8(uint8_t(v >> 16)); }
AbcBytes& AbcBytes::d64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) u8(uint8_t(bits >> (8 * i)));
    return *this;
}
AbcBytes& AbcBytes::string(const QString& s) {
    const QByteArray utf8 = s.toUtf8();
    u30(uint32_t(utf8.size()));
    return bytes(utf8);
}
AbcBytes& AbcBytes::bytes(const QByteArray& b) {
    out_ += b;
    return *this;
}

uint32_t AbcBuilder::intConst(int32_t v) { pool_.ints.push_back(v); return uint32_t(pool_.ints.size() - 1); }
uint32_t AbcBuilder::uintConst(uint32_t v) { pool_.uints.push_back(v); return uint32_t(pool_.uints.size() - 1); }
uint32_t AbcBuilder::doubleConst(double v) { pool_.doubles.push_back(v); return uint32_t(pool_.doubles.size() - 1); }
uint32_t AbcBuilder::string(const QString& s) {
    for (size_t i = 1; i < pool_.strings.size(); ++i)
        if (pool_.strings[i] == s) return uint32_t(i);
    pool_.strings.push_back(s);
    return uint32_t(pool_.strings.size() - 1);
}
uint32_t AbcBuilder::ns(NamespaceKind kind, uint32_t nameIndex) {
    pool_.namespaces.push_back(NamespaceInfo{kind, nameIndex});
    return uint32_t(pool_.namespaces.size() - 1);
}
uint32_t AbcBuilder::nsSet(const std::vector<uint32_t>& namespaces) {
    pool_.namespaceSets.push_back(namespaces);
    return uint32_t(pool_.namespaceSets.size() - 1);
}
uint32_t AbcBuilder::multiname(const MultinameInfo& m) {
    pool_.multinames.push_back(m);
    return uint32_t(pool_.multinames.size() - 1);
}
uint32_t AbcBuilder::qname(const QString& pkg, const QString& name) {
    MultinameInfo m;
    m.kind = MultinameKind::QName;
    m.ns = ns(NamespaceKind::Package, string(pkg));
    m.name = string(name);
    return multiname(m);
}
uint32_t AbcBuilder::method(const MethodInfo& m) { methods_.push_back(m); return uint32_t(methods_.size() - 1); }
uint32_t AbcBuilder::metadata(const MetadataInfo& md) { metadata_.push_back(md); return uint32_t(metadata_.size() - 1); }
uint32_t AbcBuilder::addClass(const InstanceInfo& instance, const ClassInfo& cls) {
    instances_.push_back(instance);
    classes_.push_back(cls);
    return uint32_t(classes_.size() - 1);
}
uint32_t AbcBuilder::script(const ScriptInfo& s) { scripts_.push_back(s); return uint32_t(scripts_.size() - 1); }
void AbcBuilder::body(const AbcBodySpec& b) { bodies_.push_back(b); }

void AbcBuilder::writeConstant(AbcBytes& out, const ConstantValue& v, bool optional) const {
    out.u30(v.index);
    if (optional || v.index != 0) out.u8(v.kind);
}

void AbcBuilder::writeTraits(AbcBytes& out, const std::vector<TraitInfo>& traits) const {
    out.u30(uint32_t(traits.size()));
    for (const TraitInfo& t : traits) {
        out.u30(t.name).u8(uint8_t(uint8_t(t.kind) | t.attributes << 4)).u30(t.id);
        switch (t.kind) {
        case TraitKind::Slot:
        case TraitKind::Const:
            out.u30(t.typeName);
            writeConstant(out, t.value, false);
            break;
        default:
            out.u30(t.index);
            break;
        }
        if (t.attributes & traitattr::Metadata) {
            out.u30(uint32_t(t.metadata.size()));
            for (uint32_t m : t.metadata) out.u30(m);
        }
    }
}

QByteArray AbcBuilder::build() const {
    AbcBytes out;
    out.u16(16).u16(46);
    out.u30(uint32_t(pool_.ints.size()));
    for (size_t i = 1; i < pool_.ints.size(); ++i) out.u30(uint32_t(pool_.ints[i]));
    out.u30(uint32_t(pool_.uints.size()));
    for (size_t i = 1; i < pool_.uints.size(); ++i) out.u30(pool_.uints[i]);
    out.u30(uint32_t(pool_.doubles.size()));
    for (size_t i = 1; i < pool_.doubles.size(); ++i) out.d64(pool_.doubles[i]);
    out.u30(uint32_t(pool_.strings.size()));
    for (size_t i = 1; i < pool_.strings.size(); ++i) out.string(pool_.strings[i]);
    out.u30(uint32_t(pool_.namespaces.size()));
    for (size_t i = 1; i < pool_.namespaces.size(); ++i) out.u8(uint8_t(pool_.namespaces[i].kind)).u30(pool_.namespaces[i].name);
    out.u30(uint32_t(pool_.namespaceSets.size()));
    for (size_t i = 1; i < pool_.namespaceSets.size(); ++i) {
        out.u30(uint32_t(pool_.namespaceSets[i].size()));
        for (uint32_t n : pool_.namespaceSets[i]) out.u30(n);
    }
    out.u30(uint32_t(pool_.multinames.size()));
    for (size_t i = 1; i < pool_.multinames.size(); ++i) {
        const MultinameInfo& m = pool_.multinames[i];
        out.u8(uint8_t(m.kind));
        switch (m.kind) {
        case MultinameKind::QName: case MultinameKind::QNameA: out.u30(m.ns).u30(m.name); break;
        case MultinameKind::RTQName: case MultinameKind::RTQNameA: out.u30(m.name); break;
        case MultinameKind::RTQNameL: case MultinameKind::RTQNameLA: break;
        case MultinameKind::Multiname: case MultinameKind::MultinameA: out.u30(m.name).u30(m.nsSet); break;
        case MultinameKind::MultinameL: case MultinameKind::MultinameLA: out.u30(m.nsSet); break;
        case MultinameKind::TypeName:
            out.u30(m.base).u30(uint32_t(m.typeParams.size()));
            for (uint32_t p : m.typeParams) out.u30(p);
            break;
        }
    }
    out.u30(uint32_t(methods_.size()));
    for (const MethodInfo& m : methods_) {
        out.u30(uint32_t(m.paramTypes.size())).u30(m.returnType);
        for (uint32_t t : m.paramTypes) out.u30(t);
        uint8_t flags = m.flags;
        if (!m.optionals.empty()) flags |= methodflags::HasOptional;
        if (!m.paramNames.empty()) flags |= methodflags::HasParamNames;
        out.u30(m.name).u8(flags);
        if (flags & methodflags::HasOptional) {
            out.u30(uint32_t(m.optionals.size()));
            for (const ConstantValue& v : m.optionals) writeConstant(out, v, true);
        }
        for (uint32_t n : m.paramNames) out.u30(n);
    }
    out.u30(uint32_t(metadata_.size()));
    for (const MetadataInfo& md : metadata_) {
        out.u30(md.name).u30(uint32_t(md.items.size()));
        for (const auto& item : md.items) out.u30(item.first);
        for (const auto& item : md.items) out.u30(item.second);
    }
    out.u30(uint32_t(classes_.size()));
    for (const InstanceInfo& inst : instances_) {
        out.u30(inst.name).u30(inst.superName).u8(inst.flags);
        if (inst.flags & instanceflags::ProtectedNs) out.u30(inst.protectedNs);
        out.u30(uint32_t(inst.interfaces.size()));
        for (uint32_t i : inst.interfaces) out.u30(i);
        out.u30(inst.initializer);
        writeTraits(out, inst.traits);
    }
    for (const ClassInfo& cls : classes_) {
        out.u30(cls.initializer);
        writeTraits(out, cls.traits);
    }
    out.u30(uint32_t(scripts_.size()));
    for (const ScriptInfo& s : scripts_) {
        out.u30(s.initializer);
        writeTraits(out, s.traits);
    }
    out.u30(uint32_t(bodies_.size()));
    for (const AbcBodySpec& b : bodies_) {
        out.u30(b.method).u30(b.maxStack).u30(b.localCount).u30(b.initScopeDepth).u30(b.maxScopeDepth);
        out.u30(uint32_t(b.declaredLength >= 0 ? b.declaredLength : b.code.size())).bytes(b.code);
        out.u30(uint32_t(b.exceptions.size()));
        for (const ExceptionInfo& e : b.exceptions) out.u30(e.from).u30(e.to).u30(e.target).u30(e.type).u30(e.varName);
        writeTraits(out, b.traits);
    }
    return out.data();
}

QByteArray AbcBuilder::withBody(const AbcBodySpec& b, uint8_t methodFlags) {
    AbcBuilder abc;
    abc.qname(QString(), QStringLiteral("x")); // multiname 1, for instructions that need one
    MethodInfo m;
    m.flags = methodFlags;
    abc.method(m);
    abc.script(ScriptInfo{0, {}});
    abc.body(b);
    return abc.build();
}

QByteArray AbcBuilder::movie(const std::vector<QByteArray>& blocks,
                             const std::vector<std::pair<uint16_t, QString>>& symbols) {
    SwfBuilder swf;
    swf.tag(69, QByteArray("\x08\0\0\0", 4)); // FileAttributes: ActionScript 3
    for (size_t i = 0; i < blocks.size(); ++i) {
        AbcBytes body;
        body.u8(1).u8(0).u8(0).u8(0); // lazy initialise, as compilers write it
        body.bytes(QStringLiteral("block%1").arg(i).toUtf8()).u8(0).bytes(blocks[i]);
        swf.tag(82, body.data(), true);
    }
    if (!symbols.empty()) {
        AbcBytes body;
        body.u16(uint16_t(symbols.size()));
        for (const auto& [id, name] : symbols) body.u16(id).bytes(name.toUtf8()).u8(0);
        swf.tag(76, body.data());
    }
    swf.showFrame();
    swf.end();
    return swf.build();
}

} // namespace nimbrel::movie::test
