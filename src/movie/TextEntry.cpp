#include "movie/TextEntry.h"
#include "movie/display/EditTextObject.h"

namespace nimbrel::movie {

using display::EditTextObject;

namespace {

// Characters a keyboard sends that are not text (controls, delete).
QString printable(const QString& text) {
    QString out;
    for (QChar c : text)
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F) out += c;
    return out;
}

bool replaceSelection(EditTextObject& f, const QString& text) {
    const int begin = f.selectionBegin();
    const int end = f.selectionEnd();
    if (text.isEmpty() && begin == end) return false;
    f.replaceText(begin, end, text);
    const int caret = begin + int(text.size());
    f.setSelection(caret, caret);
    return true;
}

bool insert(EditTextObject& f, const QString& text) {
    const QString allowed = f.filterTyped(text.left(TextEntry::kMaxInsert));
    if (allowed.isEmpty()) return false;
    return replaceSelection(f, allowed);
}

} // namespace

bool TextEntry::type(EditTextObject& field, const QString& text) {
    if (!field.input) return false;
    return insert(field, printable(text));
}

bool TextEntry::command(EditTextObject& f, Command command, QString& clipboard) {
    const int begin = f.selectionBegin();
    const int end = f.selectionEnd();
    const int length = f.content().length();
    switch (command) {
    case Command::Enter:
        // Only fields of several lines take a line break.
        return f.input && f.multiline && insert(f, QStringLiteral("\r"));
    case Command::Backspace:
        if (!f.input) return false;
        if (begin == end && begin > 0) f.setSelection(begin - 1, begin);
        return replaceSelection(f, QString());
    case Command::Delete:
        if (!f.input) return false;
        if (begin == end && end < length) f.setSelection(begin, begin + 1);
        return replaceSelection(f, QString());
    case Command::MoveLeft: {
        const int to = begin == end ? std::max(0, begin - 1) : begin;
        f.setSelection(to, to);
        return false;
    }
    case Command::MoveRight: {
        const int to = begin == end ? std::min(length, end + 1) : end;
        f.setSelection(to, to);
        return false;
    }
    case Command::SelectAll:
        f.selectAll();
        return false;
    case Command::Copy:
    case Command::Cut:
        // What a password field holds never leaves it.
        if (f.password || begin == end) return false;
        clipboard = f.text().mid(begin, end - begin);
        return command == Command::Cut && f.input && replaceSelection(f, QString());
    case Command::Paste: {
        // A field of one line takes pasted lines run together.
        QString pasted = clipboard;
        if (!f.multiline) pasted.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
        // What restrict and maxChars refuse still replaces the selection.
        if (!f.input || pasted.isEmpty()) return false;
        return replaceSelection(f, f.filterTyped(pasted.left(TextEntry::kMaxInsert)));
    }
    }
    return false;
}

} // namespace nimbrel::movie
