#include "movie/avm2/AbcParser.h"

namespace nimbrel::movie::avm2 {

namespace {
bool isNamespaceKind(uint8_t k) {
    switch (NamespaceKind(k)) {
    case NamespaceKind::Namespace:
    case NamespaceKind::Package:
    case NamespaceKind::PackageInternal:
    case NamespaceKind::Protected:
    case NamespaceKind::Explicit:
    case NamespaceKind::StaticProtected:
    case NamespaceKind::Private:
        return true;
    }
    return false;
}
} // namespace

AbcParser::AbcParser(const QByteArray& bytes)
    : in_(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())) {}

AbcResult<AbcFile> AbcParser::parse(const QByteArray& bytes) {
    AbcParser p(bytes);
    p.abc_.minorVersion = p.in_.u16();
    p.abc_.majorVersion = p.in_.u16();
    const bool ok = p.readerOk() && p.readConstantPool() && p.readMethods() && p.readMetadata() && p.readClasses() &&
                    p.readScripts() && p.readBodies();
    if (!ok) return *p.error_;
    return std::move(p.abc_);
}

bool AbcParser::fail(int id, const QStringList& args) {
    if (!error_) error_ = Avm2Error::make(id, args);
    return false;
}

bool AbcParser::readerOk() { return in_.failed() ? fail(err::CorruptAbc) : true; }

bool AbcParser::readCount(uint32_t& count) {
    count = in_.u30();
    if (!readerOk()) return false;
    return count <= in_.remaining() ? true : fail(err::CorruptAbc);
}

bool AbcParser::checkIndex(uint32_t index, size_t poolSize) {
    if (index < poolSize) return true;
    return fail(err::PoolIndexOutOfRange, {QString::number(index), QString::number(poolSize)});
}

bool AbcParser::checkMethod(uint32_t index) {
    if (index < abc_.methods.size()) return true;
    return fail(err::MethodOutOfRange, {QString::number(index), QString::number(abc_.methods.size())});
}

bool AbcParser::checkClass(uint32_t index) {
    if (index < abc_.classes.size()) return true;
    return fail(err::ClassOutOfRange, {QString::number(index), QString::number(abc_.classes.size())});
}

bool AbcParser::readConstantPool() {
    ConstantPool& pool = abc_.pool;
    uint32_t count = 0;
    // Each pool's count includes the implicit entry 0; a count of 0 means the same as 1.
    if (!readCount(count)) return false;
    for (uint32_t i = 1; i < count; ++i) pool.ints.push_back(in_.s32());
    if (!readCount(count)) return false;
    for (uint32_t i = 1; i < count; ++i) pool.uints.push_back(in_.u32());
    if (!readCount(count)) return false;
    for (uint32_t i = 1; i < count && !in_.failed(); ++i) pool.doubles.push_back(in_.d64());
    if (!readCount(count)) return false;
    for (uint32_t i = 1; i < count && !in_.failed(); ++i) pool.strings.push_back(in_.string());
    return readerOk() && readNamespaces() && readMultinames();
}

bool AbcParser::readNamespaces() {
    ConstantPool& pool = abc_.pool;
    uint32_t count = 0;
    if (!readCount(count)) return false;
    for (uint32_t i = 1; i < count; ++i) {
        const uint8_t kind = in_.u8();
        const uint32_t name = in_.u30();
        if (!readerOk()) return false;
        if (!isNamespaceKind(kind)) return fail(err::PoolEntryWrongType, {QString::number(i)});
        if (!checkIndex(name, pool.strings.size())) return false;
        pool.namespaces.push_back(NamespaceInfo{NamespaceKind(kind), name});
    }
    if (!readCount(count)) return false;
    for (uint32_t i = 1; i < count; ++i) {
        uint32_t size = 0;
        if (!readCount(size)) return false;
        std::vector<uint32_t> set;
        set.reserve(size);
        for (uint32_t k = 0; k < size; ++k) {
            const uint32_t ns = in_.u30();
            if (!readerOk()) return false;
            // A set names real namespaces; entry 0 ("any") has no place in one.
            if (ns == 0) return fail(err::PoolIndexOutOfRange, {QStringLiteral("0"), QString::number(pool.namespaces.size())});
            if (!checkIndex(ns, pool.namespaces.size())) return false;
            set.push_back(ns);
        }
        pool.namespaceSets.push_back(std::move(set));
    }
    return true;
}

