#pragma once
// A NetStream instance: the script object over the engine's playback of one
// FLV stream. Video objects that show it share the playback.
#include "movie/avm1/Object.h"
#include <memory>

namespace nimbrel::movie::video {
class NetStreamPlayback;
}

namespace nimbrel::movie::avm1 {

class NetStreamObject : public Object {
public:
    NetStreamObject(Interpreter& vm, Object* proto, std::shared_ptr<video::NetStreamPlayback> playback);
    ~NetStreamObject() override;
    QString className() const override { return QStringLiteral("NetStream"); }
    const std::shared_ptr<video::NetStreamPlayback>& playback() const { return playback_; }

private:
    std::shared_ptr<video::NetStreamPlayback> playback_;
};

} // namespace nimbrel::movie::avm1
