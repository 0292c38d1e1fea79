#include "movie/swf/TagCode.h"
#include <QHash>

namespace nimbrel::movie::swf {

QString tagName(uint16_t code) {
    static const QHash<uint16_t, const char*> names = {
        {0, "End"}, {1, "ShowFrame"}, {2, "DefineShape"}, {4, "PlaceObject"}, {5, "RemoveObject"},
        {6, "DefineBits"}, {7, "DefineButton"}, {8, "JPEGTables"}, {9, "SetBackgroundColor"},
        {10, "DefineFont"}, {11, "DefineText"}, {12, "DoAction"}, {13, "DefineFontInfo"},
        {14, "DefineSound"}, {15, "StartSound"}, {17, "DefineButtonSound"}, {18, "SoundStreamHead"},
        {19, "SoundStreamBlock"}, {20, "DefineBitsLossless"}, {21, "DefineBitsJPEG2"},
        {22, "DefineShape2"}, {23, "DefineButtonCxform"}, {24, "Protect"}, {26, "PlaceObject2"},
        {28, "RemoveObject2"}, {32, "DefineShape3"}, {33, "DefineText2"}, {34, "DefineButton2"},
        {35, "DefineBitsJPEG3"}, {36, "DefineBitsLossless2"}, {37, "DefineEditText"},
        {39, "DefineSprite"}, {41, "ProductInfo"}, {43, "FrameLabel"}, {45, "SoundStreamHead2"},
        {46, "DefineMorphShape"}, {48, "DefineFont2"}, {56, "ExportAssets"}, {57, "ImportAssets"},
        {58, "EnableDebugger"}, {59, "DoInitAction"}, {60, "DefineVideoStream"}, {61, "VideoFrame"},
        {62, "DefineFontInfo2"}, {63, "DebugID"}, {64, "EnableDebugger2"}, {65, "ScriptLimits"},
        {66, "SetTabIndex"}, {69, "FileAttributes"}, {70, "PlaceObject3"}, {71, "ImportAssets2"}, {72, "DoABC1"},
        {73, "DefineFontAlignZones"}, {74, "CSMTextSettings"}, {75, "DefineFont3"},
        {76, "SymbolClass"}, {77, "Metadata"}, {78, "DefineScalingGrid"}, {82, "DoABC"},
        {83, "DefineShape4"}, {84, "DefineMorphShape2"}, {86, "DefineSceneAndFrameLabelData"},
        {87, "DefineBinaryData"}, {88, "DefineFontName"}, {89, "StartSound2"},
        {90, "DefineBitsJPEG4"}, {91, "DefineFont4"},
    };
    auto it = names.find(code);
    return it == names.end() ? QStringLiteral("Tag%1").arg(code) : QString::fromLatin1(it.value());
}

} // namespace nimbrel::movie::swf
