#pragma once
// The fonts a corpus case ships and the device fonts it maps to them:
// [fonts.NAME] tables with family and path, [default_fonts] lists for sans,
// serif and typewriter, and player_options.with_default_font, which gives
// every generic name the case leaves open the harnesses' own font
// (tests/data/fonts/NotoSans.ttf). Applying them replaces whatever the previous
// case registered, so one case's fonts never leak into the next.
#include <QString>
#include <QStringList>
#include <vector>

class TomlLite;

struct CaseFonts {
    struct File {
        QString family;
        QString path; // absolute
    };
    std::vector<File> files;
    QStringList sans, serif, typewriter;
    bool withDefaultFont = false;

    // Reads the font tables of a case whose files live in caseDir.
    static CaseFonts read(const TomlLite& toml, const QString& caseDir);
    static CaseFonts load(const QString& caseDir); // caseDir/test.toml

    bool empty() const {
        return files.empty() && sans.isEmpty() && serif.isEmpty() && typewriter.isEmpty() && !withDefaultFont;
    }
    static QString defaultFontFile();
    // Registers the fonts with the engine (after clearing the last case's);
    // returns the problems met, one line each.
    QStringList apply() const;
};
