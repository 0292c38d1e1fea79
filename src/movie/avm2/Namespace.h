#pragma once
// Namespaces and names as the interpreter compares them: public names by
// URI, private namespaces by identity, and the resolved name an instruction
// looks up (one name, the namespaces it may be in).
#include <QString>
#include <cstdint>
#include <vector>

namespace nimbrel::movie::avm2 {

class ScriptObject;

inline const QString kAs3NamespaceUri = QStringLiteral("http://adobe.com/AS3/2006/builtin");

struct Namespace {
    enum class Kind : uint8_t { Public, PackageInternal, Protected, StaticProtected, Private, Explicit };
    Kind kind = Kind::Public;
    QString uri;
    uint32_t id = 0; // tells private namespaces apart

    static Namespace publicNs(const QString& uri = QString()) { return Namespace{Kind::Public, uri, 0}; }
    bool isPublicEmpty() const { return kind == Kind::Public && uri.isEmpty(); }
    bool isAs3() const { return kind == Kind::Public && uri == kAs3NamespaceUri; }
    bool operator==(const Namespace& o) const {
        if (kind != o.kind) return false;
        return kind == Kind::Private ? id == o.id : uri == o.uri;
    }
};

// A name being looked up: `local` in any of the namespaces (or any at all).
struct Name {
    QString local;
    bool anyName = false; // "*"
    bool anyNamespace = false;
    bool attribute = false;
    const std::vector<Namespace>* set = nullptr;
    Namespace single; // used when set is null and !anyNamespace
    int64_t index = -1; // the name as an array index, when it is one
    ScriptObject* objectKey = nullptr; // the object a runtime name came from: dictionaries key by identity

    bool matches(const Namespace& ns) const {
        if (anyNamespace) return true;
        if (!set) return single == ns;
        for (const Namespace& n : *set)
            if (n == ns) return true;
        return false;
    }
    // Dynamic properties live in the public namespace.
    bool reachesPublic() const {
        if (anyNamespace) return true;
        if (!set) return single.isPublicEmpty() || single.isAs3();
        for (const Namespace& n : *set)
            if (n.isPublicEmpty()) return true;
        return false;
    }
    static Name publicName(const QString& local) {
        Name n;
        n.local = local;
        n.single = Namespace::publicNs();
        return n;
    }
};

} // namespace nimbrel::movie::avm2
