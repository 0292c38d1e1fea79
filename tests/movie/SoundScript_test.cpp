// Sound objects in scripts: attachSound and start with loops, position and
// duration, onSoundComplete, stop, volume and pan, stopAllSounds, and MP3
// files loaded whole or played as they arrive.
#include "avm1/support/ActionAssembler.h"
#include "movie/MoviePlayer.h"
#include "movie/host/RecordingAudioOutput.h"
#include "support/LocalHttpServer.h"
#include "support/SoundFixtures.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using namespace nimbrel::movie::test;
using nimbrel::movie::avm1::test::ActionAssembler;

namespace {

constexpr int kFrame = 4410; // samples a frame at 10 fps

ActionAssembler& pop(ActionAssembler& a) { return a.op(0x17); }

// s.method(args...) with the arguments pushed last to first; the result dropped.
ActionAssembler& callOnS(ActionAssembler& a, const QString& method, const std::vector<double>& args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) a.pushNumber(*it);
    a.pushInt(int(args.size())).getVariable("s").pushString(method).op(0x52);
    return pop(a);
}

// A movie exporting a constant-level tone of `toneFrames` samples as "tone";
// frame 0 runs `first` after making s = new Sound() with it attached, frame
// `laterAt` runs `later`.
QByteArray scriptedSoundMovie(int toneFrames, const ActionAssembler& first, int laterAt, const ActionAssembler& later,
                              int frames = 12) {
    SwfBuilder b;
    defineSound(b, 1, soundFlags(3, 44100, true, false), uint32_t(toneFrames),
                pcm16Bytes(std::vector<int16_t>(size_t(toneFrames), 10000)));
    b.tag(56, QByteArray("\x01\x00\x01\x00" "tone\0", 9));
    ActionAssembler setup;
    setup.pushString("s").pushInt(0).pushString("Sound").op(0x40).setVariable();
    setup.pushString("tone").pushInt(1).getVariable("s").pushString("attachSound").op(0x52);
    pop(setup);
    ActionAssembler onComplete;
    onComplete.traceString("complete");
    setup.getVariable("s").pushString("onSoundComplete").defineFunction("", {}, onComplete).op(0x4F);
    b.doAction(setup.tagBody() + first.tagBody());
    for (int f = 0; f < frames; ++f) {
        if (f == laterAt) b.doAction(later.tagBody());
        b.showFrame();
    }
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 2000, 0, 2000}, 10, uint16_t(frames));
}

struct Heard {
    QStringList traces;
    std::vector<int16_t> left, right;
};

Heard playSound(const QByteArray& movie, int advances) {
    MoviePlayer player;
    host::RecordingAudioOutput out;
    Heard run;
    player.setTraceSink([&](const QString& line) { run.traces << line; });
    player.setAudioOutput(&out);
    EXPECT_TRUE(player.loadData(movie));
    for (int i = 0; i < advances; ++i) player.stepFrame();
    player.setAudioOutput(nullptr);
    run.left = leftChannel(out.recorded());
    run.right = leftChannel(out.recorded().mid(2));
    return run;
}

TEST(SoundScript, StartWithLoopsReportsDurationPositionAndCompletionOnce) {
    ActionAssembler first;
    callOnS(first, "start", {0, 2});
    first.getVariable("s").pushString("duration").op(0x4E).trace();
    ActionAssembler later;
    later.getVariable("s").pushString("position").op(0x4E).trace();
    const Heard run = playSound(scriptedSoundMovie(2 * kFrame, first, 1, later), 8);
    // 200 ms of sound, played twice: heard for four frames, then silence.
    ASSERT_GE(run.traces.size(), 3);
    EXPECT_EQ(run.traces[0], "200");
    EXPECT_EQ(run.traces[1], "100");
    EXPECT_EQ(run.traces.count("complete"), 1);
    EXPECT_EQ(lastLoudSample(run.left, 5000), 4 * kFrame - 1);
}

TEST(SoundScript, StartOffsetSkipsIntoTheSound) {
    ActionAssembler first;
    callOnS(first, "start", {0.05}); // 50 ms in
    const Heard run = playSound(scriptedSoundMovie(2 * kFrame, first, -1, {}), 4);
    EXPECT_EQ(lastLoudSample(run.left, 5000), 2 * kFrame - 2205 - 1);
}

