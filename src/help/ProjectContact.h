#pragma once
// The project's own contact values, shown by the help's about topic and the about
// window. Kept in one place so that the two windows never disagree.
#include <QString>

namespace nimbrel::help {

class ProjectContact {
public:
    static QString version();     // "1.5.0"
    static QString productLine(); // "QuorvaneFlashPlayer 1.5.0"
    static QString author();      // who makes the program
    static QString homePage();    // the project's page, also where feedback goes
};

} // namespace nimbrel::help
