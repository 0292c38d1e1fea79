#include "skin/SkinHover.h"

namespace nimbrel::skin {

PlayState SkinHover::playState(const QString& tip) {
    if (tip == QLatin1String("play"))
        return PlayState::Play;
    if (tip == QLatin1String("stop"))
        return PlayState::Stop;
    return PlayState::Design;
}

SkinHoverState SkinHover::stripHovered(SkinHoverState s, int i) {
    if (i < 0 || i >= 4)
        return s;
    for (int j = 0; j < 4; ++j)
        s.stripHighlighted[j] = (j == i);
    return s;
}

SkinHoverState SkinHover::tabHovered(SkinHoverState s, int i, int currentPanel) {
    if (i < 0 || i >= 4)
        return s;
    for (int j = 0; j < 4; ++j) {
        if (j == currentPanel)
            continue;
        s.tabs[j] = (j == i) ? TabPicture::Hovered : TabPicture::None;
    }
    return s;
}

SkinHoverState SkinHover::titleHovered(SkinHoverState s, int i) {
    if (i < 0 || i >= 3)
        return s;
    for (int j = 0; j < 3; ++j)
        s.titleHighlighted[j] = (j == i);
    return s;
}

SkinHoverState SkinHover::quickMenuHovered(SkinHoverState s) {
    s.quickMenuHighlighted = true;
    return s;
}

SkinHoverState SkinHover::transportHovered(SkinHoverState s, int i, PlayState play) {
    if (i == 0) {
        if (play == PlayState::Play)
            s.transport[0] = TransportPicture::Hover;
        else if (play == PlayState::Stop)
            s.transport[0] = TransportPicture::PauseHover;
        return s;
    }
    if (i < 1 || i >= 6)
        return s;
    for (int j = 1; j < 6; ++j)
        s.transport[j] = (j == i) ? TransportPicture::Hover : TransportPicture::Normal;
    return s;
}

SkinHoverState SkinHover::resetAll(SkinHoverState s, int currentPanel) {
    s.stripHighlighted = {};
    for (int j = 0; j < 4; ++j)
        if (j != currentPanel)
            s.tabs[j] = TabPicture::None;
    s.titleHighlighted = {};
    s.quickMenuHighlighted = false;
    return s;
}

SkinHoverState SkinHover::resetTitleButtons(SkinHoverState s) {
    s.titleHighlighted = {};
    return s;
}

SkinHoverState SkinHover::resetTransport(SkinHoverState s, PlayState play) {
    s = playButtonFor(s, play);
    for (int j = 1; j < 6; ++j)
        s.transport[j] = TransportPicture::Normal;
    return s;
}

SkinHoverState SkinHover::playButtonFor(SkinHoverState s, PlayState play) {
    if (play == PlayState::Play)
        s.transport[0] = TransportPicture::Normal;
    else if (play == PlayState::Stop)
        s.transport[0] = TransportPicture::Pause;
    return s;
}

} // namespace nimbrel::skin
