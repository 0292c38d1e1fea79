#pragma once
// One corpus case as its test.toml describes it (the fields the trace run needs).
#include "support/CaseFonts.h"
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

struct CorpusCase {
    QString name;   // "avm1/add2"
    QString folder; // absolute
    int frames = 1;
    bool knownFailure = false;
    bool ignore = false;
    bool hasImages = false;
    bool hasOutput = false;
    bool hasApproximations = false;
    QStringList numberPatterns;
    double epsilon = 0;
    double maxRelative = 0;
    QSize viewport; // player_options.viewport_dimensions; empty when not given
    CaseFonts fonts; // the font files it ships and the device fonts they stand for

    // Reads folder/test.toml; nullopt when it is missing.
    static std::optional<CorpusCase> load(const QString& corpusRoot, const QString& name);
};
