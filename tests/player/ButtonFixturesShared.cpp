// The movie suite's button fixture, built into this suite as well so both
// suites' buttons share their state records.
#include "movie/support/ButtonFixtures.cpp"
