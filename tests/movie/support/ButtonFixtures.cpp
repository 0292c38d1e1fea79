#include "ButtonFixtures.h"
#include "movie/swf/ButtonDef.h"

namespace nimbrel::movie::test {

QByteArray buttonStateRecords(uint16_t up, uint16_t over, uint16_t down) {
    BitWriter r;
    // The up picture is also the hit area.
    const std::pair<uint8_t, uint16_t> recs[] = {{0x01 | 0x08, up}, {0x02, over}, {0x04, down}};
    for (auto [states, id] : recs) {
        r.u8(states);
        r.u16(id);
        r.u16(1);
        r.matrix({});
        r.cxform({}, true);
    }
    r.u8(0);
    return r.data();
}

void defineButton(SwfBuilder& b) {
    b.defineRect(1, {0, 2000, 0, 2000}, {255, 0, 0, 255});
    b.defineRect(2, {0, 2000, 0, 2000}, {0, 255, 0, 255});
    b.defineRect(3, {0, 2000, 0, 2000}, {0, 0, 255, 255});
    BitWriter w;
    w.u16(10);
    w.u8(0);
    const QByteArray records = buttonStateRecords(1, 2, 3);
    w.u16(uint16_t(2 + records.size()));
    w.bytes(records);
    auto cond = [&](uint16_t c, const QByteArray& name, bool last) {
        w.u16(last ? 0 : uint16_t(4 + name.size()));
        w.u8(uint8_t(c >> 8));
        w.u8(uint8_t(c & 1));
        w.bytes(name);
    };
    cond(swf::CondIdleToOverUp, "rollover", false);
    cond(swf::CondOverUpToOverDown, "press", false);
    cond(swf::CondOverDownToOverUp, "release", false);
    cond(swf::CondOverUpToIdle, "rollout", true);
    b.tag(34, w.data());
}

} // namespace nimbrel::movie::test
