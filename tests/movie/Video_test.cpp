// Embedded video: the stream and packet tags, decoding through libavcodec
// (real encoder output for H.263 and Screen Video), pictures drawn where the
// timeline places them and following its frames, and damaged or absent data
// that costs a picture, never the player.
#include "movie/MoviePlayer.h"
#include "movie/display/MovieClip.h"
#include "movie/display/VideoObject.h"
#include "movie/render/StageRenderer.h"
#include "movie/swf/MovieParser.h"
#include "movie/swf/VideoTags.h"
#include "movie/video/VideoDecoder.h"
#include "movie/video/VideoSequence.h"
#include "support/VideoFixtures.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <set>

namespace nimbrel::movie {
namespace {

using swf::VideoStreamDef;
using video::VideoDecoder;
using video::VideoSequence;

const QColor kRed(220, 30, 30), kBlue(30, 40, 220), kGreen(30, 200, 60), kYellow(230, 220, 40);

// Within a lossy codec's reach of the colour that went in.
::testing::AssertionResult rgbNear(QRgb got, QColor want, int tolerance = 24) {
    const int dr = std::abs(qRed(got) - want.red()), dg = std::abs(qGreen(got) - want.green()),
              db = std::abs(qBlue(got) - want.blue());
    if (dr <= tolerance && dg <= tolerance && db <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << qRed(got) << "," << qGreen(got) << "," << qBlue(got)
                                         << " want " << want.red() << "," << want.green() << "," << want.blue();
}

std::vector<QByteArray> dataOf(const std::vector<test::EncodedPacket>& packets) {
    std::vector<QByteArray> out;
    for (const auto& p : packets) out.push_back(p.data);
    return out;
}

// The H.263 packets of a 64x48 stream whose pictures run red|blue, green|yellow,
// blue|red, one keyframe at the start.
std::vector<test::EncodedPacket> threeH263Pictures(int keyInterval = 100) {
    return test::encodePictures("flv", {test::splitPicture(64, 48, kRed, kBlue), test::splitPicture(64, 48, kGreen, kYellow),
                                        test::splitPicture(64, 48, kBlue, kRed)},
                                keyInterval);
}

std::shared_ptr<VideoStreamDef> streamOf(uint8_t codec, const std::vector<QByteArray>& packets) {
    auto s = std::make_shared<VideoStreamDef>();
    s->id = 1;
    s->codec = codec;
    s->width = 64;
    s->height = 48;
    for (size_t i = 0; i < packets.size(); ++i) s->frames.emplace(uint16_t(i), packets[i]);
    return s;
}

TEST(VideoTags, StreamFieldsAndPacketsGatheredByNumber) {
    test::SwfBuilder b;
    test::defineVideoStream(b, 7, 3, 320, 240, VideoStreamDef::Vp6Alpha, true, 1);
    test::videoFrame(b, 7, 1, "second");
    test::videoFrame(b, 7, 0, "first");
    test::videoFrame(b, 7, 0, "again"); // a repeated number keeps the first packet
    test::videoFrame(b, 9, 0, "nobody"); // no such stream
    b.showFrame();
    b.end();
    auto movie = swf::MovieParser::parse(b.build());
    ASSERT_TRUE(movie);
    auto stream = movie.value()->video(7);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->frameCount, 3);
    EXPECT_EQ(stream->width, 320);
    EXPECT_EQ(stream->height, 240);
    EXPECT_EQ(stream->codec, VideoStreamDef::Vp6Alpha);
    EXPECT_TRUE(stream->smoothing);
    EXPECT_EQ(stream->deblocking, 1);
    ASSERT_EQ(stream->frames.size(), 2u);
    EXPECT_EQ(stream->frames.at(0), QByteArray("first"));
    EXPECT_EQ(stream->frames.at(1), QByteArray("second"));
    EXPECT_FALSE(movie.value()->warnings.filter("unknown stream 9").isEmpty());
}

TEST(VideoTags, CutShortTagsAreRefused) {
    const uint8_t shortStream[] = {1, 0, 2, 0, 64, 0, 48, 0, 0}; // codec byte missing
    EXPECT_FALSE(VideoStreamDef::parse(shortStream, sizeof shortStream));
    const uint8_t shortFrame[] = {1, 0, 2};
    EXPECT_FALSE(swf::VideoFramePacket::parse(shortFrame, sizeof shortFrame));
}

TEST(VideoDecoder, H263KeyframesAreRecognisedInTheBitstream) {
    const auto packets = test::encodePictures(
        "flv", std::vector<QImage>(6, test::splitPicture(64, 48, kRed, kBlue)), /*keyInterval=*/3);
    ASSERT_EQ(packets.size(), 6u);
    int keys = 0;
    for (const auto& p : packets) {
        keys += p.keyframe;
        EXPECT_EQ(VideoDecoder::isKeyframe(VideoStreamDef::SorensonH263,
                                           reinterpret_cast<const uint8_t*>(p.data.constData()), size_t(p.data.size())),
                  p.keyframe);
    }
    EXPECT_EQ(keys, 2);
}

TEST(VideoDecoder, H263PictureComesBackInItsColours) {
    const auto packets = threeH263Pictures();
    ASSERT_EQ(packets.size(), 3u);
    VideoDecoder decoder(VideoStreamDef::SorensonH263, 0);
    ASSERT_TRUE(decoder.isValid());
    ASSERT_TRUE(decoder.decode(reinterpret_cast<const uint8_t*>(packets[0].data.constData()), size_t(packets[0].data.size())));
    const QImage& p = decoder.picture();
    ASSERT_EQ(p.size(), QSize(64, 48));
    EXPECT_TRUE(rgbNear(p.pixel(10, 24), kRed));
    EXPECT_TRUE(rgbNear(p.pixel(54, 24), kBlue));
}

TEST(VideoDecoder, ScreenVideoIsLossless) {
    const auto packets = test::encodePictures("flashsv", {test::splitPicture(64, 48, kGreen, kYellow)});
    ASSERT_EQ(packets.size(), 1u);
    VideoDecoder decoder(VideoStreamDef::ScreenVideo, 0);
    ASSERT_TRUE(decoder.decode(reinterpret_cast<const uint8_t*>(packets[0].data.constData()), size_t(packets[0].data.size())));
    EXPECT_EQ(decoder.picture().pixel(0, 0), kGreen.rgb());
    EXPECT_EQ(decoder.picture().pixel(63, 47), kYellow.rgb());
}

// Every codec meets garbage, cut packets and empty ones: each is skipped, the
// last good picture stays, and nothing crashes (VP6 is covered here only: no
// encoder exists for it).
TEST(VideoDecoder, DamagedPacketsAreSkippedForEveryCodec) {
    const auto h263 = threeH263Pictures();
    ASSERT_FALSE(h263.empty());
    QByteArray noise;
    for (int i = 0; i < 700; ++i) noise.append(char((i * 73 + 11) & 0xff));
    const QByteArray cut = h263[0].data.left(6);
    for (uint8_t codec : {VideoStreamDef::SorensonH263, VideoStreamDef::ScreenVideo, VideoStreamDef::Vp6,
                          VideoStreamDef::Vp6Alpha, VideoStreamDef::ScreenVideo2}) {
        SCOPED_TRACE(int(codec));
        VideoDecoder decoder(codec, 0);
        EXPECT_TRUE(decoder.isValid());
        for (const QByteArray& bad : {noise, cut, QByteArray("\xff\xff\xff\xff", 4), QByteArray()})
            decoder.decode(reinterpret_cast<const uint8_t*>(bad.constData()), size_t(bad.size()));
        EXPECT_GE(decoder.skippedPackets(), 3);
    }
    VideoDecoder decoder(VideoStreamDef::SorensonH263, 0);
    ASSERT_TRUE(decoder.decode(reinterpret_cast<const uint8_t*>(h263[0].data.constData()), size_t(h263[0].data.size())));
    EXPECT_FALSE(decoder.decode(reinterpret_cast<const uint8_t*>(noise.constData()), size_t(noise.size())));
    EXPECT_EQ(decoder.skippedPackets(), 1);
    EXPECT_TRUE(rgbNear(decoder.picture().pixel(10, 24), kRed));
}

TEST(VideoDecoder, UnknownCodecDecodesNothing) {
    VideoDecoder decoder(9, 0);
    EXPECT_FALSE(decoder.isValid());
    const uint8_t data[] = {0, 0, 0x84, 0};
    EXPECT_FALSE(decoder.decode(data, sizeof data));
}

TEST(VideoSequence, SeeksDecodeFromTheLastKeyframeInOrder) {
    const auto packets = threeH263Pictures();
    ASSERT_EQ(packets.size(), 3u);
    ASSERT_FALSE(packets[1].keyframe || packets[2].keyframe);
    VideoSequence seq(streamOf(VideoStreamDef::SorensonH263, dataOf(packets)));
    // Straight to the third picture: the two before it are decoded first.
    EXPECT_TRUE(rgbNear(seq.pictureAt(2).pixel(10, 24), kBlue));
    EXPECT_EQ(seq.decodedPackets(), 3);
    // Back to the first: from the keyframe again.
    EXPECT_TRUE(rgbNear(seq.pictureAt(0).pixel(10, 24), kRed));
    EXPECT_EQ(seq.decodedPackets(), 4);
    // On by one: only the next packet.
    EXPECT_TRUE(rgbNear(seq.pictureAt(1).pixel(54, 24), kYellow));
    EXPECT_EQ(seq.decodedPackets(), 5);
    // The same frame again, and a number past the last packet: nothing more to decode.
    seq.pictureAt(1);
    EXPECT_EQ(seq.decodedPackets(), 5);
    EXPECT_TRUE(rgbNear(seq.pictureAt(40).pixel(10, 24), kBlue));
    EXPECT_EQ(seq.decodedPackets(), 6);
}

TEST(VideoSequence, ALaterKeyframeSavesDecodingThePicturesBeforeIt) {
    const auto packets = test::encodePictures("flv", std::vector<QImage>(6, test::splitPicture(64, 48, kRed, kBlue)), 3);
    ASSERT_EQ(packets.size(), 6u);
    ASSERT_TRUE(packets[3].keyframe);
    VideoSequence seq(streamOf(VideoStreamDef::SorensonH263, dataOf(packets)));
    seq.pictureAt(4);
    EXPECT_EQ(seq.decodedPackets(), 2); // keyframe 3, then 4
}

TEST(VideoSequence, NothingBeforeTheFirstPacket) {
    auto stream = streamOf(VideoStreamDef::SorensonH263, {});
    stream->frames.emplace(uint16_t(5), threeH263Pictures()[0].data);
    VideoSequence seq(stream);
    EXPECT_TRUE(seq.pictureAt(4).isNull());
    EXPECT_FALSE(seq.pictureAt(5).isNull());
}

// A movie playing a placed stream, drawn at one pixel per stage pixel.
struct VideoMovieFixture : ::testing::Test {
    MoviePlayer player;
    void load(const QByteArray& swf) {
        player.setScriptEngineFactory(nullptr);
        ASSERT_TRUE(player.loadData(swf)) << qPrintable(player.errorString());
        player.gotoFrame(0);
    }
    QImage draw(render::StageRenderer::Quality quality = render::StageRenderer::Quality::High) {
        render::StageRenderer r(*player.parsedMovie());
        r.setQuality(quality);
        return r.picture(QSize(400, 300), Qt::white, *player.root(), QTransform::fromScale(1 / 20.0, 1 / 20.0));
    }
    // The stream placed at (100, 50) pixels and drawn twice its size.
    static swf::Matrix twiceAt100x50() {
        swf::Matrix m;
        m.a = m.d = 2;
        m.tx = 100 * 20;
        m.ty = 50 * 20;
        return m;
    }
};

TEST_F(VideoMovieFixture, H263PictureIsDrawnAtItsPlaceAndSize) {
    const auto packets = threeH263Pictures();
    ASSERT_EQ(packets.size(), 3u);
    load(test::videoMovie(VideoStreamDef::SorensonH263, 64, 48, dataOf(packets), twiceAt100x50()));
    const QImage image = draw();
    // 128x96 pixels from (100, 50): red left half, blue right half, white around.
    EXPECT_TRUE(rgbNear(image.pixel(120, 100), kRed));
    EXPECT_TRUE(rgbNear(image.pixel(210, 100), kBlue));
    EXPECT_TRUE(rgbNear(image.pixel(102, 52), kRed));
    EXPECT_TRUE(rgbNear(image.pixel(225, 143), kBlue));
    for (QPoint outside : {QPoint(97, 100), QPoint(231, 100), QPoint(150, 47), QPoint(150, 149)})
        EXPECT_EQ(image.pixel(outside), qRgb(255, 255, 255)) << outside.x() << "," << outside.y();
}

TEST_F(VideoMovieFixture, PicturesFollowTheTimelineBothWays) {
    load(test::videoMovie(VideoStreamDef::SorensonH263, 64, 48, dataOf(threeH263Pictures()), twiceAt100x50()));
    player.play();
    const QColor leftHalves[] = {kRed, kGreen, kBlue};
    for (int frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE(frame);
        EXPECT_TRUE(rgbNear(draw().pixel(120, 100), leftHalves[frame]));
        player.stepFrame();
    }
    // Back to the second frame: its picture, decoded again from the keyframe.
    player.gotoFrame(1);
    EXPECT_TRUE(rgbNear(draw().pixel(120, 100), kGreen));
    EXPECT_TRUE(rgbNear(draw().pixel(210, 100), kYellow));
}

TEST_F(VideoMovieFixture, DamagedPacketKeepsThePictureBeforeIt) {
    auto packets = dataOf(threeH263Pictures());
    packets[1] = QByteArray(300, '\x5a');
    load(test::videoMovie(VideoStreamDef::SorensonH263, 64, 48, packets, twiceAt100x50()));
    player.gotoFrame(1);
    const auto* v = dynamic_cast<const display::VideoObject*>(player.root()->children().at(1).get());
    ASSERT_TRUE(v);
    EXPECT_TRUE(rgbNear(draw().pixel(120, 100), kRed));
    // The next picture still decodes (the colours may drift: it was predicted from a missing one).
    player.gotoFrame(2);
    EXPECT_FALSE(draw().pixel(120, 100) == qRgb(255, 255, 255));
}

// Stretched eight times, a lossless red|blue picture shows only its two
// colours without smoothing, and blends at the edge with it.
TEST_F(VideoMovieFixture, SmoothingFlagScalesBilinearly) {
    const auto packets = test::encodePictures("flashsv", {test::splitPicture(16, 16, kRed, kBlue)});
    ASSERT_EQ(packets.size(), 1u);
    swf::Matrix eightTimes;
    eightTimes.a = eightTimes.d = 8;
    for (bool smoothing : {false, true}) {
        SCOPED_TRACE(smoothing);
        load(test::videoMovie(VideoStreamDef::ScreenVideo, 16, 16, dataOf(packets), eightTimes, smoothing));
        const QImage image = draw();
        std::set<QRgb> colours;
        for (int x = 4; x < 124; ++x) colours.insert(image.pixel(x, 64));
        if (smoothing) EXPECT_GT(colours.size(), 2u);
        else EXPECT_EQ(colours, (std::set<QRgb>{kRed.rgb(), kBlue.rgb()}));
    }
}

// A real VP6 picture, where the shared conformance corpus holds one.
TEST(VideoCorpus, Vp6PictureDecodes) {
    const QString path = QStringLiteral(NIMBREL_SOURCE_DIR "/../shared/corpus/visual/video/colorconversion/vp6/test.swf");
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) GTEST_SKIP() << "no corpus";
    auto movie = swf::MovieParser::parse(f.readAll());
    ASSERT_TRUE(movie);
    auto stream = movie.value()->video(0);
    ASSERT_TRUE(stream);
    ASSERT_EQ(stream->codec, VideoStreamDef::Vp6);
    VideoSequence seq(stream);
    const QImage& picture = seq.pictureAt(0);
    EXPECT_EQ(picture.size(), QSize(stream->width, stream->height));
    EXPECT_EQ(seq.skippedPackets(), 0);
}

} // namespace
} // namespace nimbrel::movie
