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
    out.withDefaultFont = toml.boolean(QStringLiteral("player_options.with_default_font"), false);
    return out;
}

QString CaseFonts::defaultFontFile() {
    return QStringLiteral(NIMBREL_SOURCE_DIR "/tests/data/fonts/NotoSans.ttf");
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
    // Registered under a name no movie uses, so only the generic names reach it.
    const QString fallback = QStringLiteral("harness default font");
    if (withDefaultFont)
        if (auto error = registry.addFontFile(fallback, defaultFontFile())) problems << *error;
    using Generic = DeviceFontRegistry::Generic;
    auto orDefault = [&](const QStringList& named) {
        return named.isEmpty() && withDefaultFont ? QStringList{fallback} : named;
    };
    for (const auto& [generic, named] : {std::pair{Generic::Sans, &sans}, std::pair{Generic::Serif, &serif},
                                         std::pair{Generic::Typewriter, &typewriter}})
        if (const QStringList families = orDefault(*named); !families.isEmpty())
            registry.setDefaultFamilies(generic, families);
    return problems;
}
