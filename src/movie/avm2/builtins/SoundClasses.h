#pragma once
// flash.media: Sound (a linked DefineSound), SoundChannel, SoundTransform and
// SoundMixer over the movie's mixer, and the soundTransform of display objects.
namespace nimbrel::movie::avm2 {

class ClassObject;
class Runtime;

class SoundClasses {
public:
    static void install(Runtime& rt);
    // DisplayObject.soundTransform, added before the display subclasses copy its members.
    static void addDisplayMembers(ClassObject& displayObject);
    // Channels whose voice the mixer played to the end hear soundComplete.
    static void finishChannels(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
