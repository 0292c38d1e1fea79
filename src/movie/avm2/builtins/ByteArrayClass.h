#pragma once
// flash.utils.ByteArray: typed reads and writes in either byte order, text in
// UTF-8 and the documented charsets, and compression.
namespace nimbrel::movie::avm2 {

class Runtime;

class ByteArrayClass {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