struct LaterCase {
    const char* name;
    std::function<void(ActionAssembler&)> atFrame2;
    int leftPeakAfter;  // in frames 3..5
    int rightPeakAfter;
};

class SoundControl : public ::testing::TestWithParam<LaterCase> {};

TEST_P(SoundControl, AppliesFromTheFrameItRuns) {
    const LaterCase& c = GetParam();
    ActionAssembler first;
    callOnS(first, "start", {});
    ActionAssembler later;
    c.atFrame2(later);
    const Heard run = playSound(scriptedSoundMovie(10 * kFrame, first, 2, later), 6);
    EXPECT_EQ(peak(run.left, 0, 2 * kFrame), 10000) << c.name;
    EXPECT_EQ(peak(run.left, 3 * kFrame, 6 * kFrame), c.leftPeakAfter) << c.name;
    EXPECT_EQ(peak(run.right, 3 * kFrame, 6 * kFrame), c.rightPeakAfter) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Controls, SoundControl,
    ::testing::Values(
        LaterCase{"nothing", [](ActionAssembler&) {}, 10000, 10000},
        LaterCase{"stop", [](ActionAssembler& a) { callOnS(a, "stop", {}); }, 0, 0},
        LaterCase{"stopAllSounds", [](ActionAssembler& a) { a.op(0x09); }, 0, 0},
        LaterCase{"volume", [](ActionAssembler& a) { callOnS(a, "setVolume", {25}); }, 2500, 2500},
        LaterCase{"panRight", [](ActionAssembler& a) { callOnS(a, "setPan", {60}); }, 4000, 10000},
        LaterCase{"transformCrossed",
                  [](ActionAssembler& a) {
                      // s.setTransform({ll: 0, lr: 50, rr: 0, rl: 0}): the left input plays on the right at half.
                      a.pushString("ll").pushNumber(0).pushString("lr").pushNumber(50).pushString("rr").pushNumber(0)
                          .pushString("rl").pushNumber(0).pushInt(4).op(0x43);
                      a.pushInt(1).getVariable("s").pushString("setTransform").op(0x52);
                      pop(a);
                  },
                  0, 5000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SoundScript, LoadSoundStreamsAnMp3FileBesideTheMovieAndReadsItsTags) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray mp3("ID3\x03\x00\x00\x00\x00\x00\x0f" "TIT2\x00\x00\x00\x05\x00\x00" "\x00Tone", 25);
    for (const QByteArray& p : encodePackets("libmp3lame", 44100, 1, sineTone(441, 44100, 1152 * 38))) mp3 += p;
    ASSERT_GT(mp3.size(), 1000) << "MP3 encoder missing";
    QFile sound(QDir(dir.path()).filePath("tone.mp3"));
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
    sound.write(mp3);
    sound.close();

    ActionAssembler onLoad;
    onLoad.getVariable("ok").trace();
    onLoad.getVariable("this").pushString("id3").op(0x4E).pushString("songname").op(0x4E).trace();
    ActionAssembler first;
    first.getVariable("s").pushString("onLoad").defineFunction("", {"ok"}, onLoad).op(0x4F);
    first.pushBool(true).pushString("tone.mp3").pushInt(2).getVariable("s").pushString("loadSound").op(0x52);
    pop(first);
    QFile movie(QDir(dir.path()).filePath("test.swf"));
    ASSERT_TRUE(movie.open(QIODevice::WriteOnly));
    movie.write(scriptedSoundMovie(100, first, -1, {}, 40));
    movie.close();

    MoviePlayer player;
    host::RecordingAudioOutput out;
    QStringList traces;
    player.setTraceSink([&](const QString& line) { traces << line; });
    player.setAudioOutput(&out);
    player.setMovie(movie.fileName());
    ASSERT_TRUE(player.isLoaded());
    for (int i = 0; i < 20; ++i) player.stepFrame();
    player.setAudioOutput(nullptr);
    EXPECT_EQ(traces, QStringList({"true", "Tone", "complete"}));
    const auto heard = leftChannel(out.recorded());
    const int begin = firstLoudSample(heard, 2000), end = lastLoudSample(heard, 2000);
    ASSERT_GT(begin, 0);
    EXPECT_NEAR(end - begin, 1152 * 38, 2500); // about one second, encoder delay aside
    EXPECT_NEAR(zeroCrossingHz(heard, begin + 2000, end - 2000), 441, 5);
}

} // namespace

