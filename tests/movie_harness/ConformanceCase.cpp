#include "ConformanceCase.h"
#include "TomlLite.h"
#include <QDir>
#include <QFileInfo>
#include <cstdlib>

bool ConformanceCase::read(const QString& caseDir) {
    dir = caseDir;
    const TomlLite t = TomlLite::load(QDir(dir).filePath(QStringLiteral("test.toml")));
    if (t.boolean(QStringLiteral("ignore"), false)) return false;
    knownFailure = t.boolean(QStringLiteral("known_failure"), false) || t.has(QStringLiteral("known_failure"));
    advances = int(t.number(QStringLiteral("num_frames"), t.number(QStringLiteral("num_ticks"), 1)));
    const QString vp = QStringLiteral("player_options.viewport_dimensions");
    if (t.has(vp + QStringLiteral(".width"))) {
        viewport = QSize(int(t.number(vp + QStringLiteral(".width"), 0)), int(t.number(vp + QStringLiteral(".height"), 0)));
        scaleFactor = t.number(vp + QStringLiteral(".scale_factor"), 1);
    }
    quality = t.string(QStringLiteral("player_options.with_renderer.quality"), quality);
    for (const QString& name : t.children(QStringLiteral("image_comparisons"))) {
        const QString k = QStringLiteral("image_comparisons.") + name + QLatin1Char('.');
        ImageCheck c;
        c.name = name;
        c.tolerance = int(t.number(k + QStringLiteral("tolerance"), 0));
        c.maxOutliers = int(t.number(k + QStringLiteral("max_outliers"), 0));
        const QString trig = t.string(k + QStringLiteral("trigger"), QStringLiteral("last_frame"));
        bool numeric = false;
        const int n = trig.toInt(&numeric);
        if (numeric) {
            c.trigger = ImageCheck::Trigger::Advance;
            c.advance = n;
        } else if (trig == QLatin1String("fs_command")) {
            c.trigger = ImageCheck::Trigger::FsCommand;
        }
        if (QFileInfo::exists(QDir(dir).filePath(name + QStringLiteral(".expected.png")))) checks.push_back(c);
    }
    return !checks.empty();
}

qint64 ConformanceCase::outliers(const QImage& actualIn, const QImage& expectedIn, int tolerance) {
    const QImage a = actualIn.convertToFormat(QImage::Format_ARGB32);
    const QImage e = expectedIn.convertToFormat(QImage::Format_ARGB32);
    if (a.size() != e.size()) return qint64(std::max(a.width(), e.width())) * std::max(a.height(), e.height()) * 4;
    qint64 count = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* pa = a.constScanLine(y);
        const uchar* pe = e.constScanLine(y);
        for (int x = 0; x < a.width() * 4; ++x)
            if (std::abs(int(pa[x]) - int(pe[x])) > tolerance) ++count;
    }
    return count;
}
