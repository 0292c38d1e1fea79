#pragma once
// A button for tests: three coloured states and named actions on its changes.
#include "SwfBuilder.h"

namespace nimbrel::movie::test {

// A DefineButton2 record list: one character per state at depth 1, the
// up one also the hit area, closed by its end byte.
QByteArray buttonStateRecords(uint16_t up, uint16_t over, uint16_t down);

// Button 10, 100 px square: red when up, green under the pointer, blue
// while pressed; each transition of interest carries its name as "actions".
// Rectangles 1 to 3 are its state pictures.
void defineButton(SwfBuilder& b);

} // namespace nimbrel::movie::test
