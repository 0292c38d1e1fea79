#include "movie/avm1/ClipBlendMode.h"
#include "movie/avm1/Interpreter.h"
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

// Indexed by the mode's number; 0 and 1 are both normal.
const char* const kNames[] = {"normal",     "normal", "layer",  "multiply", "screen",  "lighten", "darken",  "difference",
                              "add",        "subtract", "invert", "alpha",  "erase",   "overlay", "hardlight"};
constexpr int kCount = int(sizeof(kNames) / sizeof(kNames[0]));

} // namespace

QString blendModeName(swf::BlendMode mode)
{
    const int i = int(mode);
    return QLatin1String(i < kCount ? kNames[i] : kNames[0]);
}

std::optional<swf::BlendMode> blendModeFromScript(Interpreter& vm, const Value& v)
{
    if (v.isNullish())
        return swf::BlendMode::Normal;
    if (v.type == Value::Type::String) {
        const QString name = vm.toString(v);
        for (int i = 1; i < kCount; ++i)
            if (name == QLatin1String(kNames[i]))
                return swf::blendModeFromByte(uint8_t(i));
        return std::nullopt;
    }
    if (v.type != Value::Type::Number || !std::isfinite(v.n))
        return std::nullopt;
    // Numbers count by their low byte, as the file's byte does.
    const int byte = int(uint32_t(vm.toInt32(v)) & 0xFF);
    if (byte < 1 || byte >= kCount)
        return std::nullopt;
    return swf::blendModeFromByte(uint8_t(byte));
}

} // namespace nimbrel::movie::avm1
