#pragma once
// A button for tests: three coloured states and named actions on its changes.
#include "SwfBuilder.h"

namespace nimbrel::movie::test {

// Button 10, 100 px square: red when up, green under the pointer, blue
// while pressed; each transition of interest carries its name as "actions".
// Rectangles 1 to 3 are its state pictures.
void defineButton(SwfBuilder& b);

} // namespace nimbrel::movie::test