namespace {

// A movie of `frames` frames at 10 fps (played fewer times, so it never loops) whose first frame loads `url` as a
// streaming sound (with a one-second buffer) and whose every frame traces
// "bytes <loaded> <total> <duration>"; onLoad traces "load <ok>", onSoundComplete "complete".
// Frame `laterAt` runs `later` first.
QByteArray streamingSoundMovie(const QString& url, int frames, int laterAt = -1, const ActionAssembler& later = {}) {
    ActionAssembler first;
    first.pushString("").pushInt(18).pushInt(1).op(0x23); // _soundbuftime = 1
    first.pushString("s").pushInt(0).pushString("Sound").op(0x40).setVariable();
    ActionAssembler onLoad, onComplete;
    onLoad.pushString("load ").getVariable("ok").op(0x47).trace();
    onComplete.traceString("complete");
    first.getVariable("s").pushString("onLoad").defineFunction("", {"ok"}, onLoad).op(0x4F);
    first.getVariable("s").pushString("onSoundComplete").defineFunction("", {}, onComplete).op(0x4F);
    first.pushBool(true).pushString(url).pushInt(2).getVariable("s").pushString("loadSound").op(0x52);
    pop(first);
    ActionAssembler each;
    each.pushString("bytes ");
    each.pushInt(0).getVariable("s").pushString("getBytesLoaded").op(0x52).op(0x47).pushString(" ").op(0x47);
    each.pushInt(0).getVariable("s").pushString("getBytesTotal").op(0x52).op(0x47).pushString(" ").op(0x47);
    each.getVariable("s").pushString("duration").op(0x4E).op(0x47).trace();
    SwfBuilder b;
    b.doAction(first.tagBody());
    for (int f = 0; f < frames; ++f) {
        if (f == laterAt) b.doAction(later.tagBody());
        b.doAction(each.tagBody());
        b.showFrame();
    }
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 2000, 0, 2000}, 10, uint16_t(frames));
}

struct StreamRun {
    QStringList traces;
    std::vector<int16_t> left;
    int loadedAt = -1; // the frame whose scripts heard onLoad
};

// Plays the movie with the event loop running between frames, for the answers of the web.
StreamRun playStreaming(const QByteArray& movie, const QString& baseUrl, int frames) {
    MoviePlayer player;
    host::RecordingAudioOutput out;
    StreamRun run;
    player.setTraceSink([&](const QString& line) { run.traces << line; });
    player.setAudioOutput(&out);
    EXPECT_TRUE(player.loadData(movie, baseUrl));
    for (int i = 0; i < frames; ++i) {
        for (const QDeadlineTimer spin(20); !spin.hasExpired();) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        player.stepFrame();
        if (run.loadedAt < 0 && run.traces.contains("load true")) run.loadedAt = i;
    }
    player.setAudioOutput(nullptr);
    run.left = leftChannel(out.recorded());
    return run;
}

TEST(SoundScript, StreamingLoadPlaysFromTheWebBeforeTheFileHasArrived) {
    constexpr int kTone = 1152 * 115; // three seconds
    QByteArray mp3;
    for (const QByteArray& p : encodePackets("libmp3lame", 44100, 1, sineTone(441, 44100, kTone))) mp3 += p;
    ASSERT_GT(mp3.size(), 8 * LocalHttpServer::pacedBytes) << "MP3 encoder missing";
    LocalHttpServer server(LocalHttpServer::Mode::Paced, 20);
    server.setBody(mp3);
    const StreamRun run = playStreaming(streamingSoundMovie("tone.mp3", 70), server.url("/"), 60);
    SCOPED_TRACE(run.traces.join('|').toStdString());

    ASSERT_GT(run.loadedAt, 0);
    const int begin = firstLoudSample(run.left, 2000), end = lastLoudSample(run.left, 2000);
    ASSERT_GT(begin, 0);
    EXPECT_LT(begin / kFrame, run.loadedAt) << "waited for the whole file";
    EXPECT_NEAR(end - begin, kTone, 2500);
    EXPECT_NEAR(zeroCrossingHz(run.left, begin + 2000, end - 2000), 441, 5);
    // onLoad once, then onSoundComplete once the last of it was heard.
    EXPECT_EQ(run.traces.count("load true"), 1);
    ASSERT_EQ(run.traces.count("complete"), 1);
    EXPECT_LT(run.traces.indexOf("load true"), run.traces.indexOf("complete"));
    // The bytes loaded grow in steps to the size of the file; the total is the
    // size once the answer has declared it, and never less than what came.
    QList<qint64> loaded;
    QList<double> duration;
    for (const QString& t : run.traces) {
        const QStringList parts = t.split(' ');
        if (parts.size() != 4 || parts[0] != "bytes") continue;
        loaded << parts[1].toLongLong();
        duration << parts[3].toDouble();
        const qint64 total = parts[2].toLongLong();
        EXPECT_TRUE(total == loaded.last() || total == mp3.size()) << total;
    }
    ASSERT_FALSE(loaded.isEmpty());
    EXPECT_TRUE(std::is_sorted(loaded.begin(), loaded.end()));
    EXPECT_GE(std::count_if(loaded.begin(), loaded.end(), [&](qint64 n) { return n > 0 && n < mp3.size(); }), 2);
    EXPECT_EQ(loaded.last(), mp3.size());
    // The duration grows with the download to the length of the file.
    EXPECT_TRUE(std::is_sorted(duration.begin(), duration.end()));
    EXPECT_GE(std::count_if(duration.begin(), duration.end(), [&](double d) { return d > 0 && d < duration.last(); }), 2);
    EXPECT_NEAR(duration.last(), kTone * 1000.0 / 44100, 60); // the encoder's padding frame aside
}

