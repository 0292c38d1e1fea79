// The movie suite's SWF writer, built into this suite as well so the player's
// tests make their movies the same way.
#include "movie/support/SwfBuilder.cpp"
