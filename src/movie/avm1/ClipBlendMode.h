#pragma once
// The blendMode property of clips: the names scripts read, and what they may
// assign (a name or the mode's number).
#include "movie/avm1/Value.h"
#include "movie/swf/BlendMode.h"
#include <QString>
#include <optional>

namespace nimbrel::movie::avm1 {

class Interpreter;

QString blendModeName(swf::BlendMode mode);
// The mode a script's value names; nothing when the value names none, which
// leaves the clip's mode as it was. Undefined and null mean normal.
std::optional<swf::BlendMode> blendModeFromScript(Interpreter& vm, const Value& v);

} // namespace nimbrel::movie::avm1
