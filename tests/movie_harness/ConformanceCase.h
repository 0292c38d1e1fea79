#pragma once
// One corpus case with reference images: how to run it and what to compare.
#include "support/CaseFonts.h"
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

class TomlLite;

struct ImageCheck {
    QString name;
    enum class Trigger { LastFrame, Advance, FsCommand } trigger = Trigger::LastFrame;
    int advance = 0; // Trigger::Advance: after this many advances, counting from 1
    // Every one must hold: at most maxOutliers channel values may differ by
    // more than tolerance.
    struct Threshold {
        int tolerance = 0;
        int maxOutliers = 0;
    };
    std::vector<Threshold> thresholds;
};

struct ConformanceCase {
    QString dir;
    int advances = 1;
    QSize viewport;       // empty: the stage size
    double scaleFactor = 1;
    bool knownFailure = false;
    QString quality = QStringLiteral("high"); // the stage quality the references were drawn at
    std::vector<ImageCheck> checks;
    CaseFonts fonts;

    // Reads dir/test.toml; false when the case is ignored or has no images.
    bool read(const QString& dir);
    // The same from the file's text, for checks whose pictures exist (exists(name)).
    bool read(const TomlLite& toml, const QString& dir, const std::function<bool(const QString&)>& pictureExists);
    // Channel values of `actual` that differ from `expected` by more than
    // tolerance; sizes that differ count every channel.
    static qint64 outliers(const QImage& actual, const QImage& expected, int tolerance);
};
