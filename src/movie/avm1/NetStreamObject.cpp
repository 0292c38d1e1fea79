#include "movie/avm1/NetStreamObject.h"
#include "movie/video/NetStreamPlayback.h"

namespace nimbrel::movie::avm1 {

NetStreamObject::NetStreamObject(Interpreter& vm, Object* proto, std::shared_ptr<video::NetStreamPlayback> playback)
    : Object(vm, proto), playback_(std::move(playback)) {}

// A stream no script can reach any more stops sounding; a Video still showing it keeps its last picture.
NetStreamObject::~NetStreamObject() { playback_->close(); }

} // namespace nimbrel::movie::avm1
