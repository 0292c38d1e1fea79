#pragma once
// The percent encodings of the global functions escape, encodeURI,
// encodeURIComponent, decodeURI, decodeURIComponent, escapeMultiByte and
// unescapeMultiByte. Each returns nothing where the text cannot be coded
// (an unpaired surrogate, a broken escape); callers raise URIError.
#include <QString>
#include <optional>

namespace nimbrel::movie::avm2 {

class UriCoding {
public:
    enum class Set { Uri, Component };
    // escape(): Latin-1 as %XX, the rest as %uXXXX; letters, digits and @-_.*+/ stay.
    static QString escape(const QString& text);
    // UTF-8 bytes as %XX, except letters, digits, -_.!~*'() and, for a whole URI, ;/?:@&=+$,#.
    static std::optional<QString> encode(const QString& text, Set set);
    // The reverse; for a whole URI, escapes of the reserved characters stay as written.
    static std::optional<QString> decode(const QString& text, Set set);
    // UTF-8 bytes as %XX except letters and digits, up to the first NUL.
    static QString escapeMultiByte(const QString& text);
    // %XX runs read as UTF-8, leniently: a broken sequence gives its bytes as
    // characters; a broken escape is dropped; a NUL ends the text.
    static QString unescapeMultiByte(const QString& text);
};

} // namespace nimbrel::movie::avm2
