// The movie suite's busy animated scene, built into this suite as well so the
// surface's painting tests play a movie whose every frame looks different.
#include "movie/support/HeavyScene.cpp"
