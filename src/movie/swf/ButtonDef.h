#pragma once
// DefineButton (7) and DefineButton2 (34): the characters shown in each state
// and the action bytes kept for the interpreter.
#include "movie/swf/BlendMode.h"
#include "movie/swf/Filter.h"
#include "movie/swf/ParseResult.h"
#include "movie/swf/SoundTags.h"
#include "movie/swf/Types.h"
#include <QByteArray>
#include <cstddef>
#include <array>
#include <cstdint>
#include <vector>

namespace nimbrel::movie::swf {

enum ButtonState : uint8_t { ButtonUp = 1, ButtonOver = 2, ButtonDown = 4, ButtonHitTest = 8 };

struct ButtonRecord {
    uint8_t states = 0; // ButtonState bits
    uint16_t characterId = 0;
    uint16_t depth = 0;
    Matrix matrix;
    ColorTransform cxform;
    std::vector<Filter> filters;
    BlendMode blendMode = BlendMode::Normal;
};

// Condition bits of DefineButton2 action records, as stored (first byte in the
// top bits): IdleToOverDown is 0x8000 ... OverDownToIdle is 0x0001, key code in 0xFE00>>9 of
// the second byte.
enum ButtonCondition : uint16_t {
    CondIdleToOverDown = 0x8000,
    CondOutDownToIdle = 0x4000,
    CondOutDownToOverDown = 0x2000,
    CondOverDownToOutDown = 0x1000,
    CondOverDownToOverUp = 0x0800,
    CondOverUpToOverDown = 0x0400,
    CondOverUpToIdle = 0x0200,
    CondIdleToOverUp = 0x0100,
    CondOverDownToIdle = 0x0001,
};

struct ButtonAction {
    uint16_t conditions = 0; // ButtonCondition bits
    uint8_t keyCode = 0;     // CondKeyPress, 0 when none
    QByteArray actions;
};

// DefineButtonSound: the sound each state change plays, in the order stored.
enum ButtonSoundChange : uint8_t { OverToUp = 0, UpToOver = 1, OverToDown = 2, DownToOver = 3 };

struct ButtonSound {
    uint16_t soundId = 0; // 0: none
    SoundInfo info;
};

struct ButtonDef {
    uint16_t id = 0;
    bool trackAsMenu = false;
    std::vector<ButtonRecord> records;
    std::vector<ButtonAction> actions;
    ColorTransform cxform; // DefineButtonCxform of DefineButton buttons
    std::array<ButtonSound, 4> sounds; // by ButtonSoundChange

    static ParseResult<ButtonDef> parse(int tagCode, const uint8_t* body, size_t len);
    // DefineButtonSound's body after the button id; false when it is cut short (what was read stays).
    bool readSounds(const uint8_t* body, size_t len);
};

} // namespace nimbrel::movie::swf
