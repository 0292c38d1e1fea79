#include "skin/FitMode.h"
#include <gtest/gtest.h>

using nimbrel::skin::FitMode;
using Item = FitMode::Item;

TEST(FitMode, EachItemHasItsScaleModeStoredValueAndCheckMark) {
    EXPECT_EQ(FitMode::choose(Item::mnuszck), (FitMode::Choice{0, QStringLiteral("0"), 1}));
    EXPECT_EQ(FitMode::choose(Item::mnuchang), (FitMode::Choice{1, QStringLiteral("1"), 2}));
    EXPECT_EQ(FitMode::choose(Item::mnuchanggao), (FitMode::Choice{2, QStringLiteral("2"), 3}));
    EXPECT_EQ(FitMode::caption(Item::mnuchang), QStringLiteral("长保持比例"));
    EXPECT_EQ(FitMode::settingKey(), QStringLiteral("bfms"));
}

TEST(FitMode, CheckMarkMovesToTheChosenItemOnly) {
    EXPECT_EQ(FitMode::ms(2), (std::array<bool, 3>{false, true, false}));
    EXPECT_EQ(FitMode::ms(1), (std::array<bool, 3>{true, false, false}));
    EXPECT_EQ(FitMode::ms(3), (std::array<bool, 3>{false, false, true}));
    EXPECT_FALSE(FitMode::ms(0));
    EXPECT_FALSE(FitMode::ms(4));
}

TEST(FitMode, StoredValueRestoresTheItem) {
    // Choosing "长保持比例" stores "1", which the next start reads back as that item.
    EXPECT_EQ(FitMode::fromStored(FitMode::choose(Item::mnuchang).stored), Item::mnuchang);
    EXPECT_EQ(FitMode::fromStored(QStringLiteral("2")), Item::mnuchanggao);
    EXPECT_FALSE(FitMode::fromStored(QStringLiteral("7")));
    EXPECT_FALSE(FitMode::fromStored(QString()));
    EXPECT_FALSE(FitMode::fromStored(QStringLiteral(" 1")));
}