bool AbcParser::readMultinames() {
    ConstantPool& pool = abc_.pool;
    uint32_t count = 0;
    if (!readCount(count)) return false;
    auto nsSet = [&](MultinameInfo& m) {
        m.nsSet = in_.u30();
        if (!readerOk()) return false;
        if (m.nsSet == 0) return fail(err::PoolIndexOutOfRange, {QStringLiteral("0"), QString::number(pool.namespaceSets.size())});
        return checkIndex(m.nsSet, pool.namespaceSets.size());
    };
    for (uint32_t i = 1; i < count; ++i) {
        MultinameInfo m;
        const uint8_t kind = in_.u8();
        m.kind = MultinameKind(kind);
        bool ok = true;
        switch (m.kind) {
        case MultinameKind::QName:
        case MultinameKind::QNameA:
            m.ns = in_.u30();
            m.name = in_.u30();
            ok = readerOk() && checkIndex(m.ns, pool.namespaces.size()) && checkIndex(m.name, pool.strings.size());
            break;
        case MultinameKind::RTQName:
        case MultinameKind::RTQNameA:
            m.name = in_.u30();
            ok = readerOk() && checkIndex(m.name, pool.strings.size());
            break;
        case MultinameKind::RTQNameL:
        case MultinameKind::RTQNameLA:
            break;
        case MultinameKind::Multiname:
        case MultinameKind::MultinameA:
            m.name = in_.u30();
            ok = readerOk() && checkIndex(m.name, pool.strings.size()) && nsSet(m);
            break;
        case MultinameKind::MultinameL:
        case MultinameKind::MultinameLA:
            ok = nsSet(m);
            break;
        case MultinameKind::TypeName: {
            m.base = in_.u30();
            uint32_t params = 0;
            if (!readCount(params)) return false;
            for (uint32_t k = 0; k < params; ++k) m.typeParams.push_back(in_.u30());
            // Generic parts may name entries further on; they are checked once the pool is whole.
            ok = readerOk();
            break;
        }
        default:
            return readerOk() && fail(err::PoolEntryWrongType, {QString::number(i)});
        }
        if (!ok) return false;
        pool.multinames.push_back(std::move(m));
    }
    for (const MultinameInfo& m : pool.multinames) {
        if (m.kind != MultinameKind::TypeName) continue;
        if (!checkIndex(m.base, pool.multinames.size())) return false;
        for (uint32_t p : m.typeParams)
            if (!checkIndex(p, pool.multinames.size())) return false;
    }
    return true;
}

bool AbcParser::readConstant(ConstantValue& value, bool kindAlwaysPresent) {
    value.index = in_.u30();
    // A slot without a default has index 0 and no kind byte.
    if (!kindAlwaysPresent && value.index == 0) {
        value.kind = 0;
        return readerOk();
    }
    value.kind = in_.u8();
    if (!readerOk()) return false;
    const ConstantPool& pool = abc_.pool;
    switch (value.kind) {
    case uint8_t(ConstantKind::Int): return checkIndex(value.index, pool.ints.size());
    case uint8_t(ConstantKind::UInt): return checkIndex(value.index, pool.uints.size());
    case uint8_t(ConstantKind::Double): return checkIndex(value.index, pool.doubles.size());
    case uint8_t(ConstantKind::Utf8): return checkIndex(value.index, pool.strings.size());
    case uint8_t(ConstantKind::Undefined):
    case uint8_t(ConstantKind::True):
    case uint8_t(ConstantKind::False):
    case uint8_t(ConstantKind::Null):
        return true;
    default:
        if (isNamespaceKind(value.kind)) return checkIndex(value.index, pool.namespaces.size());
        return fail(err::PoolEntryWrongType, {QString::number(value.index)});
    }
}

