#include "skin/PanelSwitch.h"
#include "skin/SkinHover.h"
#include <gtest/gtest.h>

using namespace nimbrel::skin;

namespace {
using TP = TabPicture;
using TR = TransportPicture;
} // namespace

TEST(SkinHover, PlayStateComesFromTheTooltip) {
    EXPECT_EQ(SkinHover::playState(QStringLiteral("play")), PlayState::Play);
    EXPECT_EQ(SkinHover::playState(QStringLiteral("stop")), PlayState::Stop);
    EXPECT_EQ(SkinHover::playState(QStringLiteral("播放")), PlayState::Design);
}

TEST(SkinHover, OneStripLabelAndOneTitleButtonLightUpAtATime) {
    SkinHoverState s;
    s = SkinHover::stripHovered(s, 2);
    EXPECT_EQ(s.stripHighlighted, (std::array<bool, 4>{false, false, true, false}));
    s = SkinHover::stripHovered(s, 0);
    EXPECT_EQ(s.stripHighlighted, (std::array<bool, 4>{true, false, false, false}));
    s = SkinHover::titleHovered(s, 1);
    EXPECT_EQ(s.titleHighlighted, (std::array<bool, 3>{false, true, false}));
    s = SkinHover::titleHovered(s, 2);
    EXPECT_EQ(s.titleHighlighted, (std::array<bool, 3>{false, false, true}));
    EXPECT_EQ(SkinHover::stripHovered(s, 7), s);
}

TEST(SkinHover, TabHoverNeverTouchesTheCurrentTab) {
    SkinHoverState s;
    s.tabs = PanelSwitch::titleanjiu(1);
    s = SkinHover::tabHovered(s, 3, 1);
    EXPECT_EQ(s.tabs, (std::array<TP, 4>{TP::None, TP::Pressed, TP::None, TP::Hovered}));
    s = SkinHover::tabHovered(s, 0, 1);
    EXPECT_EQ(s.tabs, (std::array<TP, 4>{TP::Hovered, TP::Pressed, TP::None, TP::None}));
    // Hovering the current tab clears the others.
    s = SkinHover::tabHovered(s, 1, 1);
    EXPECT_EQ(s.tabs, PanelSwitch::titleanjiu(1));
}

TEST(SkinHover, ResetOverTheTopBarOrTheMovie) {
    SkinHoverState s;
    s.tabs = PanelSwitch::titleanjiu(2);
    s = SkinHover::stripHovered(s, 1);
    s = SkinHover::tabHovered(s, 0, 2);
    s = SkinHover::titleHovered(s, 0);
    s = SkinHover::quickMenuHovered(s);
    s = SkinHover::transportHovered(s, 3, PlayState::Play);

    const SkinHoverState all = SkinHover::resetAll(s, 2);
    EXPECT_EQ(all.stripHighlighted, (std::array<bool, 4>{}));
    EXPECT_EQ(all.tabs, PanelSwitch::titleanjiu(2));
    EXPECT_EQ(all.titleHighlighted, (std::array<bool, 3>{}));
    EXPECT_FALSE(all.quickMenuHighlighted);
    EXPECT_EQ(all.transport[3], TR::Hover); // transport buttons fall back over the bottom bar

    // Over the top bar's right end only the title buttons fall back.
    const SkinHoverState title = SkinHover::resetTitleButtons(s);
    EXPECT_EQ(title.titleHighlighted, (std::array<bool, 3>{}));
    EXPECT_EQ(title.stripHighlighted, s.stripHighlighted);
    EXPECT_TRUE(title.quickMenuHighlighted);
    EXPECT_EQ(title.tabs, s.tabs);
}

TEST(SkinHover, TransportButtonsShowHoverAndPlayStatePictures) {
    SkinHoverState s;
    s = SkinHover::transportHovered(s, 4, PlayState::Play);
    EXPECT_EQ(s.transport, (std::array<TR, 6>{TR::Normal, TR::Normal, TR::Normal, TR::Normal,
                                             TR::Hover, TR::Normal}));
    s = SkinHover::transportHovered(s, 2, PlayState::Play);
    EXPECT_EQ(s.transport[4], TR::Normal);
    EXPECT_EQ(s.transport[2], TR::Hover);

    EXPECT_EQ(SkinHover::transportHovered(s, 0, PlayState::Play).transport[0], TR::Hover);
    EXPECT_EQ(SkinHover::transportHovered(s, 0, PlayState::Stop).transport[0], TR::PauseHover);
    // Before the first state tick the play button does not react.
    EXPECT_EQ(SkinHover::transportHovered(s, 0, PlayState::Design).transport[0], TR::Normal);

    SkinHoverState hovered = SkinHover::transportHovered(s, 0, PlayState::Stop);
    const SkinHoverState running = SkinHover::resetTransport(hovered, PlayState::Stop);
    EXPECT_EQ(running.transport, (std::array<TR, 6>{TR::Pause, TR::Normal, TR::Normal, TR::Normal,
                                                   TR::Normal, TR::Normal}));
    EXPECT_EQ(SkinHover::resetTransport(hovered, PlayState::Play).transport[0], TR::Normal);
    EXPECT_EQ(SkinHover::resetTransport(hovered, PlayState::Design).transport[0], TR::PauseHover);
}

TEST(PanelSwitch, TabPicturesAndVisibility) {
    EXPECT_EQ(PanelSwitch::titleanjiu(0), (std::array<TP, 4>{TP::Pressed, TP::None, TP::None, TP::None}));
    EXPECT_EQ(PanelSwitch::titleanjiu(3), (std::array<TP, 4>{TP::None, TP::None, TP::None, TP::Pressed}));

    const auto v0 = PanelSwitch::visibilityFor(0);
    EXPECT_TRUE(v0.flash);
    EXPECT_FALSE(v0.bflb || v0.zhss || v0.convertframe);
    const auto v3 = PanelSwitch::visibilityFor(3);
    EXPECT_TRUE(v3.convertframe);
    EXPECT_FALSE(v3.flash || v3.zhss || v3.bflb);
}

TEST(PanelSwitch, SelectingSwitchesOnlyToAnotherValidTab) {
    EXPECT_FALSE(PanelSwitch::select(2, 2)); // the tab on show: nothing happens
    EXPECT_FALSE(PanelSwitch::select(0, 4));
    EXPECT_FALSE(PanelSwitch::select(0, -1));

    const auto s = PanelSwitch::select(2, 1);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->panel, 1);
    EXPECT_EQ(s->tabs, PanelSwitch::titleanjiu(1));
    EXPECT_TRUE(s->visible.bflb);
    EXPECT_FALSE(s->visible.zhss);
    EXPECT_FALSE(s->visible.flash);
    EXPECT_FALSE(s->visible.convertframe);
}