// A three-second tone as tone.mp3 in a folder of its own.
class ToneFolder {
public:
    ToneFolder() {
        QFile file(QDir(dir_.path()).filePath("tone.mp3"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        for (const QByteArray& p : encodePackets("libmp3lame", 44100, 1, sineTone(441, 44100, 1152 * 115))) file.write(p);
    }
    QString base() const { return dir_.path() + "/"; }

private:
    QTemporaryDir dir_;
};

TEST(SoundScript, StoppingAStreamingSoundSilencesItWhereItsPositionSays) {
    ToneFolder folder;
    ActionAssembler stop;
    callOnS(stop, "stop", {});
    stop.pushString("at ").getVariable("s").pushString("position").op(0x4E).op(0x47).trace();
    const StreamRun run = playStreaming(streamingSoundMovie("tone.mp3", 30, 12, stop), folder.base(), 25);
    SCOPED_TRACE(run.traces.join('|').toStdString());
    const qsizetype at = run.traces.indexOf(QRegularExpression("at .*"));
    ASSERT_GE(at, 0);
    const double positionMs = run.traces[at].mid(3).toDouble();
    const int begin = firstLoudSample(run.left, 2000), end = lastLoudSample(run.left, 2000);
    ASSERT_GT(begin, 0);
    EXPECT_GT(positionMs, 500);
    EXPECT_NEAR((end - begin) * 1000.0 / 44100, positionMs, 120); // the encoder's silent start aside
    EXPECT_LT(end, 13 * kFrame);
    EXPECT_FALSE(run.traces.contains("complete"));
}

TEST(SoundScript, AStreamingSoundPlaysUnderItsSoundsVolume) {
    ToneFolder folder;
    ActionAssembler quieter;
    callOnS(quieter, "setVolume", {25});
    const StreamRun run = playStreaming(streamingSoundMovie("tone.mp3", 30, 12, quieter), folder.base(), 25);
    const int before = peak(run.left, 5 * kFrame, 11 * kFrame), after = peak(run.left, 14 * kFrame, 20 * kFrame);
    ASSERT_GT(before, 10000);
    EXPECT_NEAR(double(after) / before, 0.25, 0.03);
}

TEST(SoundScript, StreamingLoadOfAMissingOrRefusedFileFailsInSilence) {
    QTemporaryDir dir;
    LocalHttpServer server(LocalHttpServer::Mode::Answer);
    // A movie from the disk without network access may not reach the web.
    for (const QString& url : {QString("missing.mp3"), server.url("/tone.mp3")}) {
        const StreamRun run = playStreaming(streamingSoundMovie(url, 12), dir.path() + "/", 8);
        EXPECT_EQ(run.traces.count("load false"), 1) << url.toStdString();
        EXPECT_FALSE(run.traces.contains("complete")) << url.toStdString();
        EXPECT_EQ(firstLoudSample(run.left, 100), -1) << url.toStdString();
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

} // namespace
