#pragma once
// A parsed ABC (ActionScript bytecode) block: constant pools, methods,
// metadata, classes, scripts and method bodies. Every index held here was
// checked against its pool when the block was read, so users index freely.
// Index 0 of each constant pool is the implicit default entry.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

namespace nimbrel::movie::avm2 {

enum class NamespaceKind : uint8_t {
    Namespace = 0x08,
    Package = 0x16,
    PackageInternal = 0x17,
    Protected = 0x18,
    Explicit = 0x19,
    StaticProtected = 0x1A,
    Private = 0x05,
};

struct NamespaceInfo {
    NamespaceKind kind = NamespaceKind::Namespace;
    uint32_t name = 0; // string index; 0 for the "any" namespace
};

enum class MultinameKind : uint8_t {
    QName = 0x07,
    QNameA = 0x0D,
    RTQName = 0x0F,
    RTQNameA = 0x10,
    RTQNameL = 0x11,
    RTQNameLA = 0x12,
    Multiname = 0x09,
    MultinameA = 0x0E,
    MultinameL = 0x1B,
    MultinameLA = 0x1C,
    TypeName = 0x1D,
};

struct MultinameInfo {
    MultinameKind kind = MultinameKind::QName;
    uint32_t ns = 0;     // namespace index (QName)
    uint32_t name = 0;   // string index (QName, RTQName, Multiname); 0 is "*"
    uint32_t nsSet = 0;  // namespace set index (Multiname, MultinameL)
    uint32_t base = 0;   // multiname index of the generic type (TypeName)
    std::vector<uint32_t> typeParams; // multiname indices (TypeName)

    bool isAttribute() const;
    // Values the instruction takes from the stack for the name: namespace and/or name.
    int runtimeParts() const;
};

// A constant by kind and pool index: optional parameter values and slot defaults.
enum class ConstantKind : uint8_t {
    Undefined = 0x00,
    Utf8 = 0x01,
    Int = 0x03,
    UInt = 0x04,
    Double = 0x06,
    False = 0x0A,
    True = 0x0B,
    Null = 0x0C,
    // Namespace kinds (NamespaceKind values) name a namespace pool entry.
};

struct ConstantValue {
    uint8_t kind = 0;   // a ConstantKind or a NamespaceKind
    uint32_t index = 0; // into the pool that kind names
};

struct ConstantPool {
    std::vector<int32_t> ints{0};
    std::vector<uint32_t> uints{0};
    std::vector<double> doubles{0.0};
    std::vector<QString> strings{QString()};
    std::vector<NamespaceInfo> namespaces{NamespaceInfo{}};
    std::vector<std::vector<uint32_t>> namespaceSets{{}};
    std::vector<MultinameInfo> multinames{MultinameInfo{}};
};

namespace methodflags {
constexpr uint8_t NeedArguments = 0x01;
constexpr uint8_t NeedActivation = 0x02;
constexpr uint8_t NeedRest = 0x04;
constexpr uint8_t HasOptional = 0x08;
constexpr uint8_t IgnoreRest = 0x10;
constexpr uint8_t Native = 0x20;
constexpr uint8_t SetDxns = 0x40;
constexpr uint8_t HasParamNames = 0x80;
} // namespace methodflags

struct MethodInfo {
    std::vector<uint32_t> paramTypes; // multiname indices; 0 is "*"
    uint32_t returnType = 0;
    uint32_t name = 0; // string index
    uint8_t flags = 0;
    std::vector<ConstantValue> optionals; // for the last parameters
    std::vector<uint32_t> paramNames;     // string indices, when present
    int body = -1;                        // index into AbcFile::bodies, -1 when none
};

struct MetadataInfo {
    uint32_t name = 0;
    std::vector<std::pair<uint32_t, uint32_t>> items; // key, value string indices (key 0: no key)
};

enum class TraitKind : uint8_t { Slot = 0, Method = 1, Getter = 2, Setter = 3, Class = 4, Function = 5, Const = 6 };

namespace traitattr {
constexpr uint8_t Final = 0x1;
constexpr uint8_t Override = 0x2;
constexpr uint8_t Metadata = 0x4;
} // namespace traitattr

struct TraitInfo {
    uint32_t name = 0; // multiname index (a QName)
    TraitKind kind = TraitKind::Slot;
    uint8_t attributes = 0;
    uint32_t id = 0;       // slot id (slot, const, class, function) or dispatch id (method, getter, setter)
    uint32_t typeName = 0; // slot, const: multiname index
    ConstantValue value;   // slot, const: default (kind 0 index 0 when none)
    uint32_t index = 0;    // class: class index; method, getter, setter, function: method index
    std::vector<uint32_t> metadata;
};

namespace instanceflags {
constexpr uint8_t Sealed = 0x01;
constexpr uint8_t Final = 0x02;
constexpr uint8_t Interface = 0x04;
constexpr uint8_t ProtectedNs = 0x08;
} // namespace instanceflags

struct InstanceInfo {
    uint32_t name = 0;      // multiname index
    uint32_t superName = 0; // multiname index; 0 for none
    uint8_t flags = 0;
    uint32_t protectedNs = 0;
    std::vector<uint32_t> interfaces; // multiname indices
    uint32_t initializer = 0;         // method index
    std::vector<TraitInfo> traits;
};

struct ClassInfo {
    uint32_t initializer = 0; // method index (the static initialiser)
    std::vector<TraitInfo> traits;
};

struct ScriptInfo {
    uint32_t initializer = 0;
    std::vector<TraitInfo> traits;
};

struct ExceptionInfo {
    uint32_t from = 0, to = 0, target = 0; // byte offsets into the code
    uint32_t type = 0;                     // multiname index; 0 catches everything
    uint32_t varName = 0;                  // multiname index
};

struct MethodBody {
    uint32_t method = 0;
    uint32_t maxStack = 0;
    uint32_t localCount = 0;
    uint32_t initScopeDepth = 0;
    uint32_t maxScopeDepth = 0;
    QByteArray code;
    std::vector<ExceptionInfo> exceptions;
    std::vector<TraitInfo> traits; // of the activation object
};

struct AbcFile {
    uint16_t minorVersion = 0;
    uint16_t majorVersion = 0;
    ConstantPool pool;
    std::vector<MethodInfo> methods;
    std::vector<MetadataInfo> metadata;
    std::vector<InstanceInfo> instances; // one per class, same index as classes
    std::vector<ClassInfo> classes;
    std::vector<ScriptInfo> scripts;
    std::vector<MethodBody> bodies;

    // "ns::name" of a multiname for diagnostics and the dumper ("*" for any).
    QString multinameText(uint32_t index) const;
    QString namespaceText(uint32_t index) const;
    // A method as error messages name it: its own name, else "Class/name" from the
    // trait that holds it ("Class$/name" for statics), else "method<index>".
    QString methodName(uint32_t index) const;
    QString stringAt(uint32_t index) const { return index < pool.strings.size() ? pool.strings[index] : QString(); }
};

} // namespace nimbrel::movie::avm2
