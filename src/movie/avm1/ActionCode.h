#pragma once
// A span of action bytes kept alive by shared ownership, and the constant
// pool active when a function was defined.
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace nimbrel::movie::avm1 {

struct ActionCode {
    std::shared_ptr<const std::vector<uint8_t>> bytes;
    size_t begin = 0;
    size_t end = 0;
    int swfVersion = 0;

    static ActionCode fromBytes(std::vector<uint8_t> data, int swfVersion)
    {
        ActionCode c;
        c.end = data.size();
        c.bytes = std::make_shared<const std::vector<uint8_t>>(std::move(data));
        c.swfVersion = swfVersion;
        return c;
    }
    const uint8_t* data() const { return bytes ? bytes->data() : nullptr; }
};

using ConstantPool = std::shared_ptr<std::vector<QString>>;

} // namespace nimbrel::movie::avm1
