#pragma once
// Device fonts for text that does not embed its glyphs. The null source
// answers with Qt's default font, which keeps headless runs independent of
// what the machine has installed.
#include <QFont>
#include <QString>

namespace nimbrel::movie::host {

class FontSource {
public:
    virtual ~FontSource() = default;
    virtual QFont font(const QString& family, bool bold, bool italic) const {
        QFont f;
        f.setBold(bold);
        f.setItalic(italic);
        (void)family;
        return f;
    }
};

using NullFontSource = FontSource;

} // namespace nimbrel::movie::host
