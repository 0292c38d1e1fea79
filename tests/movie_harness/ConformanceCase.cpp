#include "ConformanceCase.h"
#include "TomlLite.h"
#include <QDir>
#include <QFileInfo>
#include <cstdlib>

bool ConformanceCase::read(const QString& caseDir) {
    return read(TomlLite::load(QDir(caseDir).filePath(QStringLiteral("test.toml"))), caseDir, [&](const QString& name) {
        return QFileInfo::exists(QDir(caseDir).filePath(name + QStringLiteral(".expected.png")));
    });
}

bool ConformanceCase::read(const TomlLite& t, const QString& caseDir,
                           const std::function<bool(const QString&)>& pictureExists) {
    dir = caseDir;
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
        const QString k = QStringLiteral("image_comparisons.") + TomlLite::quoted(name) + QLatin1Char('.');
        ImageCheck c;
        c.name = name;
        // A list of checks replaces the single tolerance and outlier count.
        const QString list = k + QStringLiteral("checks");
        for (const QString& i : t.children(list)) {
            const QString e = list + QLatin1Char('.') + i + QLatin1Char('.');
            c.thresholds.push_back({int(t.number(e + QStringLiteral("tolerance"), 0)),
                                    int(t.number(e + QStringLiteral("max_outliers"), 0))});
        }
        if (c.thresholds.empty())
            c.thresholds.push_back({int(t.number(k + QStringLiteral("tolerance"), 0)),
                                    int(t.number(k + QStringLiteral("max_outliers"), 0))});
        const QString trig = t.string(k + QStringLiteral("trigger"), QStringLiteral("last_frame"));
        bool numeric = false;
        const int n = trig.toInt(&numeric);
        if (numeric) {
            c.trigger = ImageCheck::Trigger::Advance;
            c.advance = n;
        } else if (trig == QLatin1String("fs_command")) {
            c.trigger = ImageCheck::Trigger::FsCommand;
        }
        if (pictureExists(name)) checks.push_back(c);
    }
    fonts = CaseFonts::read(t, dir);
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
