// FLV files played through NetStream into a Video: from disk and from the
// web, status events in order, metadata and cue points, the picture and the
// sound, seeking to keyframes, damaged tags and loads the policy refuses.
#include "avm1/support/ActionAssembler.h"
#include "movie/MoviePlayer.h"
#include "movie/host/RecordingAudioOutput.h"
#include "movie/video/FlvReader.h"
#include "movie/video/ScriptData.h"
#include "support/FlvFixtures.h"
#include "support/LocalHttpServer.h"
#include "support/SoundFixtures.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using namespace nimbrel::movie::test;
using nimbrel::movie::avm1::test::ActionAssembler;

namespace {

const QString kStart = "status NetStream.Play.Start status ";
const QString kFull = "status NetStream.Buffer.Full status ";
const QString kFlush = "status NetStream.Buffer.Flush status ";
const QString kStop = "status NetStream.Play.Stop status ";
const QString kEmpty = "status NetStream.Buffer.Empty status ";
const QString kNotFound = "status NetStream.Play.StreamNotFound error ";

std::string joined(const QStringList& lines) { return lines.join(" | ").toStdString(); }

struct Played {
    QStringList traces;
    std::vector<int16_t> left;
    QImage picture; // the stage `drawAfterFull` frames after the buffer filled
    int fullAt = -1; // the frame (step) in which Buffer.Full was reported
};

// Plays `movie` (relative loads from baseUrl) for `frames` frames. With `web`,
// the event loop runs between frames, for the answers of the web.
Played playNetStream(const QByteArray& movie, const QString& baseUrl, int frames, int drawAfterFull = -1, bool web = false) {
    MoviePlayer player;
    host::RecordingAudioOutput out;
    Played run;
    player.setTraceSink([&](const QString& line) { run.traces << line; });
    player.setAudioOutput(&out);
    EXPECT_TRUE(player.loadData(movie, baseUrl));
    for (int i = 0; i < frames; ++i) {
        for (const QDeadlineTimer spin(web ? 20 : 0); web && !spin.hasExpired();)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        player.stepFrame();
        if (run.fullAt < 0 && run.traces.contains(kFull)) run.fullAt = i;
        if (run.fullAt >= 0 && i == run.fullAt + drawAfterFull) run.picture = player.renderImage(QSize(400, 300));
    }
    player.setAudioOutput(nullptr);
    run.left = leftChannel(out.recorded());
    return run;
}

ActionAssembler traceTime() {
    ActionAssembler a;
    a.pushString("time ").getVariable("ns").pushString("time").op(0x4E).op(0x47).trace();
    return a;
}

ActionAssembler callNs(const QString& method, std::optional<double> argument) {
    ActionAssembler a;
    if (argument) a.pushNumber(*argument);
    a.pushInt(argument ? 1 : 0).getVariable("ns").pushString(method).op(0x52).op(0x17);
    return a;
}

class FileFolder {
public:
    QString write(const QString& name, const QByteArray& bytes) {
        QFile f(QDir(dir_.path()).filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QString base() const { return dir_.path() + "/"; }

private:
    QTemporaryDir dir_;
};

struct PlayCase {
    const char* name;
    FlvSpec::Sound sound;
    bool overHttp;
};

class NetStreamPlays : public testing::TestWithParam<PlayCase> {};

TEST_P(NetStreamPlays, ReportsInOrderDrawsItsPicturesAndSoundsItsTone) {
    const PlayCase& c = GetParam();
    const QByteArray flv = flvFile({20, 5, c.sound});
    ASSERT_FALSE(flv.isEmpty()) << "an encoder is missing";
    const QByteArray time = traceTime().tagBody();
    const FrameActions later = {{12, time}};
    FileFolder folder;
    LocalHttpServer server(LocalHttpServer::Mode::Answer);
    QString base;
    if (c.overHttp) {
        server.setBody(flv);
        base = server.url("/");
    } else {
        folder.write("clip.flv", flv);
        base = folder.base();
    }
    const Played run = playNetStream(netStreamMovie("clip.flv", later, 100), base, c.overHttp ? 80 : 30, 7, c.overHttp);

    QStringList expected = {kStart, kFull, "meta 2 32 32 10 true tests 0.5 ", "cue half 1 event ", "time 1.1",
                            kFlush, kStop, kEmpty};
    QStringList traces = run.traces;
    // A web answer comes after some turns of the event loop: when it starts is not the frames' to say.
    if (c.overHttp) {
        expected.removeAll("time 1.1");
        traces.removeIf([](const QString& line) { return line.startsWith("time "); });
    }
    EXPECT_EQ(joined(traces), joined(expected));
    // Seven frames after the first picture comes picture 7: the second keyframe's colour on the left, white on the right.
    EXPECT_EQ(run.picture.pixel(40, 60), flvKeyColour(7, 5));
    EXPECT_EQ(run.picture.pixel(140, 60), 0xffffffffu);
    EXPECT_EQ(run.picture.pixel(200, 60), 0xffffffffu) << "drawn beyond the Video";
    if (c.sound == FlvSpec::Sound::None) {
        EXPECT_EQ(peak(run.left, 0, int(run.left.size())), 0);
        return;
    }
    // Heard from the frame after the buffer filled (MP3 after its encoder's delay), for the file's two seconds.
    const int begin = firstLoudSample(run.left, 2000), end = lastLoudSample(run.left, 2000);
    EXPECT_NEAR(begin, (run.fullAt + 1) * 4410, 1500);
    EXPECT_NEAR(end - begin, 20 * 4410, 3000);
    EXPECT_NEAR(zeroCrossingHz(run.left, begin + 2000, end - 2000), 441, 5);
}

INSTANTIATE_TEST_SUITE_P(Sources, NetStreamPlays,
                         testing::Values(PlayCase{"PcmFromDisk", FlvSpec::Sound::Pcm, false},
                                         PlayCase{"Mp3FromDisk", FlvSpec::Sound::Mp3, false},
                                         PlayCase{"SilentFromDisk", FlvSpec::Sound::None, false},
                                         PlayCase{"PcmOverHttp", FlvSpec::Sound::Pcm, true},
                                         PlayCase{"Mp3OverHttp", FlvSpec::Sound::Mp3, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ControlCase {
    const char* name;
    std::vector<std::pair<int, ActionAssembler>> later;
    QStringList expectedTail; // the traces after the first frames' Play.Start, Buffer.Full and meta
};

class NetStreamControls : public testing::TestWithParam<ControlCase> {};

TEST_P(NetStreamControls, ActOnTheClock) {
    const ControlCase& c = GetParam();
    FileFolder folder;
    folder.write("clip.flv", flvFile({20, 5, FlvSpec::Sound::Pcm}));
    FrameActions later;
    for (const auto& [frame, actions] : c.later) later.emplace_back(frame, actions.tagBody());
    const Played run = playNetStream(netStreamMovie("clip.flv", later), folder.base(), 40);
    ASSERT_GE(run.traces.size(), 3);
    EXPECT_EQ(joined(run.traces.mid(3)), joined(c.expectedTail));
}

// v.smoothing = true; trace("size " + v.width + " " + v.height + " " + v.smoothing)
ActionAssembler traceVideo() {
    ActionAssembler a;
    a.getVariable("v").pushString("smoothing").pushBool(true).op(0x4F);
    a.pushString("size ");
    for (const char* p : {"width", "height", "smoothing"}) {
        a.getVariable("v").pushString(p).op(0x4E).op(0x47);
        if (std::string(p) != "smoothing") a.pushString(" ").op(0x47);
    }
    return a.trace();
}

ActionAssembler then(ActionAssembler a, const ActionAssembler& b) {
    a.raw(b.bytes());
    return a;
}

INSTANTIATE_TEST_SUITE_P(Scripts, NetStreamControls, testing::Values(
    // 1.2 s lands on the keyframe at 1.0 s, and playing goes on from there.
    ControlCase{"SeekLandsOnTheKeyframeBefore", {{4, then(callNs("seek", 1.2), traceTime())}, {6, traceTime()}},
                {"time 1", "status NetStream.Seek.Notify status ", kFull, "cue half 1 event ", "time 1.1", kFlush, kStop,
                 kEmpty}},
    ControlCase{"SeekPastTheEndIsRefused", {{4, callNs("seek", 9)}, {5, traceTime()}},
                {"status NetStream.Seek.InvalidTime error ", "time 0.4", "cue half 1 event ", kFlush, kStop, kEmpty}},
    // Paused for five frames: the clock stands still, then goes on from where it stood.
    ControlCase{"PauseHoldsTheClock", {{4, callNs("pause", true)}, {6, traceTime()}, {9, then(traceTime(), callNs("pause", false))},
                                       {12, traceTime()}},
                {"time 0.3", "time 0.3", "time 0.5", "cue half 1 event ", kFlush, kStop, kEmpty}},
    // The picture's own size, not the 160x120 it is drawn at; it stays after close().
    ControlCase{"CloseEndsEverythingButThePicture", {{4, callNs("close", std::nullopt)}, {6, then(traceTime(), traceVideo())}},
                {"time 0", "size 32 32 true"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NetStream, PlaysFromTheWebBeforeTheWholeFileHasArrived) {
    const QByteArray flv = flvFile({40, 5, FlvSpec::Sound::Mp3});
    ASSERT_FALSE(flv.isEmpty());
    LocalHttpServer server(LocalHttpServer::Mode::Paced, 20);
    server.setBody(flv);
    MoviePlayer player;
    QStringList traces;
    qint64 sentWhenFull = -1;
    player.setTraceSink([&](const QString& line) {
        traces << line;
        if (line == kFull && sentWhenFull < 0) sentWhenFull = server.bytesSent();
    });
    ASSERT_TRUE(player.loadData(netStreamMovie("clip.flv", {}, 2000), server.url("/")));
    const QDeadlineTimer deadline(60000);
    while (!traces.contains(kEmpty) || !traces.contains(kStop)) {
        ASSERT_FALSE(deadline.hasExpired()) << traces.join('|').toStdString();
        // About ten frames of the movie pass in the time the server sends a quarter of the file.
        const QDeadlineTimer frame(10);
        while (!frame.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        player.stepFrame();
    }
    ASSERT_GE(traces.size(), 5);
    SCOPED_TRACE(joined(traces));
    EXPECT_EQ(joined(traces.mid(0, 2)), joined({kStart, kFull}));
    EXPECT_GT(sentWhenFull, 0);
    EXPECT_LT(sentWhenFull, flv.size()) << "waited for the whole file";
    EXPECT_EQ(joined(traces.mid(traces.size() - 3)), joined({kFlush, kStop, kEmpty}));
    EXPECT_TRUE(traces.contains("cue half 2 event "));
}

TEST(NetStream, MissingOrRefusedFilesReportStreamNotFound) {
    FileFolder folder;
    LocalHttpServer server(LocalHttpServer::Mode::Answer);
    server.setBody(flvFile({}));
    // A movie from the disk without network access may not reach the web.
    for (const QString& url : {QString("missing.flv"), server.url("/clip.flv")}) {
        const Played run = playNetStream(netStreamMovie(url), folder.base(), 5);
        EXPECT_EQ(joined(run.traces), joined({kNotFound})) << url.toStdString();
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

// Damage between the second and third tag, and the tags that still come out.
struct DamageCase {
    const char* name;
    std::function<void(FlvBuilder&)> damage;
    int skipped;
};

class FlvDamage : public testing::TestWithParam<DamageCase> {};

TEST_P(FlvDamage, IsSkippedAndReadingGoesOnWhetherBytesComeAtOnceOrOneByOne) {
    auto build = [&](bool damaged) {
        FlvBuilder flv(true, true);
        flv.audio(0, 0x3e, QByteArray(400, '\x10'));
        flv.video(0, 2, true, QByteArray(50, '\x20'));
        if (damaged) GetParam().damage(flv);
        flv.script(100, amf::message("onCuePoint", amf::object({{"name", amf::string("x")}})));
        flv.audio(100, 0x3e, QByteArray(400, '\x30'));
        return flv.bytes();
    };
    const QByteArray bytes = build(true);
    for (const bool oneByOne : {false, true}) {
        video::FlvReader reader;
        std::vector<video::FlvTag> tags;
        for (qsizetype at = 0; at < bytes.size(); at += oneByOne ? 1 : bytes.size()) {
            reader.append(bytes.mid(at, oneByOne ? 1 : -1));
            while (auto tag = reader.next()) tags.push_back(*tag);
        }
        reader.finish();
        while (auto tag = reader.next()) tags.push_back(*tag);
        ASSERT_EQ(tags.size(), 4u) << (oneByOne ? "one by one" : "at once");
        EXPECT_EQ(tags[2].type, video::FlvTag::Script);
        EXPECT_EQ(tags[3].data, QByteArray(1, '\x3e') + QByteArray(400, '\x30'));
        EXPECT_EQ(reader.skippedTags(), GetParam().skipped);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, FlvDamage, testing::Values(
    DamageCase{"UnknownType", [](FlvBuilder& f) { f.tag(7, 50, QByteArray(30, '\x09')); }, 1},
    DamageCase{"WrongSizeAfter", [](FlvBuilder& f) { f.tag(9, 50, QByteArray(30, '\x09'), false); }, 1},
    DamageCase{"GarbageBytes", [](FlvBuilder& f) { f.raw(QByteArray(37, '\xab')); }, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScriptData, CutShortOrNestedTooDeeplyIsAnErrorNotACrash) {
    const QByteArray whole = amf::message("onMetaData", amf::ecmaArray({{"a", amf::strictArray({amf::number(1), amf::string("x")})},
                                                                       {"b", amf::object({{"c", amf::boolean(true)}})}}));
    const auto parsed = video::ScriptData::parse(whole);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->value.member("a")->items[1].string, "x");
    EXPECT_TRUE(parsed->value.member("b")->member("c")->boolean);
    // Cut anywhere past the name, the value is damaged.
    for (qsizetype cut = 14; cut < whole.size(); ++cut) {
        QString error;
        EXPECT_FALSE(video::ScriptData::parse(whole.left(cut), &error)) << cut;
        EXPECT_FALSE(error.isEmpty()) << cut;
    }
    QByteArray deep = amf::number(1);
    for (int i = 0; i < 200; ++i) deep = amf::object({{"n", deep}});
    EXPECT_FALSE(video::ScriptData::parse(amf::message("onMetaData", deep)));
}

TEST(FlvReader, RefusesWhatIsNotFlv) {
    video::FlvReader reader;
    reader.append("FWS\x08 not a video file at all");
    EXPECT_FALSE(reader.next());
    EXPECT_FALSE(reader.error().isEmpty());
}

} // namespace
