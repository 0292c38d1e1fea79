// The "bfsz" table: which stored texts count as valid and what is written.
#include "platform/SettingsStore.h"
#include "player/AppSettings.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

using nimbrel::player::AppSettings;
using Key = AppSettings::Key;

namespace {

TEST(AppSettingsTable, EveryKeyOnceWithItsFirstRunValue) {
    QStringList names;
    for (const auto& e : AppSettings::table()) {
        names << e.name;
        EXPECT_EQ(&AppSettings::entry(e.key), &e) << e.name;
    }
    EXPECT_EQ(names, (QStringList{"mleft", "mtop", "mwidth", "mheight", "bfms", "ncjc", "tmd", "zdbf",
                                  "filepath", "filepath2", "openpath"}));
    EXPECT_STREQ(AppSettings::entry(Key::bfms).firstRun, "0");
    EXPECT_STREQ(AppSettings::entry(Key::ncjc).firstRun, "false");
    EXPECT_STREQ(AppSettings::entry(Key::tmd).firstRun, "false");
    EXPECT_STREQ(AppSettings::entry(Key::zdbf).firstRun, "false");
    for (Key k : {Key::mleft, Key::mtop, Key::mwidth, Key::mheight, Key::filepath, Key::filepath2, Key::openpath})
        EXPECT_EQ(AppSettings::entry(k).firstRun, nullptr) << AppSettings::entry(k).name;
}

TEST(AppSettingsRules, GeometryTakesDecimalTwips) {
    for (const char* ok : {"2205", "2204.5", "-300", "0", " 930 ", ".5", "+15"})
        EXPECT_TRUE(AppSettings::isValid(Key::mleft, ok)) << ok;
    for (const char* bad : {"", "abc", "12abc", "1e5", "inf", "nan", "0x10", "1,5", "--3", "999999999999"})
        EXPECT_FALSE(AppSettings::isValid(Key::mtop, bad)) << bad;
    // Sizes must leave at least one twip after rounding.
    EXPECT_TRUE(AppSettings::isValid(Key::mwidth, "15750"));
    EXPECT_TRUE(AppSettings::isValid(Key::mheight, "1"));
    for (const char* bad : {"0", "-100", "0.4", "0.5"})
        EXPECT_FALSE(AppSettings::isValid(Key::mwidth, bad)) << bad;
    EXPECT_EQ(AppSettings::twips("2204.75"), 2204.75);
}

TEST(AppSettingsRules, OptionsTakeOnlyTheirValues) {
    for (const char* ok : {"0", "1", "2"})
        EXPECT_TRUE(AppSettings::isValid(Key::bfms, ok));
    for (const char* bad : {"", "3", "7", "01", "1.0", " 1"})
        EXPECT_FALSE(AppSettings::isValid(Key::bfms, bad)) << bad;
    for (Key k : {Key::ncjc, Key::zdbf}) {
        EXPECT_TRUE(AppSettings::isValid(k, "true"));
        EXPECT_TRUE(AppSettings::isValid(k, "false"));
        EXPECT_FALSE(AppSettings::isValid(k, "True"));
        EXPECT_FALSE(AppSettings::isValid(k, "1"));
        EXPECT_FALSE(AppSettings::isValid(k, ""));
    }
}

TEST(AppSettingsRules, OpacityIsAnAlphaOrFalse) {
    for (const char* ok : {"false", "0", "25", "128", "225", "255"})
        EXPECT_TRUE(AppSettings::isValid(Key::tmd, ok)) << ok;
    for (const char* bad : {"", "true", "256", "300", "-1", "abc", "12.5", "1e2", "0255x"})
        EXPECT_FALSE(AppSettings::isValid(Key::tmd, bad)) << bad;
    EXPECT_EQ(AppSettings::alpha("128"), 128);
    EXPECT_EQ(AppSettings::alpha("300"), std::nullopt);
}

TEST(AppSettingsRules, FoldersAreAbsolutePaths) {
    EXPECT_TRUE(AppSettings::isValid(Key::filepath, "/home/user/swf"));
    EXPECT_TRUE(AppSettings::isValid(Key::filepath2, QStringLiteral("/home/用户/输出")));
    EXPECT_FALSE(AppSettings::isValid(Key::filepath, ""));
    EXPECT_FALSE(AppSettings::isValid(Key::filepath, "relative/dir"));
}

TEST(AppSettingsRules, TwipsTextIsPlainDecimal) {
    EXPECT_EQ(AppSettings::twipsText(15750.0), "15750");
    EXPECT_EQ(AppSettings::twipsText(2204.5), "2204.5");
    EXPECT_EQ(AppSettings::twipsText(12345678.0), "12345678");
    EXPECT_EQ(AppSettings::twipsText(-15.0), "-15");
    EXPECT_EQ(AppSettings::twipsText(-0.001), "0");
    // What is written reads back as valid.
    EXPECT_TRUE(AppSettings::isValid(Key::mwidth, AppSettings::twipsText(1234567.25)));
}

TEST(AppSettingsStore, WritesOnlyValidTextUnderTheApplicationName) {
    QTemporaryDir dir;
    nimbrel::platform::SettingsStore store(dir.path());
    AppSettings settings(store);

    EXPECT_TRUE(settings.write(Key::bfms, "2"));
    EXPECT_EQ(store.value("Nimbrel", "bfsz", "bfms"), "2");
    EXPECT_FALSE(settings.write(Key::bfms, "9"));
    EXPECT_FALSE(settings.write(Key::tmd, "abc"));
    EXPECT_EQ(settings.read(Key::bfms), "2");
    EXPECT_EQ(settings.read(Key::tmd), "");

    EXPECT_TRUE(settings.writeFirstRun(Key::zdbf));
    EXPECT_EQ(settings.read(Key::zdbf), "false");
    EXPECT_FALSE(settings.writeFirstRun(Key::mleft));
    EXPECT_EQ(settings.read(Key::mleft), "");

    // Stored under another letter case, still found.
    store.setValue("NIMBREL", "BFSZ", "NCJC", "true");
    EXPECT_EQ(settings.read(Key::ncjc), "true");
}

} // namespace