bool AbcParser::readMethods() {
    const ConstantPool& pool = abc_.pool;
    uint32_t count = 0;
    if (!readCount(count)) return false;
    abc_.methods.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        MethodInfo m;
        uint32_t params = 0;
        if (!readCount(params)) return false;
        m.returnType = in_.u30();
        for (uint32_t k = 0; k < params; ++k) m.paramTypes.push_back(in_.u30());
        m.name = in_.u30();
        m.flags = in_.u8();
        if (!readerOk() || !checkIndex(m.returnType, pool.multinames.size()) || !checkIndex(m.name, pool.strings.size()))
            return false;
        for (uint32_t t : m.paramTypes)
            if (!checkIndex(t, pool.multinames.size())) return false;
        if (m.flags & methodflags::HasOptional) {
            uint32_t optional = 0;
            if (!readCount(optional)) return false;
            if (optional > params) return fail(err::CorruptAbc);
            m.optionals.resize(optional);
            for (ConstantValue& v : m.optionals)
                if (!readConstant(v, true)) return false;
        }
        if (m.flags & methodflags::HasParamNames) {
            for (uint32_t k = 0; k < params; ++k) m.paramNames.push_back(in_.u30());
            if (!readerOk()) return false;
            for (uint32_t n : m.paramNames)
                if (!checkIndex(n, pool.strings.size())) return false;
        }
        abc_.methods.push_back(std::move(m));
    }
    return true;
}

bool AbcParser::readMetadata() {
    uint32_t count = 0;
    if (!readCount(count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        MetadataInfo md;
        md.name = in_.u30();
        uint32_t items = 0;
        if (!readCount(items)) return false;
        // All keys come first, then all values.
        md.items.resize(items);
        for (auto& item : md.items) item.first = in_.u30();
        for (auto& item : md.items) item.second = in_.u30();
        if (!readerOk() || !checkIndex(md.name, abc_.pool.strings.size())) return false;
        for (const auto& item : md.items)
            if (!checkIndex(item.first, abc_.pool.strings.size()) || !checkIndex(item.second, abc_.pool.strings.size()))
                return false;
        abc_.metadata.push_back(std::move(md));
    }
    return true;
}

bool AbcParser::readTraits(std::vector<TraitInfo>& traits) {
    const ConstantPool& pool = abc_.pool;
    uint32_t count = 0;
    if (!readCount(count)) return false;
    traits.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        TraitInfo t;
        t.name = in_.u30();
        const uint8_t kindByte = in_.u8();
        if (!readerOk()) return false;
        if (t.name == 0) return fail(err::PoolIndexOutOfRange, {QStringLiteral("0"), QString::number(pool.multinames.size())});
        if (!checkIndex(t.name, pool.multinames.size())) return false;
        t.kind = TraitKind(kindByte & 0x0F);
        t.attributes = kindByte >> 4;
        t.id = in_.u30();
        switch (t.kind) {
        case TraitKind::Slot:
        case TraitKind::Const:
            t.typeName = in_.u30();
            if (!readerOk() || !checkIndex(t.typeName, pool.multinames.size()) || !readConstant(t.value, false))
                return false;
            break;
        case TraitKind::Class:
            t.index = in_.u30();
            if (!readerOk() || !checkClass(t.index)) return false;
            break;
        case TraitKind::Method:
        case TraitKind::Getter:
        case TraitKind::Setter:
        case TraitKind::Function:
            t.index = in_.u30();
            if (!readerOk() || !checkMethod(t.index)) return false;
            break;
        default:
            return fail(err::UnsupportedTraitKind, {QString::number(kindByte & 0x0F)});
        }
        if (t.attributes & traitattr::Metadata) {
            uint32_t n = 0;
            if (!readCount(n)) return false;
            for (uint32_t k = 0; k < n; ++k) t.metadata.push_back(in_.u30());
            if (!readerOk()) return false;
            for (uint32_t md : t.metadata)
                if (!checkIndex(md, abc_.metadata.size())) return false;
        }
        traits.push_back(std::move(t));
    }
    return true;
}

