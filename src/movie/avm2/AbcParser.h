#pragma once
// Reads an ABC block into an AbcFile, checking every index against the pool
// it names. A damaged block gives the reference player's VerifyError instead.
#include "movie/avm2/AbcByteReader.h"
#include "movie/avm2/AbcFile.h"
#include "movie/avm2/Avm2Error.h"
#include <QByteArray>
#include <optional>

namespace nimbrel::movie::avm2 {

class AbcParser {
public:
    static AbcResult<AbcFile> parse(const QByteArray& bytes);

private:
    explicit AbcParser(const QByteArray& bytes);
    bool readConstantPool();
    bool readNamespaces();
    bool readMultinames();
    bool readMethods();
    bool readMetadata();
    bool readClasses();
    bool readScripts();
    bool readBodies();
    bool readTraits(std::vector<TraitInfo>& traits);
    bool readConstant(ConstantValue& value, bool kindAlwaysPresent);

    // Element count that cannot be larger than the bytes left (each entry takes one at least).
    bool readCount(uint32_t& count);
    bool checkIndex(uint32_t index, size_t poolSize);
    bool checkMethod(uint32_t index);
    bool checkClass(uint32_t index);
    bool fail(int id, const QStringList& args = {});
    bool readerOk();

    AbcByteReader in_;
    AbcFile abc_;
    std::optional<Avm2Error> error_;
};

} // namespace nimbrel::movie::avm2
