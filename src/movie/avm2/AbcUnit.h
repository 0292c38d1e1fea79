#pragma once
// One loaded bytecode block: the parsed file, its namespaces resolved, the
// decoded (and, once called, verified) methods, and the classes and script
// globals it has made so far.
#include "movie/avm2/AbcFile.h"
#include "movie/avm2/Avm2Error.h"
#include "movie/avm2/DecodedMethod.h"
#include "movie/avm2/Namespace.h"
#include "movie/avm2/Value.h"
#include <memory>
#include <optional>
#include <vector>

namespace nimbrel::movie::avm2 {

class ClassObject;

class AbcUnit {
public:
    explicit AbcUnit(AbcFile file, uint32_t privateIdBase);

    // The method's runnable form; decoded and verified on first use.
    const DecodedMethod* prepared(uint32_t methodIndex, std::optional<Avm2Error>& error);
    // A compile-time multiname as a Name (runtime parts still to be filled in).
    Name name(uint32_t multiname) const;
    const Namespace& ns(uint32_t index) const { return namespaces_[index]; }

    AbcFile abc;
    std::vector<std::shared_ptr<ClassObject>> classes;
    enum class ScriptState : uint8_t { Pending, Running, Done };
    std::vector<ScriptState> scriptStates;
    std::vector<ObjectPtr> scriptGlobals;

private:
    std::vector<Namespace> namespaces_;
    std::vector<std::vector<Namespace>> sets_;
    struct Prepared {
        bool tried = false;
        std::optional<DecodedMethod> method;
        std::optional<Avm2Error> error;
    };
    std::vector<Prepared> prepared_; // per method
};

} // namespace nimbrel::movie::avm2
