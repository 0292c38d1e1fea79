#include "movie/avm2/AbcFile.h"
#include <QStringList>

namespace nimbrel::movie::avm2 {

bool MultinameInfo::isAttribute() const {
    switch (kind) {
    case MultinameKind::QNameA:
    case MultinameKind::RTQNameA:
    case MultinameKind::RTQNameLA:
    case MultinameKind::MultinameA:
    case MultinameKind::MultinameLA:
        return true;
    default:
        return false;
    }
}

int MultinameInfo::runtimeParts() const {
    switch (kind) {
    case MultinameKind::RTQName:
    case MultinameKind::RTQNameA:
    case MultinameKind::MultinameL:
    case MultinameKind::MultinameLA:
        return 1;
    case MultinameKind::RTQNameL:
    case MultinameKind::RTQNameLA:
        return 2;
    default:
        return 0;
    }
}

QString AbcFile::methodName(uint32_t index) const {
    if (index < methods.size() && methods[index].name && !stringAt(methods[index].name).isEmpty())
        return stringAt(methods[index].name);
    auto localName = [&](uint32_t multiname) {
        return multiname < pool.multinames.size() ? stringAt(pool.multinames[multiname].name) : QString();
    };
    auto inTraits = [&](const std::vector<TraitInfo>& traits, const QString& owner) -> QString {
        for (const TraitInfo& t : traits) {
            if (t.index != index || t.kind == TraitKind::Slot || t.kind == TraitKind::Const || t.kind == TraitKind::Class)
                continue;
            const QString prefix = t.kind == TraitKind::Getter   ? QStringLiteral("get ")
                                   : t.kind == TraitKind::Setter ? QStringLiteral("set ")
                                                                 : QString();
            return owner.isEmpty() ? prefix + localName(t.name) : owner + QLatin1Char('/') + prefix + localName(t.name);
        }
        return QString();
    };
    for (size_t c = 0; c < instances.size() && c < classes.size(); ++c) {
        const QString cls = localName(instances[c].name);
        if (QString n = inTraits(instances[c].traits, cls); !n.isEmpty()) return n;
        if (QString n = inTraits(classes[c].traits, cls + QLatin1Char('$')); !n.isEmpty()) return n;
    }
    for (const ScriptInfo& s : scripts)
        if (QString n = inTraits(s.traits, QString()); !n.isEmpty()) return n;
    return QStringLiteral("method%1").arg(index);
}

QString AbcFile::namespaceText(uint32_t index) const {
    if (index == 0 || index >= pool.namespaces.size()) return QStringLiteral("*");
    const NamespaceInfo& ns = pool.namespaces[index];
    const QString uri = stringAt(ns.name);
    if (ns.kind == NamespaceKind::Private) return QStringLiteral("private");
    return uri;
}

QString AbcFile::multinameText(uint32_t index) const {
    if (index == 0 || index >= pool.multinames.size()) return QStringLiteral("*");
    const MultinameInfo& m = pool.multinames[index];
    const QString name = m.name ? stringAt(m.name) : QStringLiteral("*");
    const QString at = m.isAttribute() ? QStringLiteral("@") : QString();
    switch (m.kind) {
    case MultinameKind::QName:
    case MultinameKind::QNameA: {
        const QString ns = namespaceText(m.ns);
        return ns.isEmpty() ? at + name : ns + QStringLiteral("::") + at + name;
    }
    case MultinameKind::RTQName:
    case MultinameKind::RTQNameA:
        return QStringLiteral("[ns]::") + at + name;
    case MultinameKind::RTQNameL:
    case MultinameKind::RTQNameLA:
        return QStringLiteral("[ns]::") + at + QStringLiteral("[name]");
    case MultinameKind::Multiname:
    case MultinameKind::MultinameA:
        return QStringLiteral("{set %1}::").arg(m.nsSet) + at + name;
    case MultinameKind::MultinameL:
    case MultinameKind::MultinameLA:
        return QStringLiteral("{set %1}::").arg(m.nsSet) + at + QStringLiteral("[name]");
    case MultinameKind::TypeName: {
        QStringList params;
        // A generic's parameters may themselves be generics; pool order keeps this finite
        // only when they refer back, so the nesting shown is one level deep.
        for (uint32_t p : m.typeParams) {
            const MultinameInfo* pm = p < pool.multinames.size() ? &pool.multinames[p] : nullptr;
            params << (pm && pm->kind != MultinameKind::TypeName ? multinameText(p) : QStringLiteral("..."));
        }
        const MultinameInfo* bm = m.base < pool.multinames.size() ? &pool.multinames[m.base] : nullptr;
        const QString base = bm && bm->kind != MultinameKind::TypeName ? multinameText(m.base) : QStringLiteral("?");
        return base + QStringLiteral(".<") + params.join(QLatin1Char(',')) + QStringLiteral(">");
    }
    }
    return name;
}

} // namespace nimbrel::movie::avm2
