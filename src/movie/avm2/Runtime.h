#pragma once
// The second virtual machine: loaded blocks, the global names they define,
// the built-in classes, conversions that may run script code, calls, and
// the errors the runtime raises. Objects are reference counted
// (std::shared_ptr); a cycle of objects stays alive until the Runtime goes.
#include "movie/avm2/AbcUnit.h"
#include "movie/avm2/Avm2Host.h"
#include "movie/avm2/ClassObject.h"
#include "movie/avm2/CycleCollector.h"
#include "movie/avm2/MethodRef.h"
#include "movie/avm2/ObjectRegistry.h"
#include "movie/avm2/ScriptThrow.h"
#include "movie/avm2/XmlParser.h"
#include <cstdint>
#include <QHash>
#include <QStringList>
#include <memory>
#include <vector>

namespace nimbrel::movie::avm2 {

class FunctionObject;

// A table of native methods a built-in class installs.
struct NativeMethod {
    const char* name;
    NativeFn fn;
    int length = 0;
};

class Runtime {
public:
    explicit Runtime(Avm2Host& host);
    ~Runtime();

    // Loads a block and runs its last script, or only defines its names when
    // `lazy` (the script runs when one of them is first reached). A block that
    // does not read gives its VerifyError; an uncaught script error is thrown as ScriptThrow.
    void loadAndRun(const QByteArray& abcBytes, bool lazy = false);

    // Frees objects held only by cycles among themselves. The "maybe" form
    // runs when the objects have doubled since the last collection (and past
    // a floor, so small movies seldom pay); call it where no script runs.
    CycleCollector::Result collectCycles();
    void maybeCollectCycles();
    std::size_t objectCount() const { return objectRegistry_.size(); }
    // A class by qualified name ("pkg.Name" or "Name"), its script run first; null when none.
    std::shared_ptr<ClassObject> findClass(const QString& qualifiedName);

    // Global names: what findpropstrict reaches after the scope chain.
    ScriptObject* findGlobal(const Name& name);
    void defineGlobals(AbcUnit& unit, int script, const ObjectPtr& global);
    void ensureScriptRun(AbcUnit& unit, int script);

    // Calls.
    Value call(const Value& callee, const Value& self, Args args);
    Value callMethod(const MethodRef& m, const Value& self, Args args, const ScopePtr& scope);
    Value construct(const Value& ctor, Args args);
    Value constructClass(ClassObject& cls, Args args);
    void runConstructor(ClassObject& cls, const Value& self, Args args);
    std::shared_ptr<FunctionObject> makeFunction(const MethodRef& m, const ScopePtr& scope);
    std::shared_ptr<FunctionObject> bindMethod(const MethodRef& m, const Value& self, const ScopePtr& scope);

    // Conversions.
    Value toPrimitive(const Value& v, bool preferString);
    QString toString(const Value& v);
    double toNumber(const Value& v);
    int32_t toInt32(const Value& v) { return v.kind == Value::Kind::Int ? v.i : Value::toInt32(toNumber(v)); }
    uint32_t toUint32(const Value& v) { return uint32_t(toInt32(v)); }
    Value toObject(const Value& v); // boxes primitives; throws on null/undefined
    QString typeOf(const Value& v) const;
    bool looseEquals(const Value& a, const Value& b);
    // a < b: 1 true, 0 false, -1 undefined (NaN involved).
    int lessThan(const Value& a, const Value& b);
    Value add(const Value& a, const Value& b);
    ClassObject* classOf(const Value& v) const;
    bool isType(const Value& v, const ClassObject* type) const;
    Value coerce(const Value& v, const ClassObject* type);

    // Errors: builds an instance of the named error class and throws it.
    [[noreturn]] void raise(const QString& errorClass, int id, const QStringList& args = {});
    Value makeError(const QString& errorClass, int id, const QString& text);
    QString describe(const Value& v); // how error messages name a value
    static QString makeErrorText(int id);

    // Built-in classes.
    std::shared_ptr<ClassObject> defineNativeClass(const QString& package, const QString& name, ClassObject* base,
                                                   std::initializer_list<NativeMethod> prototypeMethods,
                                                   std::initializer_list<NativeMethod> staticMethods = {});
    void defineNativeFunction(const QString& name, NativeFn fn, int length);
    void defineGlobalValue(const QString& package, const QString& name, const Value& v);
    // A read-only static of a built-in class (Math.PI, Number.MAX_VALUE).
    void defineStaticConstant(ClassObject& cls, const QString& name, const Value& v);
    ClassObject* builtin(const QString& name) const { return builtins_.value(name).get(); }
    ObjectPtr newObject();
    std::shared_ptr<class ArrayObject> newArray(std::vector<Value> items = {});

    // The time budget: entered by whoever starts script code; checked on calls and backward jumps.
    void checkBudget();
    void startBudget();
    int callDepth = 0;
    std::uintptr_t stackBase_ = 0;
    static constexpr int MaxCallDepth = 400;
    // Calls nest only this far into the thread's stack, whatever one call costs
    // in this build: deep recursion ends in error #1023, never in a crash.
    static constexpr std::uintptr_t StackBudget = 6u << 20;
    // Counts a call in; false when it would nest too deep. `here` is an address
    // on the caller's stack.
    bool enterCall(const void* here) {
        const auto at = reinterpret_cast<std::uintptr_t>(here);
        if (callDepth == 0) stackBase_ = at;
        if (callDepth >= MaxCallDepth || (stackBase_ > at && stackBase_ - at > StackBudget)) return false;
        ++callDepth;
        return true;
    }
    void keep(ObjectPtr obj) { keepAlive_.push_back(std::move(obj)); }

    Avm2Host& host;
    ScriptObject* objectPrototype() const { return objectPrototype_.get(); }
    ObjectPtr functionPrototype;
    // Vector.<T> by base type (null: *), made on first use.
    QHash<const ClassObject*, std::shared_ptr<ClassObject>> vectorClasses;
    // ApplicationDomain.currentDomain, and the ByteArray its domain memory is (null: none).
    ObjectPtr currentDomain;
    ObjectPtr domainMemory;
    // The display list of the player running the movie (null: none, as in a headless run).
    class StageBridge* stage = nullptr;
    // What the memory instructions address while no domain memory is set: the minimum size, zero-filled.
    QByteArray scratchMemory = QByteArray(1024, '\0');
    // XML.settings() and the `default xml namespace` now in force.
    XmlSettings xmlSettings;
    QString defaultXmlNamespace;

private:
    // Every object this runtime makes joins it, so it is made first.
    ObjectRegistry objectRegistry_;
    std::size_t objectsAfterCollection_ = 0;
    std::vector<std::unique_ptr<AbcUnit>> units_;
    QHash<QString, std::shared_ptr<ClassObject>> builtins_; // by qualified name
    struct GlobalEntry {
        Namespace ns;
        ScriptObject* global = nullptr;
        AbcUnit* unit = nullptr;
        int script = -1;
    };
    QHash<QString, std::vector<GlobalEntry>> globals_;
    ObjectPtr builtinGlobal_;
    std::shared_ptr<TraitTable> builtinTraits_;
    ObjectPtr objectPrototype_;
    std::vector<ObjectPtr> keepAlive_; // globals and classes live as long as the runtime
    int64_t budgetStart_ = 0;
    uint32_t budgetTicks_ = 0;
    uint32_t nextPrivateId_ = 1;
};

} // namespace nimbrel::movie::avm2
