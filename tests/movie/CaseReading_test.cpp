// How the corpus harnesses read a case: its pictures, the thresholds each
// must hold, and the fonts it ships for the device fonts it names.
#include "movie/display/TextFont.h"
#include "movie/host/DeviceFontRegistry.h"
#include "movie_harness/ConformanceCase.h"
#include "movie_harness/TomlLite.h"
#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using nimbrel::movie::display::TextFont;
using nimbrel::movie::host::DeviceFontRegistry;

// A case with a plain check, a list of checks and names that hold dots.
const char* const kCaseToml = R"(num_frames = 3
image_comparisons."output.01".trigger = 1
[[image_comparisons."output.01".checks]]
max_outliers = 8

[image_comparisons.plain]
tolerance = 3
max_outliers = 5

[[image_comparisons.output.checks]]
max_outliers = 12000   # the loose one first

[[image_comparisons.output.checks]]
tolerance = 128
max_outliers = 1500

[image_comparisons.missing]
tolerance = 1

[default_fonts]
sans = ["Noto Sans", 'Other Sans']
serif = ["Noto Sans"]

[fonts.noto_sans]
family = "Noto Sans"
path = "NotoSans.ttf"
)";

struct ExpectedCheck {
    const char* name;
    ImageCheck::Trigger trigger;
    std::vector<std::pair<int, int>> thresholds; // tolerance, max outliers
};

TEST(CaseReading, ReadsEveryCheckWithItsThresholds) {
    ConformanceCase c;
    ASSERT_TRUE(c.read(TomlLite::parse(QString::fromUtf8(kCaseToml)), QStringLiteral("/cases/one"),
                       [](const QString& name) { return name != QLatin1String("missing"); }));
    EXPECT_EQ(c.advances, 3);
    const ExpectedCheck want[] = {
        {"output", ImageCheck::Trigger::LastFrame, {{0, 12000}, {128, 1500}}},
        {"output.01", ImageCheck::Trigger::Advance, {{0, 8}}},
        {"plain", ImageCheck::Trigger::LastFrame, {{3, 5}}},
    };
    ASSERT_EQ(c.checks.size(), std::size(want));
    for (const ExpectedCheck& w : want) {
        SCOPED_TRACE(w.name);
        const auto k = std::find_if(c.checks.begin(), c.checks.end(),
                                    [&](const ImageCheck& x) { return x.name == QLatin1String(w.name); });
        ASSERT_NE(k, c.checks.end());
        EXPECT_EQ(k->trigger, w.trigger);
        EXPECT_EQ(k->advance, w.trigger == ImageCheck::Trigger::Advance ? 1 : 0);
        std::vector<std::pair<int, int>> got;
        for (const auto& t : k->thresholds) got.emplace_back(t.tolerance, t.maxOutliers);
        EXPECT_EQ(got, w.thresholds);
    }
}

TEST(CaseReading, ReadsTheFontsACaseShips) {
    const CaseFonts f = CaseFonts::read(TomlLite::parse(QString::fromUtf8(kCaseToml)), QStringLiteral("/cases/one"));
    ASSERT_EQ(f.files.size(), 1u);
    EXPECT_EQ(f.files[0].family, QLatin1String("Noto Sans"));
    EXPECT_EQ(f.files[0].path, QLatin1String("/cases/one/NotoSans.ttf"));
    EXPECT_EQ(f.sans, (QStringList{"Noto Sans", "Other Sans"}));
    EXPECT_EQ(f.serif, QStringList{"Noto Sans"});
    EXPECT_TRUE(f.typewriter.isEmpty());
    EXPECT_TRUE(CaseFonts::read(TomlLite::parse(QStringLiteral("num_frames = 1")), QString()).empty());
}

// A font file registered under a movie's family answers device lookups of
// that name and, as a default, of the generic names; clearing restores the
// machine's mapping.
TEST(CaseReading, RegisteredFontsStandInForDeviceFonts) {
    const QString file = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
    if (!QFile::exists(file)) GTEST_SKIP() << "no DejaVu Sans Mono file";
    CaseFonts fonts;
    fonts.files.push_back({QStringLiteral("Movie Face"), file});
    fonts.files.push_back({QStringLiteral("Broken"), QStringLiteral("/nonexistent/font.ttf")});
    fonts.serif = QStringList{QStringLiteral("Not Installed Anywhere"), QStringLiteral("Movie Face")};
    const QString machineSerif = TextFont::machineFamily(QStringLiteral("_serif"));
    const QStringList problems = fonts.apply();
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(QLatin1String("/nonexistent/font.ttf")));
    const struct {
        const char* asked;
        const char* registered; // the family it goes to while the fonts are registered
    } cases[] = {{"movie face", "DejaVu Sans Mono"}, {"_serif", "DejaVu Sans Mono"}, {"Times New Roman", "DejaVu Sans Mono"}};
    for (const auto& k : cases) EXPECT_EQ(TextFont::machineFamily(QLatin1String(k.asked)), QLatin1String(k.registered)) << k.asked;
    // Measured with the registered face: a monospaced font gives i and W one width.
    const TextFont face = TextFont::device(QStringLiteral("Movie Face"), false, false);
    EXPECT_DOUBLE_EQ(face.advance(U'i', 240), face.advance(U'W', 240));

    CaseFonts().apply();
    EXPECT_TRUE(DeviceFontRegistry::instance().registeredFamily(QStringLiteral("Movie Face")).isEmpty());
    EXPECT_EQ(TextFont::machineFamily(QStringLiteral("_serif")), machineSerif);
    const TextFont after = TextFont::device(QStringLiteral("Movie Face"), false, false);
    EXPECT_NE(after.advance(U'i', 240), after.advance(U'W', 240));
}

} // namespace

namespace {

// A case asking for the default font gets the harnesses' own font for every
// generic name it leaves open.
TEST(CaseReading, TheDefaultFontFillsTheGenericNamesLeftOpen) {
    const CaseFonts fonts = CaseFonts::read(
        TomlLite::parse(QStringLiteral("[player_options]\nwith_default_font = true\n[default_fonts]\nserif = [\"_typewriter\"]\n")),
        QString());
    ASSERT_TRUE(fonts.withDefaultFont);
    ASSERT_FALSE(fonts.empty());
    const QString machineSerif = TextFont::machineFamily(QStringLiteral("_serif"));
    EXPECT_TRUE(fonts.apply().isEmpty());
    EXPECT_EQ(TextFont::machineFamily(QStringLiteral("_sans")), QLatin1String("Noto Sans"));
    EXPECT_EQ(TextFont::machineFamily(QStringLiteral("_typewriter")), QLatin1String("Noto Sans"));
    EXPECT_EQ(TextFont::machineFamily(QStringLiteral("Some Unknown Face")), QLatin1String("Noto Sans"));
    // "_typewriter" is no family: serif keeps the machine's mapping.
    EXPECT_EQ(TextFont::machineFamily(QStringLiteral("_serif")), machineSerif);
    CaseFonts().apply();
}

} // namespace
