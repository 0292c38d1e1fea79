#pragma once
// What scripts said about an object's place in the keyboard focus: the
// tabEnabled, tabChildren and tabIndex properties (unset when a script never
// gave them a value) and whether a clip asked to take focus (focusEnabled).
#include <cstdint>
#include <optional>

namespace nimbrel::movie::display {

struct FocusTraits {
    std::optional<bool> tabEnabled;
    std::optional<bool> tabChildren;
    std::optional<uint32_t> tabIndex;
    bool focusEnabled = false;
    bool actsAsButton = false; // a clip with pointer handlers is focusable as a button is
};

} // namespace nimbrel::movie::display