bool AbcParser::readClasses() {
    const ConstantPool& pool = abc_.pool;
    uint32_t count = 0;
    if (!readCount(count)) return false;
    // Traits of earlier classes may name later ones, so every class slot exists from the start.
    abc_.classes.resize(count);
    abc_.instances.resize(count);
    for (InstanceInfo& inst : abc_.instances) {
        inst.name = in_.u30();
        inst.superName = in_.u30();
        inst.flags = in_.u8();
        if (inst.flags & instanceflags::ProtectedNs) inst.protectedNs = in_.u30();
        uint32_t interfaces = 0;
        if (!readCount(interfaces)) return false;
        for (uint32_t k = 0; k < interfaces; ++k) inst.interfaces.push_back(in_.u30());
        inst.initializer = in_.u30();
        if (!readerOk() || !checkIndex(inst.name, pool.multinames.size()) ||
            !checkIndex(inst.superName, pool.multinames.size()) || !checkIndex(inst.protectedNs, pool.namespaces.size()) ||
            !checkMethod(inst.initializer))
            return false;
        for (uint32_t itf : inst.interfaces)
            if (!checkIndex(itf, pool.multinames.size())) return false;
        if (!readTraits(inst.traits)) return false;
    }
    for (ClassInfo& cls : abc_.classes) {
        cls.initializer = in_.u30();
        if (!readerOk() || !checkMethod(cls.initializer) || !readTraits(cls.traits)) return false;
    }
    return true;
}

bool AbcParser::readScripts() {
    uint32_t count = 0;
    if (!readCount(count)) return false;
    abc_.scripts.resize(count);
    for (ScriptInfo& script : abc_.scripts) {
        script.initializer = in_.u30();
        if (!readerOk() || !checkMethod(script.initializer) || !readTraits(script.traits)) return false;
    }
    return true;
}

bool AbcParser::readBodies() {
    const ConstantPool& pool = abc_.pool;
    uint32_t count = 0;
    if (!readCount(count)) return false;
    abc_.bodies.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        MethodBody b;
        b.method = in_.u30();
        b.maxStack = in_.u30();
        b.localCount = in_.u30();
        b.initScopeDepth = in_.u30();
        b.maxScopeDepth = in_.u30();
        const uint32_t codeLength = in_.u30();
        if (!readerOk() || !checkMethod(b.method)) return false;
        MethodInfo& method = abc_.methods[b.method];
        if (method.body >= 0) return fail(err::DuplicateMethodBody, {abc_.methodName(b.method) + QStringLiteral("()")});
        const uint8_t* code = in_.take(codeLength);
        if (!readerOk()) return false;
        b.code = QByteArray(reinterpret_cast<const char*>(code), qsizetype(codeLength));
        uint32_t exceptions = 0;
        if (!readCount(exceptions)) return false;
        b.exceptions.resize(exceptions);
        for (ExceptionInfo& e : b.exceptions) {
            e.from = in_.u30();
            e.to = in_.u30();
            e.target = in_.u30();
            e.type = in_.u30();
            e.varName = in_.u30();
            if (!readerOk() || !checkIndex(e.type, pool.multinames.size()) || !checkIndex(e.varName, pool.multinames.size()))
                return false;
        }
        if (!readTraits(b.traits)) return false;
        method.body = int(abc_.bodies.size());
        abc_.bodies.push_back(std::move(b));
    }
    return true;
}

} // namespace nimbrel::movie::avm2
