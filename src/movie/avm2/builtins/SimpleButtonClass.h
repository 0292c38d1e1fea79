#pragma once
// flash.display.SimpleButton: the class of the movie's buttons, and buttons
// scripts make from four display objects (up, over, down, hit test).
namespace nimbrel::movie::avm2 {

class Runtime;

class SimpleButtonClass {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
