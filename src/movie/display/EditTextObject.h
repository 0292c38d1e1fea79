#pragma once
// A dynamic or input text field: placed from a DefineEditText or made by a
// script. Holds formatted text, the field's settings and the scroll state;
// lays its text out on demand. Sizes are twips unless a name says pixels.
#include "movie/display/DisplayObject.h"
#include "movie/display/FormattedText.h"
#include "movie/display/TextLayout.h"
#include "movie/swf/EditTextDef.h"
#include <algorithm>
#include <memory>
#include <optional>

namespace nimbrel::movie::display {

class EditTextObject : public DisplayObject {
public:
    enum class AutoSize { None, Left, Center, Right };

    EditTextObject(MovieContext* context, uint16_t characterId, std::shared_ptr<const swf::EditTextDef> def);
    // A field made by a script: bounds in its own twips.
    EditTextObject(MovieContext* context, const QRectF& bounds);

    QRectF localBounds() const override { return bounds_; }
    const QRectF& bounds() const { return bounds_; }
    void setBounds(const QRectF& bounds);
    // Text fields change their size, not their scale.
    void setWidth(double px) override;
    void setHeight(double px) override;

    // ---- content ----------------------------------------------------------
    const FormattedText& content() const { return content_; }
    QString text() const { return content_.text(); }
    void setText(const QString& text);
    // Back to the text the file gave the field (none for fields made by scripts).
    void restoreInitialText();
    QString htmlText() const;
    void setHtmlText(const QString& html);
    // Replaces [begin, end) with text in the new-text format.
    void replaceText(int begin, int end, const QString& text);
    void setFormat(int begin, int end, const TextFormat& format);
    const TextFormat& newTextFormat() const { return newFormat_; }
    void setNewTextFormat(const TextFormat& format);
    uint32_t textColor() const { return newFormat_.color.value_or(0); }
    void setTextColor(uint32_t rgb);

    // ---- settings ---------------------------------------------------------
    bool html = false, multiline = false, password = false, selectable = true;
    bool border = false, background = false, condenseWhite = false, input = false;
    uint32_t borderColor = 0x000000, backgroundColor = 0xFFFFFF;
    // Anti-aliasing as the file or a script asks for it.
    swf::TextRenderSettings rendering;
    int maxChars = 0; // 0: no limit
    std::optional<QString> restrict;
    QString variable;
    QString boundValue; // the variable's value the field last showed
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);
    bool embedFonts() const { return embedFonts_; }
    void setEmbedFonts(bool on);
    AutoSize autoSize() const { return autoSize_; }
    void setAutoSize(AutoSize mode);

    // ---- layout and scrolling ----------------------------------------------
    const TextLayout& layout() const;
    double textWidth() const { return layout().textWidth(); }
    double textHeight() const { return layout().textHeight(); }
    int scroll() const { return scroll_; } // first visible line, from 1
    void setScroll(int line);
    int maxScroll() const;
    int bottomScroll() const;
    int hscroll() const { return hscroll_; } // pixels
    void setHscroll(int px);
    int maxHscroll() const;
    // Characters typed or pasted over the selection of an input field: restrict and maxChars apply.
    QString filterTyped(const QString& typed) const;

    // ---- selection -----------------------------------------------------------
    // The selected range [begin, end) in characters; the caret is at its end
    // side. Kept inside the text as the text changes.
    int selectionBegin() const { return std::min(selBegin_, selEnd_); }
    int selectionEnd() const { return std::max(selBegin_, selEnd_); }
    int caret() const { return selEnd_; }
    void setSelection(int anchor, int caret);
    void selectAll() { setSelection(0, content_.length()); }

    // Gutter between the bounds and the text, each side.
    static constexpr double gutter = 40; // twips

private:
    void setInitialText(const QString& initial);
    void changed();
    void fitToText();
    const swf::Movie* movie() const;

    std::shared_ptr<const swf::EditTextDef> def_;
    QRectF bounds_;
    FormattedText content_;
    TextFormat newFormat_;
    bool wordWrap_ = false;
    bool embedFonts_ = false;
    AutoSize autoSize_ = AutoSize::None;
    int scroll_ = 1;
    int hscroll_ = 0;
    int selBegin_ = 0, selEnd_ = 0;
    mutable std::optional<TextLayout> layout_;
};

} // namespace nimbrel::movie::display
