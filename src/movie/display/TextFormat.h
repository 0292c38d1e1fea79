#pragma once
// Character and paragraph settings of a stretch of text in a text field. An
// unset member means "not given" (a format to apply) or "mixed" (the format
// read back from a range that differs).
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace nimbrel::movie::display {

struct TextFormat {
    std::optional<QString> font;
    std::optional<double> size; // pixels
    std::optional<uint32_t> color; // 0xRRGGBB
    std::optional<bool> bold, italic, underline;
    std::optional<QString> url, target;
    std::optional<QString> align; // "left", "right", "center", "justify"
    std::optional<double> leftMargin, rightMargin, indent, leading, blockIndent; // pixels
    std::optional<bool> bullet, kerning;
    std::optional<double> letterSpacing;
    std::optional<std::vector<double>> tabStops;
    std::optional<QString> display; // "block", "inline", "none"

    bool operator==(const TextFormat&) const = default;

    // The settings a text field starts with when its file gives none.
    static TextFormat defaults();
    // Members set in other replace those here.
    void mergeFrom(const TextFormat& other);
    // Keeps only the members on which both agree.
    void intersectWith(const TextFormat& other);
    // Every member set (a complete format).
    bool complete() const;
};

} // namespace nimbrel::movie::display
