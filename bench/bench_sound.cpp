// Sound costs, as a share of one core: a 44.1 kHz stereo MP3 stream decoded
// and mixed through a movie (target under 2 %), eight event sounds mixed at
// once (under 5 %), and how far stream sound and frames drift apart over a
// five-minute movie (within one frame).
// Usage: bench_sound [--seconds S]
#include "movie/MoviePlayer.h"
#include "movie/host/RecordingAudioOutput.h"
#include "movie/sound/SoundMixer.h"
#include "movie/support/SoundFixtures.h"
#include "movie/support/SwfBuilder.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>

using namespace nimbrel::movie;
using namespace nimbrel::movie::test;

namespace {

double cpuSeconds() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

// A stream movie: every frame carries two MP3 frames (2304 samples) of a stereo tone.
QByteArray mp3StreamMovie(int seconds) {
    const int perFrame = 2304;
    const int frames = seconds * 44100 / perFrame;
    const auto packets = encodePackets("libmp3lame", 44100, 2, sineTone(440, 44100, perFrame * (frames + 2), 2));
    SwfBuilder b;
    soundStreamHead(b, soundFlags(2, 44100, true, true), perFrame);
    for (int f = 0; f < frames && size_t(2 * f + 1) < packets.size(); ++f) {
        soundStreamBlock(b, mp3Block(perFrame, packets[size_t(2 * f)] + packets[size_t(2 * f + 1)]));
        b.showFrame();
    }
    b.end();
    return b.build(SwfBuilder::Container::Fws, 10, {0, 2000, 0, 2000}, 44100.0 / perFrame, uint16_t(frames));
}

void mp3Stream(int seconds) {
    const QByteArray movie = mp3StreamMovie(seconds);
    MoviePlayer player;
    host::RecordingAudioOutput out;
    player.setAudioOutput(&out);
    if (!player.loadData(movie)) return;
    const double start = cpuSeconds();
    qint64 heard = 0;
    for (int i = 0; i < player.totalFrames(); ++i) {
        player.stepFrame();
        // Frames that carry sound, so a stream that decodes to silence cannot pass for a fast one.
        for (int16_t s : leftChannel(out.recorded()))
            if (std::abs(s) > 1000) {
                ++heard;
                break;
            }
        out.clear();
    }
    const double cpu = cpuSeconds() - start;
    std::printf("mp3_stream: %d s of sound (%lld of %d frames sounding), %.3f s CPU, %.2f %% of one core (target < 2 %%)\n",
                seconds, (long long)heard, player.totalFrames(), cpu, 100 * cpu / seconds);
}

void eightEvents(int seconds) {
    sound::SoundMixer mixer;
    auto pcm = std::make_shared<const std::vector<int16_t>>(sineTone(440, 44100, 44100 * seconds, 2, 0.1));
    for (int i = 0; i < 8; ++i) {
        sound::EventSound e;
        e.pcm = pcm;
        e.offset = uint32_t(i * 1000);
        // Half of them shaped by an envelope, as authored sounds often are.
        if (i % 2) e.envelope = {{0, 0, 0}, {44100, 32768, 32768}};
        mixer.start(e);
    }
    std::vector<int16_t> out(1470 * 2);
    const double start = cpuSeconds();
    for (int done = 0; done < 44100 * seconds; done += 1470) mixer.mix(out.data(), 1470);
    const double cpu = cpuSeconds() - start;
    std::printf("eight_events: %d s mixed, %.3f s CPU, %.2f %% of one core (target < 5 %%)\n", seconds, cpu,
                100 * cpu / seconds);
}

// Each frame's block opens with a click; the click of frame k must be heard
// at k frame intervals into the recording.
void drift(int seconds) {
    const double fps = 12;
    const int perFrame = 3675;
    const int frames = int(seconds * fps);
    SwfBuilder b;
    soundStreamHead(b, soundFlags(3, 44100, true, false), perFrame);
    std::vector<int16_t> block(perFrame, 0);
    block[0] = 20000;
    const QByteArray bytes = pcm16Bytes(block);
    for (int f = 0; f < frames; ++f) {
        soundStreamBlock(b, bytes);
        b.showFrame();
    }
    b.end();
    MoviePlayer player;
    host::RecordingAudioOutput out;
    player.setAudioOutput(&out);
    if (!player.loadData(b.build(SwfBuilder::Container::Fws, 10, {0, 2000, 0, 2000}, fps, uint16_t(frames)))) return;
    for (int i = 0; i < frames; ++i) player.stepFrame();
    const auto left = leftChannel(out.recorded());
    double worst = 0;
    int clicks = 0;
    for (size_t i = 0; i < left.size(); ++i) {
        if (left[i] < 10000) continue;
        const double framePos = i / (44100.0 / fps);
        worst = std::max(worst, std::abs(framePos - std::round(framePos)));
        ++clicks;
    }
    std::printf("stream_drift: %d frames, %d clicks heard, worst drift %.3f frames (target < 1)\n", frames, clicks,
                worst);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int seconds = 30;
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--seconds"));
    if (at >= 0 && at + 1 < args.size()) seconds = std::max(1, args[at + 1].toInt());
    mp3Stream(seconds);
    eightEvents(seconds);
    drift(300);
    return 0;
}
