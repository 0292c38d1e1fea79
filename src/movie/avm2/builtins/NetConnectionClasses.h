#pragma once
// flash.net.NetConnection (the local, serverless connection scripts open with
// connect(null)) and flash.events.NetStatusEvent, which reports its state.
namespace nimbrel::movie::avm2 {

class Runtime;

class NetConnectionClasses {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
