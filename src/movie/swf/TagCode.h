#pragma once
// Tag codes of the SWF file format that the engine reads or names.
#include <QString>
#include <cstdint>

namespace nimbrel::movie::swf {

enum TagCode : uint16_t {
    TagEnd = 0,
    TagShowFrame = 1,
    TagDefineShape = 2,
    TagPlaceObject = 4,
    TagRemoveObject = 5,
    TagDefineBits = 6,
    TagDefineButton = 7,
    TagJpegTables = 8,
    TagSetBackgroundColor = 9,
    TagDefineFont = 10,
    TagDefineText = 11,
    TagDoAction = 12,
    TagDefineSound = 14,
    TagStartSound = 15,
    TagSoundStreamHead = 18,
    TagSoundStreamBlock = 19,
    TagDefineBitsLossless = 20,
    TagDefineBitsJpeg2 = 21,
    TagDefineShape2 = 22,
    TagDefineButtonCxform = 23,
    TagDefineButtonSound = 17,
    TagPlaceObject2 = 26,
    TagRemoveObject2 = 28,
    TagDefineShape3 = 32,
    TagDefineText2 = 33,
    TagDefineButton2 = 34,
    TagDefineBitsJpeg3 = 35,
    TagDefineBitsLossless2 = 36,
    TagDefineEditText = 37,
    TagDefineSprite = 39,
    TagFrameLabel = 43,
    TagSoundStreamHead2 = 45,
    TagDefineMorphShape = 46,
    TagDefineFont2 = 48,
    TagExportAssets = 56,
    TagDoInitAction = 59,
    TagDefineVideoStream = 60,
    TagVideoFrame = 61,
    TagPlaceObject3 = 70,
    TagDoAbcPlain = 72, // the early DoABC form: bytecode only
    TagCsmTextSettings = 74,
    TagDefineFont3 = 75,
    TagSymbolClass = 76,
    TagDoAbc = 82,
    TagDefineShape4 = 83,
    TagDefineMorphShape2 = 84,
    TagDefineSceneAndFrameLabelData = 86,
    TagStartSound2 = 89,
    TagDefineBitsJpeg4 = 90,
};

// Readable name of a tag code for diagnostics ("Tag123" for unknown ones).
QString tagName(uint16_t code);

} // namespace nimbrel::movie::swf
