#pragma once
// DefineEditText: a dynamic or input text field as the file places it, with
// its flags, its font and layout settings, the bound variable and the text
// it starts with.
#include "movie/swf/ParseResult.h"
#include "movie/swf/Types.h"
#include <QString>
#include <cstddef>
#include <cstdint>

namespace nimbrel::movie::swf {

struct EditTextDef {
    enum class Align : uint8_t { Left = 0, Right = 1, Center = 2, Justify = 3 };

    uint16_t id = 0;
    Rect bounds;
    bool wordWrap = false, multiline = false, password = false, readOnly = false;
    bool autoSize = false, noSelect = false, border = false, wasStatic = false;
    bool html = false, useOutlines = false;
    bool hasFont = false, hasTextColor = false, hasMaxLength = false, hasLayout = false;
    uint16_t fontId = 0;
    QString fontClass;     // a font named by its exported class instead of an id
    uint16_t fontHeight = 240; // twips
    Rgba textColor{0, 0, 0, 255};
    uint16_t maxLength = 0;
    Align align = Align::Left;
    uint16_t leftMargin = 0, rightMargin = 0, indent = 0; // twips
    int16_t leading = 0;                                  // twips
    QString variableName;
    QString initialText;

    // Strings are UTF-8 from version 6 on, the system code page before; bytes
    // that are not UTF-8 are read as Latin-1 either way.
    static ParseResult<EditTextDef> parse(const uint8_t* body, size_t len);
};

// CSMTextSettings: how the text of a field or static text is anti-aliased.
struct TextRenderSettings {
    enum class GridFit : uint8_t { None = 0, Pixel = 1, Subpixel = 2 };
    bool advanced = false; // the font engine for small, readable text
    GridFit gridFit = GridFit::Pixel;
    float thickness = 0, sharpness = 0;

    // The target character id comes back in id.
    static ParseResult<TextRenderSettings> parse(const uint8_t* body, size_t len, uint16_t* id);
};

} // namespace nimbrel::movie::swf
