#pragma once
// Clip event flags of PlaceObject2/3 clip actions, in the bit order the SWF
// file format stores them: the first stored byte is the top byte here.
#include <cstdint>
#include <QByteArray>
#include <vector>

namespace nimbrel::movie::swf {

enum ClipEvent : uint32_t {
    ClipEventKeyUp = 1u << 31,
    ClipEventKeyDown = 1u << 30,
    ClipEventMouseUp = 1u << 29,
    ClipEventMouseDown = 1u << 28,
    ClipEventMouseMove = 1u << 27,
    ClipEventUnload = 1u << 26,
    ClipEventEnterFrame = 1u << 25,
    ClipEventLoad = 1u << 24,
    ClipEventDragOver = 1u << 23,
    ClipEventRollOut = 1u << 22,
    ClipEventRollOver = 1u << 21,
    ClipEventReleaseOutside = 1u << 20,
    ClipEventRelease = 1u << 19,
    ClipEventPress = 1u << 18,
    ClipEventInitialize = 1u << 17,
    ClipEventData = 1u << 16,
    ClipEventConstruct = 1u << 10,
    ClipEventKeyPress = 1u << 9,
    ClipEventDragOut = 1u << 8,
};

// One handler of a placed clip: the events it answers, the key code for
// KeyPress handlers, and the action bytes the interpreter runs.
struct ClipAction {
    uint32_t events = 0;
    uint8_t keyCode = 0;
    QByteArray actions;
};

using ClipActionList = std::vector<ClipAction>;

} // namespace nimbrel::movie::swf
