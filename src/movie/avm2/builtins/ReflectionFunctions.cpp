#include "movie/avm2/builtins/ReflectionFunctions.h"
#include "movie/avm2/AbcUnit.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include <QSet>
#include <algorithm>

namespace nimbrel::movie::avm2 {

namespace reflection_natives {

// "pkg.Name", "pkg::Name" or "Name" as the class or global it names.
Value definitionByName(Runtime& rt, const Value&, Args a) {
    if (a[0].isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("name")});
    QString text = rt.toString(a[0]);
    text.replace(QStringLiteral("::"), QStringLiteral("."));
    if (auto cls = rt.findClass(text)) return Value::object(cls);
    const int dot = text.lastIndexOf(QLatin1Char('.'));
    Name n;
    n.local = text.mid(dot + 1);
    n.single = Namespace::publicNs(dot < 0 ? QString() : text.left(dot));
    if (ScriptObject* g = rt.findGlobal(n)) return PropertyAccess::get(rt, Value::object(g->shared_from_this()), n);
    rt.raise(QStringLiteral("ReferenceError"), 1065, {n.local});
}

ClassObject* classBehind(Runtime& rt, const Value& v) {
    if (v.isObject() && v.obj()->type == ScriptObject::Type::Class) return static_cast<ClassObject*>(v.obj());
    return rt.classOf(v);
}

Value qualifiedSuperclassName(Runtime& rt, const Value&, Args a) {
    if (a[0].isNullish()) return Value::null();
    ClassObject* c = classBehind(rt, a[0]);
    return c && c->base ? Value::string(c->base->qualifiedName()) : Value::null();
}

QString escaped(QString s) {
    return s.replace(QLatin1Char('&'), QStringLiteral("&amp;")).replace(QLatin1Char('<'), QStringLiteral("&lt;"))
        .replace(QLatin1Char('"'), QStringLiteral("&quot;")).replace(QLatin1Char('>'), QStringLiteral("&gt;"));
}

// The bytecode class behind cls, found by its instance initialiser; -1 for a built-in class.
int abcClassIndex(const ClassObject& cls) {
    const AbcUnit* unit = cls.constructor.unit;
    if (!unit) return -1;
    const auto& instances = unit->abc.instances;
    for (size_t i = 0; i < instances.size(); ++i)
        if (instances[i].initializer == cls.constructor.index) return int(i);
    return -1;
}

struct TypeWriter {
    Runtime& rt;
    QStringList lines;
    const TraitTable* finalTraits = nullptr; // the instances' traits, for accessor halves declared further up

