#pragma once
// flash.ui: Keyboard (key codes and the lock keys), KeyLocation and Mouse.
namespace nimbrel::movie::avm2 {

class Runtime;

class KeyboardClasses {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
