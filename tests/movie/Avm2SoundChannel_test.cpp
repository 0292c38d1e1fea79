// A SoundChannel over the movie's mixer: soundComplete once its voice plays
// to the end, none for a channel stopped before.
#include "movie/support/Avm2PlayerTest.h"
#include "movie/support/SoundFixtures.h"

using namespace nimbrel::movie;
using avm2::Value;

namespace {

// The channels that heard soundComplete, in order.
std::vector<const void*> completed;

// A movie whose sound 1 is 3,000 samples of tone at 44,100 Hz: it ends during
// the second frame's sound at 24 frames a second (1,837.5 samples a frame).
QByteArray shortToneMovie() {
    return test::as3Movie(6, [](test::SwfBuilder& b) {
        test::defineSound(b, 1, test::soundFlags(3, 44100, true, false), 3000,
                          test::pcm16Bytes(test::sineTone(440, 44100, 3000)));
    });
}

struct Avm2SoundChannel : test::Avm2PlayerTest {
    void SetUp() override {
        load(shortToneMovie());
        engine->bridge()->link(1, QStringLiteral("flash.media.Sound"));
        completed.clear();
    }
    Value playListening() {
        const Value channel = call(make("flash.media.Sound"), "play");
        EXPECT_FALSE(channel.isNullish());
        call(channel, "addEventListener",
             {Value::string(QStringLiteral("soundComplete")), fn([](avm2::Runtime& rt, const Value&, avm2::Args a) {
                  const Value target = avm2::PropertyAccess::get(rt, a[0], avm2::Name::publicName(QStringLiteral("target")));
                  completed.push_back(target.obj());
                  return Value();
              })});
        return channel;
    }
};

} // namespace

TEST_F(Avm2SoundChannel, CompletesOnceAfterItsVoicePlaysToTheEnd) {
    const Value played = playListening();
    const Value stopped = playListening();
    call(stopped, "stop");
    player.stepFrame();
    EXPECT_TRUE(completed.empty()) << "one frame of sound is not the whole tone";
    player.stepFrame();
    player.stepFrame();
    player.stepFrame();
    EXPECT_EQ(completed, std::vector<const void*>{played.obj()}) << "the played channel completes once; the stopped one never";
    EXPECT_EQ(text(played, "position"), "68") << "a complete channel stays at its end";
}
