#pragma once
// One corpus case with reference images: how to run it and what to compare.
#include <QImage>
#include <QSize>
#include <QString>
#include <vector>

struct ImageCheck {
    QString name;
    enum class Trigger { LastFrame, Advance, FsCommand } trigger = Trigger::LastFrame;
    int advance = 0; // Trigger::Advance: after this many advances, counting from 1
    int tolerance = 0;
    int maxOutliers = 0;
};

struct ConformanceCase {
    QString dir;
    int advances = 1;
    QSize viewport;       // empty: the stage size
    double scaleFactor = 1;
    bool knownFailure = false;
    QString quality = QStringLiteral("high"); // the stage quality the references were drawn at
    std::vector<ImageCheck> checks;

    // Reads dir/test.toml; false when the case is ignored or has no images.
    bool read(const QString& dir);
    // Channel values of `actual` that differ from `expected` by more than
    // tolerance; sizes that differ count every channel.
    static qint64 outliers(const QImage& actual, const QImage& expected, int tolerance);
};