    QString typeText(const AbcUnit& unit, uint32_t multiname) const {
        return multiname == 0 ? QStringLiteral("*") : unit.abc.multinameText(multiname);
    }
    // The namespace part of a trait's name: listed traits are public or in a declared namespace.
    bool listed(const AbcUnit& unit, const TraitInfo& t, QString& name, QString& uri) const {
        const auto& mn = unit.abc.pool.multinames;
        if (t.name >= mn.size()) return false;
        name = unit.abc.stringAt(mn[t.name].name);
        const auto& nss = unit.abc.pool.namespaces;
        if (mn[t.name].ns >= nss.size()) return false;
        const NamespaceInfo& ns = nss[mn[t.name].ns];
        if (ns.kind != NamespaceKind::Package && ns.kind != NamespaceKind::Namespace) return false;
        uri = unit.abc.stringAt(ns.name);
        return true;
    }
    void metadata(const AbcUnit& unit, const TraitInfo& t, const QString& indent) {
        for (uint32_t m : t.metadata) {
            if (m >= unit.abc.metadata.size()) continue;
            const MetadataInfo& info = unit.abc.metadata[m];
            lines << indent + QStringLiteral("<metadata name=\"%1\">").arg(escaped(unit.abc.stringAt(info.name)));
            for (const auto& [key, value] : info.items)
                lines << indent + QStringLiteral("  <arg key=\"%1\" value=\"%2\"/>").arg(escaped(unit.abc.stringAt(key)), escaped(unit.abc.stringAt(value)));
            lines << indent + QStringLiteral("</metadata>");
        }
    }
    void parameters(const AbcUnit& unit, uint32_t method, const QString& indent) {
        if (method >= unit.abc.methods.size()) return;
        const MethodInfo& m = unit.abc.methods[method];
        const size_t firstOptional = m.paramTypes.size() - std::min(m.paramTypes.size(), m.optionals.size());
        for (size_t i = 0; i < m.paramTypes.size(); ++i)
            lines << indent + QStringLiteral("<parameter index=\"%1\" type=\"%2\" optional=\"%3\"/>")
                                  .arg(i + 1)
                                  .arg(escaped(typeText(unit, m.paramTypes[i])), i >= firstOptional ? QStringLiteral("true") : QStringLiteral("false"));
    }
    // One class's own traits; getters and setters of one name make one accessor.
    void traits(const AbcUnit& unit, const std::vector<TraitInfo>& traits, const QString& declaredBy, const QString& indent,
                QSet<QString>& seen) {
        for (const TraitInfo& t : traits) {
            QString name, uri;
            if (!listed(unit, t, name, uri) || seen.contains(uri + QLatin1Char(':') + name)) continue;
            const QString uriAttr = uri.isEmpty() ? QString() : QStringLiteral(" uri=\"%1\"").arg(escaped(uri));
            const bool hasMeta = !t.metadata.empty();
            QString open;
            switch (t.kind) {
            case TraitKind::Slot:
            case TraitKind::Const:
                open = QStringLiteral("<%1 name=\"%2\" type=\"%3\"%4")
                           .arg(t.kind == TraitKind::Const ? QStringLiteral("constant") : QStringLiteral("variable"), escaped(name),
                                escaped(typeText(unit, t.typeName)), uriAttr);
                break;
            case TraitKind::Method:
            case TraitKind::Function: {
                const uint32_t ret = t.index < unit.abc.methods.size() ? unit.abc.methods[t.index].returnType : 0;
                open = QStringLiteral("<method name=\"%1\" declaredBy=\"%2\" returnType=\"%3\"%4")
                           .arg(escaped(name), escaped(declaredBy), escaped(typeText(unit, ret)), uriAttr);
                seen.insert(uri + QLatin1Char(':') + name);
                const bool hasParams = t.index < unit.abc.methods.size() && !unit.abc.methods[t.index].paramTypes.empty();
                if (!hasParams && !hasMeta) {
                    lines << indent + open + QStringLiteral("/>");
                } else {
                    lines << indent + open + QLatin1Char('>');
                    parameters(unit, t.index, indent + QStringLiteral("  "));
                    metadata(unit, t, indent + QStringLiteral("  "));
                    lines << indent + QStringLiteral("</method>");
                }
                continue;
            }
            case TraitKind::Getter:
            case TraitKind::Setter: {
                // The other half of the accessor, if this class declares it too.
                bool readable = false, writable = false;
                uint32_t type = 0;
                TraitInfo both = t; // the metadata of both halves
                both.metadata.clear();
                for (const TraitInfo& o : traits) {
                    QString oName, oUri;
                    if (!listed(unit, o, oName, oUri) || oName != name || oUri != uri) continue;
                    if (o.kind == TraitKind::Getter || o.kind == TraitKind::Setter)
                        both.metadata.insert(both.metadata.end(), o.metadata.begin(), o.metadata.end());
                    if (o.kind == TraitKind::Getter && o.index < unit.abc.methods.size()) {
                        readable = true;
                        type = unit.abc.methods[o.index].returnType;
                    } else if (o.kind == TraitKind::Setter && o.index < unit.abc.methods.size()) {
                        writable = true;
                        if (!readable && !unit.abc.methods[o.index].paramTypes.empty()) type = unit.abc.methods[o.index].paramTypes[0];
                    }
                }
                // Halves a class this one extends declares count too.
                if (finalTraits)
                    for (const Binding& b : finalTraits->all().value(name))
                        if (b.kind == Binding::Kind::Accessor && b.ns.uri == uri) {
                            readable = readable || b.getter.valid();
                            writable = writable || b.setter.valid();
                        }
                open = QStringLiteral("<accessor name=\"%1\" access=\"%2\" type=\"%3\" declaredBy=\"%4\"%5")
                           .arg(escaped(name),
                                readable && writable ? QStringLiteral("readwrite") : readable ? QStringLiteral("readonly") : QStringLiteral("writeonly"),
                                escaped(typeText(unit, type)), escaped(declaredBy), uriAttr);
                seen.insert(uri + QLatin1Char(':') + name);
                element(open, unit, both, indent);
                continue;
            }
            case TraitKind::Class: continue;
            }
            seen.insert(uri + QLatin1Char(':') + name);
            element(open, unit, t, indent);
        }
    }
    // An element opened by `open`, closed at once or holding the trait's metadata.
    void element(const QString& open, const AbcUnit& unit, const TraitInfo& t, const QString& indent) {
        if (t.metadata.empty()) {
            lines << indent + open + QStringLiteral("/>");
            return;
        }
        const QString tag = open.mid(1, open.indexOf(QLatin1Char(' ')) - 1);
        lines << indent + open + QLatin1Char('>');
        metadata(unit, t, indent + QStringLiteral("  "));
        lines << indent + QStringLiteral("</%1>").arg(tag);
    }
    // What instances of cls have: its bases and interfaces, constructor, and
    // the members declared along the chain (nearest declaration first).
    void instanceSide(const ClassObject& cls, const QString& indent) {
        for (const ClassObject* b = cls.base.get(); b; b = b->base.get())
            lines << indent + QStringLiteral("<extendsClass type=\"%1\"/>").arg(escaped(b->qualifiedName()));
        for (const ClassObject* i : cls.interfaces)
            lines << indent + QStringLiteral("<implementsInterface type=\"%1\"/>").arg(escaped(i->qualifiedName()));
        const int own = abcClassIndex(cls);
        if (own >= 0) {
            const AbcUnit& unit = *cls.constructor.unit;
            const uint32_t init = unit.abc.instances[size_t(own)].initializer;
            if (init < unit.abc.methods.size() && !unit.abc.methods[init].paramTypes.empty()) {
                lines << indent + QStringLiteral("<constructor>");
                parameters(unit, init, indent + QStringLiteral("  "));
                lines << indent + QStringLiteral("</constructor>");
            }
        }
        QSet<QString> seen;
        finalTraits = cls.instanceTraits.get();
        for (const ClassObject* c = &cls; c; c = c->base.get()) {
            const int index = abcClassIndex(*c);
            if (index >= 0) {
                traits(*c->constructor.unit, c->constructor.unit->abc.instances[size_t(index)].traits, c->qualifiedName(), indent, seen);
            } else if (c->instanceTraits) {
                nativeTraits(*c, *c->instanceTraits, indent, seen);
            }
        }
    }
    // A built-in class's members carry no declared types.
    void nativeTraits(const ClassObject& c, const TraitTable& table, const QString& indent, QSet<QString>& seen) {
        QStringList names = table.all().keys();
        names.sort();
        for (const QString& name : names) {
            for (const Binding& b : table.all().value(name)) {
                const bool ownMember = b.method.home == &c || b.getter.home == &c || b.setter.home == &c ||
                                       b.kind == Binding::Kind::Slot || b.kind == Binding::Kind::Const;
                if (!b.ns.isPublicEmpty() || seen.contains(QLatin1Char(':') + name) || !ownMember)
                    continue;
                seen.insert(QLatin1Char(':') + name);
                const QString by = escaped(c.qualifiedName());
                if (b.kind == Binding::Kind::Method)
                    lines << indent + QStringLiteral("<method name=\"%1\" declaredBy=\"%2\" returnType=\"*\"/>").arg(escaped(name), by);
                else if (b.kind == Binding::Kind::Accessor)
                    lines << indent + QStringLiteral("<accessor name=\"%1\" access=\"%2\" type=\"*\" declaredBy=\"%3\"/>")
                                          .arg(escaped(name), b.getter.valid() && b.setter.valid() ? QStringLiteral("readwrite")
                                                              : b.getter.valid() ? QStringLiteral("readonly") : QStringLiteral("writeonly"), by);
                else
                    lines << indent + QStringLiteral("<%1 name=\"%2\" type=\"*\"/>")
                                          .arg(b.kind == Binding::Kind::Const ? QStringLiteral("constant") : QStringLiteral("variable"), escaped(name));
            }
        }
    }
};

Value describeType(Runtime& rt, const Value&, Args a) {
    TypeWriter w{rt, {}};
    const Value v = a[0];
    ClassObject* xmlClass = rt.builtin(QStringLiteral("XML"));
    if (v.isNullish()) {
        w.lines << QStringLiteral("<type name=\"%1\" isDynamic=\"false\" isFinal=\"true\" isStatic=\"false\"/>")
                       .arg(v.isNull() ? QStringLiteral("null") : QStringLiteral("void"));
    } else if (v.isObject() && v.obj()->type == ScriptObject::Type::Class) {
        // The class itself: its statics, then what its instances are (the factory).
        const auto& cls = *static_cast<ClassObject*>(v.obj());
        w.lines << QStringLiteral("<type name=\"%1\" base=\"Class\" isDynamic=\"true\" isFinal=\"true\" isStatic=\"true\">")
                       .arg(escaped(cls.qualifiedName()));
        w.lines << QStringLiteral("  <extendsClass type=\"Class\"/>") << QStringLiteral("  <extendsClass type=\"Object\"/>");
        w.lines << QStringLiteral("  <accessor name=\"prototype\" access=\"readonly\" type=\"*\" declaredBy=\"Class\"/>");
        if (const int index = abcClassIndex(cls); index >= 0) {
            QSet<QString> seen;
            w.traits(*cls.constructor.unit, cls.constructor.unit->abc.classes[size_t(index)].traits, cls.qualifiedName(), QStringLiteral("  "), seen);
        }
        w.lines << QStringLiteral("  <factory type=\"%1\">").arg(escaped(cls.qualifiedName()));
        w.instanceSide(cls, QStringLiteral("    "));
        w.lines << QStringLiteral("  </factory>");
        w.lines << QStringLiteral("</type>");
    } else {
        const ClassObject& cls = *rt.classOf(v);
        QString head = QStringLiteral("<type name=\"%1\"").arg(escaped(cls.qualifiedName()));
        if (cls.base) head += QStringLiteral(" base=\"%1\"").arg(escaped(cls.base->qualifiedName()));
        head += QStringLiteral(" isDynamic=\"%1\" isFinal=\"%2\" isStatic=\"false\">")
                    .arg(cls.dynamicInstances ? QStringLiteral("true") : QStringLiteral("false"),
                         cls.isFinal ? QStringLiteral("true") : QStringLiteral("false"));
        w.lines << head;
        w.instanceSide(cls, QStringLiteral("  "));
        w.lines << QStringLiteral("</type>");
    }
    const Value text = Value::string(w.lines.join(QLatin1Char('\n')));
    return rt.construct(Value::object(xmlClass->shared_from_this()), Args{&text, 1});
}

} // namespace reflection_natives

void ReflectionFunctions::install(Runtime& rt) {
    using namespace reflection_natives;
    const std::pair<const char*, NativeFn> functions[] = {
        {"getDefinitionByName", definitionByName}, {"getQualifiedSuperclassName", qualifiedSuperclassName}, {"describeType", describeType}};
    for (const auto& [name, fn] : functions) {
        auto f = rt.makeFunction(MethodRef{nullptr, 0, fn, nullptr, 1}, nullptr);
        for (const char* package : {"flash.utils", "avmplus"})
            rt.defineGlobalValue(QString::fromLatin1(package), QString::fromLatin1(name), Value::object(f));
    }
}

} // namespace nimbrel::movie::avm2
