// The percent encodings behind escape, encodeURI(Component), decodeURI(Component)
// and escapeMultiByte/unescapeMultiByte: which characters stay, how others
// become UTF-8 escapes, and what is refused or dropped.
#include "movie/avm2/UriCoding.h"
#include <gtest/gtest.h>

using nimbrel::movie::avm2::UriCoding;
using Set = UriCoding::Set;

namespace {

struct CodingCase {
    const char* what;
    QString input;
    std::optional<QString> expected; // nothing: refused (URIError)
};

const QString kPunctuation = QStringLiteral("!\"$%^&*()[];'#,./{}:@~|<>?");
const QString kCrying = QString::fromUtf8("\xF0\x9F\x98\xAD"); // one character outside the basic plane
const QString kLoneHigh = QString(QChar(0xD83D)) + QLatin1Char('x');

} // namespace

TEST(UriCoding, EncodeKeepsItsSetAndWritesTheRestAsUtf8) {
    const struct {
        const char* what;
        Set set;
        QString input;
        std::optional<QString> expected;
    } cases[] = {
        {"whole URI keeps the reserved characters", Set::Uri, kPunctuation,
         QStringLiteral("!%22$%25%5E&*()%5B%5D;'#,./%7B%7D:@~%7C%3C%3E?")},
        {"a component escapes them", Set::Component, kPunctuation,
         QStringLiteral("!%22%24%25%5E%26*()%5B%5D%3B'%23%2C.%2F%7B%7D%3A%40~%7C%3C%3E%3F")},
        {"Latin-1 becomes two bytes", Set::Uri, QString::fromUtf8("\xC2\xA3"), QStringLiteral("%C2%A3")},
        {"a surrogate pair becomes four bytes", Set::Component, kCrying, QStringLiteral("%F0%9F%98%AD")},
        {"an unpaired surrogate is refused", Set::Uri, kLoneHigh, std::nullopt},
        {"a lone low surrogate is refused", Set::Component, QString(QChar(0xDC00)), std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(UriCoding::encode(c.input, c.set), c.expected) << c.what;
}

TEST(UriCoding, DecodeReversesEncodingAndRefusesBrokenEscapes) {
    const struct {
        const char* what;
        Set set;
        QString input;
        std::optional<QString> expected;
    } cases[] = {
        {"UTF-8 escapes become characters", Set::Component, QStringLiteral("%F0%9F%98%AD%C2%A3"),
         kCrying + QString::fromUtf8("\xC2\xA3")},
        {"a whole URI leaves reserved escapes alone", Set::Uri, QStringLiteral("a%2Fb%20c"), QStringLiteral("a%2Fb c")},
        {"a component decodes them", Set::Component, QStringLiteral("a%2Fb%20c"), QStringLiteral("a/b c")},
        {"a cut-short escape is refused", Set::Component, QStringLiteral("%4"), std::nullopt},
        {"a cut-short sequence is refused", Set::Component, QStringLiteral("%F0%9F%98"), std::nullopt},
        {"an encoded surrogate is refused", Set::Uri, QStringLiteral("%ED%B0%80"), std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(UriCoding::decode(c.input, c.set), c.expected) << c.what;
}

TEST(UriCoding, EscapeAndTheMultiByteForms) {
    const CodingCase escaped[] = {
        {"letters, digits and @-_.*+/ stay", QStringLiteral("aZ9@-_.*+/"), QStringLiteral("aZ9@-_.*+/")},
        {"Latin-1 as %XX", QStringLiteral("! \xA3"), QStringLiteral("%21%20%A3")},
        {"beyond Latin-1 as %uXXXX", kCrying, QStringLiteral("%uD83D%uDE2D")},
    };
    for (const auto& c : escaped) EXPECT_EQ(UriCoding::escape(c.input), *c.expected) << c.what;

    const CodingCase multiByteOut[] = {
        {"only letters and digits stay", QStringLiteral("a-_.*1"), QStringLiteral("a%2D%5F%2E%2A1")},
        {"ends at the first NUL", QStringLiteral("P") + QChar(0) + QStringLiteral("P"), QStringLiteral("P")},
        {"an unpaired surrogate becomes U+FFFD", QString(QChar(0xD800)), QStringLiteral("%EF%BF%BD")},
    };
    for (const auto& c : multiByteOut) EXPECT_EQ(UriCoding::escapeMultiByte(c.input), *c.expected) << c.what;

    const CodingCase multiByteIn[] = {
        {"escapes in either case", QStringLiteral("%50%4f"), QStringLiteral("PO")},
        {"a broken escape is dropped with what it took", QStringLiteral("%GA%AG%"), QStringLiteral("A")},
        {"a broken sequence gives its bytes as characters", QStringLiteral("%F0%9F%91"),
         QStringLiteral("\xF0") + QChar(0x9F) + QChar(0x91)},
        {"an encoded surrogate is taken as it is", QStringLiteral("%ED%B0%80"), QString(QChar(0xDC00))},
        {"a NUL ends the text", QStringLiteral("P") + QChar(0) + QStringLiteral("P"), QStringLiteral("P")},
    };
    for (const auto& c : multiByteIn) EXPECT_EQ(UriCoding::unescapeMultiByte(c.input), *c.expected) << c.what;
}
