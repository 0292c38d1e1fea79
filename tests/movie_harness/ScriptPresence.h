#pragma once
// Whether a movie carries ActionScript anywhere: frame and init actions of the
// main timeline and its sprites, button actions, clip actions of placements.
// Image cases without any show what the drawing alone gets right.
#include "movie/swf/Movie.h"

class ScriptPresence {
public:
    static bool scripted(const nimbrel::movie::swf::Movie& movie);

private:
    static bool timelineScripted(const nimbrel::movie::swf::Timeline& timeline);
};
