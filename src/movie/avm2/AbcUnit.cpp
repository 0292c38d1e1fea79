#include "movie/avm2/AbcUnit.h"
#include "movie/avm2/Verifier.h"

namespace nimbrel::movie::avm2 {

AbcUnit::AbcUnit(AbcFile file, uint32_t privateIdBase) : abc(std::move(file)) {
    const auto& pool = abc.pool;
    namespaces_.resize(pool.namespaces.size());
    for (size_t i = 1; i < pool.namespaces.size(); ++i) {
        const NamespaceInfo& info = pool.namespaces[i];
        Namespace& n = namespaces_[i];
        n.uri = abc.stringAt(info.name);
        switch (info.kind) {
        case NamespaceKind::Namespace:
        case NamespaceKind::Package: n.kind = Namespace::Kind::Public; break;
        case NamespaceKind::PackageInternal: n.kind = Namespace::Kind::PackageInternal; break;
        case NamespaceKind::Protected: n.kind = Namespace::Kind::Protected; break;
        case NamespaceKind::StaticProtected: n.kind = Namespace::Kind::StaticProtected; break;
        case NamespaceKind::Explicit: n.kind = Namespace::Kind::Explicit; break;
        case NamespaceKind::Private:
            n.kind = Namespace::Kind::Private;
            n.id = privateIdBase + uint32_t(i);
            break;
        }
    }
    sets_.resize(pool.namespaceSets.size());
    for (size_t i = 0; i < pool.namespaceSets.size(); ++i)
        for (uint32_t n : pool.namespaceSets[i]) sets_[i].push_back(namespaces_[n]);
    classes.resize(abc.classes.size());
    scriptStates.resize(abc.scripts.size(), ScriptState::Pending);
    scriptGlobals.resize(abc.scripts.size());
    prepared_.resize(abc.methods.size());
}

const DecodedMethod* AbcUnit::prepared(uint32_t methodIndex, std::optional<Avm2Error>& error) {
    if (methodIndex >= prepared_.size()) {
        error = Avm2Error::make(err::MethodOutOfRange, {QString::number(methodIndex), QString::number(prepared_.size())});
        return nullptr;
    }
    Prepared& p = prepared_[methodIndex];
    if (!p.tried) {
        p.tried = true;
        const int body = abc.methods[methodIndex].body;
        if (body < 0) {
            p.error = Avm2Error::make(1026, {abc.methodName(methodIndex)});
        } else {
            auto result = Verifier::prepare(abc, uint32_t(body));
            if (result) p.method = std::move(result.value());
            else p.error = result.error();
        }
    }
    error = p.error;
    return p.method ? &*p.method : nullptr;
}

Name AbcUnit::name(uint32_t index) const {
    Name n;
    if (index == 0 || index >= abc.pool.multinames.size()) {
        n.anyName = n.anyNamespace = true;
        return n;
    }
    const MultinameInfo& m = abc.pool.multinames[index];
    n.attribute = m.isAttribute();
    switch (m.kind) {
    case MultinameKind::QName:
    case MultinameKind::QNameA:
        n.single = namespaces_[m.ns];
        n.anyNamespace = m.ns == 0;
        break;
    case MultinameKind::Multiname:
    case MultinameKind::MultinameA:
    case MultinameKind::MultinameL:
    case MultinameKind::MultinameLA:
        n.set = &sets_[m.nsSet];
        break;
    case MultinameKind::TypeName:
        return name(m.base);
    default: break;
    }
    if (m.kind == MultinameKind::QName || m.kind == MultinameKind::QNameA || m.kind == MultinameKind::Multiname ||
        m.kind == MultinameKind::MultinameA || m.kind == MultinameKind::RTQName || m.kind == MultinameKind::RTQNameA) {
        n.local = abc.stringAt(m.name);
        n.anyName = m.name == 0;
    }
    return n;
}

} // namespace nimbrel::movie::avm2
