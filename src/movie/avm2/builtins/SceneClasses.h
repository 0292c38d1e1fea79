#pragma once
// flash.display.FrameLabel and Scene, and the MovieClip members that list
// them (currentLabels, currentScene, scenes). A timeline without scene data
// is one scene, "Scene 1", holding every frame.
namespace nimbrel::movie::avm2 {
class ClassObject;
class Runtime;
class SceneClasses {
public:
    static void install(Runtime& rt, ClassObject& movieClip);
};
} // namespace nimbrel::movie::avm2
