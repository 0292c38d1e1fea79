#pragma once
// flash.display: DisplayObject, InteractiveObject, DisplayObjectContainer,
// Sprite, MovieClip, Shape, Stage, over the player's display list.
namespace nimbrel::movie::avm2 {
class Runtime;
class DisplayClasses {
public:
    static void install(Runtime& rt);
};
} // namespace nimbrel::movie::avm2
