#include "support/CaseFonts.h"
#include "movie/host/DeviceFontRegistry.h"
#include "movie_harness/TomlLite.h"
#include <QDir>

using nimbrel::movie::host::DeviceFontRegistry;

CaseFonts CaseFonts::read(const TomlLite& toml, const QString& caseDir) {
    CaseFonts out;
    for (const QString& name : toml.children(QStringLiteral("fonts"))) {
        const QString k = QStringLiteral("fonts.") + TomlLite::quoted(name) + QLatin1Char('.');
        const QString family = toml.string(k + QStringLiteral("family"));
        const QString path = toml.string(k + QStringLiteral("path"));
        if (family.isEmpty() || path.isEmpty()) continue;
        out.files.push_back({family, QDir(caseDir).absoluteFilePath(path)});
    }
    out.sans = toml.strings(QStringLiteral("default_fonts.sans"));
    out.serif = toml.strings(QStringLiteral("default_fonts.serif"));
    out.typewriter = toml.strings(QStringLiteral("default_fonts.typewriter"));
    return out;
}

CaseFonts CaseFonts::load(const QString& caseDir) {
    return read(TomlLite::load(QDir(caseDir).filePath(QStringLiteral("test.toml"))), caseDir);
}

QStringList CaseFonts::apply() const {
    auto& registry = DeviceFontRegistry::instance();
    registry.reset();
    QStringList problems;
    for (const File& f : files)
        if (auto error = registry.addFontFile(f.family, f.path)) problems << *error;
    using Generic = DeviceFontRegistry::Generic;
    if (!sans.isEmpty()) registry.setDefaultFamilies(Generic::Sans, sans);
    if (!serif.isEmpty()) registry.setDefaultFamilies(Generic::Serif, serif);
    if (!typewriter.isEmpty()) registry.setDefaultFamilies(Generic::Typewriter, typewriter);
    return problems;
}
