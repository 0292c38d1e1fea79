// Known values of the studio-range BT.601 conversion (worked out from the
// 255/219 luma and 255/224 chroma scales with Kr = 0.299, Kb = 0.114, each
// weight rounded to 16 fraction bits, the sum rounded half up), and how a
// picture's planes become pixels.
#include "movie/video/YuvConversion.h"
#include <gtest/gtest.h>
extern "C" {
#include <libavutil/frame.h>
}

namespace nimbrel::movie::video {
namespace {

struct Known {
    int y, u, v;
    uint32_t rgb;
};

TEST(YuvConversion, KnownValues) {
    const Known table[] = {
        {16, 128, 128, 0x000000},  {235, 128, 128, 0xffffff}, // black and white of the studio range
        {0, 128, 128, 0x000000},   {255, 128, 128, 0xffffff}, // beyond it, clamped
        {80, 128, 128, 0x4b4b4b},  {126, 128, 128, 0x808080}, // 74.52 and 128.08: luma scale 1.164383
        {81, 90, 240, 0xfe0000},   {145, 54, 34, 0x00ff01},  {41, 240, 110, 0x0000ff},
        {128, 64, 192, 0xe96701},
        {159, 165, 180, 0xf96ef1}, // red 249.5002 in reals, just under the half with 16-bit weights
    };
    for (const Known& k : table)
        EXPECT_EQ(YuvConversion::rgb(k.y, k.u, k.v), 0xff000000u | k.rgb) << k.y << "," << k.u << "," << k.v;
}

// A 2x2 picture with one chroma sample, filled plane by plane.
struct TinyFrame {
    AVFrame* f = av_frame_alloc();
    TinyFrame(AVPixelFormat format, std::initializer_list<uint8_t> luma, uint8_t u, uint8_t v,
              std::initializer_list<uint8_t> alpha = {}) {
        f->format = format;
        f->width = f->height = 2;
        av_frame_get_buffer(f, 0);
        auto it = luma.begin(), at = alpha.begin();
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) {
                f->data[0][y * f->linesize[0] + x] = *it++;
                if (alpha.size()) f->data[3][y * f->linesize[3] + x] = *at++;
            }
        f->data[1][0] = u;
        f->data[2][0] = v;
    }
    ~TinyFrame() { av_frame_free(&f); }
};

TEST(YuvConversion, OneChromaSampleCoversItsFourLumaSamples) {
    TinyFrame t(AV_PIX_FMT_YUV420P, {16, 80, 126, 235}, 128, 128);
    const QImage img = YuvConversion::toImage(t.f);
    ASSERT_EQ(img.size(), QSize(2, 2));
    EXPECT_EQ(img.pixel(0, 0), 0xff000000u);
    EXPECT_EQ(img.pixel(1, 0), 0xff4b4b4bu);
    EXPECT_EQ(img.pixel(0, 1), 0xff808080u);
    EXPECT_EQ(img.pixel(1, 1), 0xffffffffu);
}

TEST(YuvConversion, ColoursOfAnAlphaPictureArePremultipliedAlready) {
    // White luma at half alpha is cut to the alpha; grey 128 at half alpha stays
    // 128 (it would be 64 if multiplied again); alpha 0 leaves nothing.
    TinyFrame t(AV_PIX_FMT_YUVA420P, {235, 126, 126, 126}, 128, 128, {128, 128, 255, 0});
    const QImage img = YuvConversion::toImage(t.f);
    ASSERT_EQ(img.format(), QImage::Format_ARGB32_Premultiplied);
    auto raw = [&](int x, int y) { return reinterpret_cast<const uint32_t*>(img.constScanLine(y))[x]; };
    EXPECT_EQ(raw(0, 0), 0x80808080u);
    EXPECT_EQ(raw(1, 0), 0x80808080u);
    EXPECT_EQ(raw(0, 1), 0xff808080u);
    EXPECT_EQ(raw(1, 1), 0x00000000u);
}

TEST(YuvConversion, OtherPixelFormatsAreRefused) {
    TinyFrame t(AV_PIX_FMT_YUV444P, {16, 16, 16, 16}, 128, 128);
    EXPECT_TRUE(YuvConversion::toImage(t.f).isNull());
}

} // namespace
} // namespace nimbrel::movie::video
