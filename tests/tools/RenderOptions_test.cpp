#include "RenderOptions.h"
#include <gtest/gtest.h>

namespace {

RenderOptions parsed(const QStringList& args, QString* error = nullptr) {
    RenderOptions opt;
    QString e;
    opt.parse(args, error ? error : &e);
    return opt;
}

} // namespace

TEST(RenderOptions, DefaultSizeFitsTheStageWithinTheBoundKeepingItsShape) {
    const struct {
        QSize stage, want;
    } cases[] = {
        {{550, 400}, {550, 400}},
        {{2048, 2048}, {2048, 2048}},
        {{20000, 20000}, {2048, 2048}},
        {{20000, 10000}, {2048, 1024}},
        {{3000, 4000}, {1536, 2048}},
        {{100000, 1}, {2048, 1}},
        {{0, 0}, {1, 1}},
        {{-5, 300}, {1, 300}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.stage.width()) + "x" + std::to_string(c.stage.height()));
        EXPECT_EQ(RenderOptions::defaultSize(c.stage), c.want);
        EXPECT_EQ(parsed({"m.swf", "--info"}).sizeFor(c.stage), c.want);
    }
}

TEST(RenderOptions, ExplicitSizeWinsWithinItsOwnBound) {
    EXPECT_EQ(parsed({"m.swf", "--size", "4000x3000", "--info"}).sizeFor({20000, 20000}), QSize(4000, 3000));
    EXPECT_EQ(parsed({"m.swf", "--size", "8192x8192", "--info"}).sizeFor({100, 100}), QSize(8192, 8192));
    for (const char* bad : {"8193x100", "100x8193", "16384x16384", "0x10", "12", "-4x4"}) {
        QString error;
        RenderOptions opt;
        EXPECT_FALSE(opt.parse({"m.swf", "--size", bad, "--info"}, &error)) << bad;
        EXPECT_TRUE(error.contains("8192x8192")) << error.toStdString();
    }
}

TEST(RenderOptions, AudioOutTakesAFrameCount) {
    const RenderOptions ok = parsed({"m.swf", "--frames", "25", "--audio-out", "a.raw"});
    EXPECT_EQ(ok.mode, RenderOptions::Mode::Audio);
    EXPECT_EQ(ok.frame, 25);
    EXPECT_EQ(ok.audioOut, "a.raw");
    const struct {
        QStringList args;
        const char* error;
    } bad[] = {
        {{"m.swf", "--audio-out", "a.raw"}, "--audio-out needs --frames N"},
        {{"m.swf", "--frames", "1-5", "--audio-out", "a.raw"}, "--audio-out needs --frames N"},
        {{"m.swf", "--frames", "5", "--audio-out"}, "--audio-out needs a value"},
        {{"m.swf", "--frames", "5", "--audio-out", "a.raw", "--trace"}, "choose exactly one"},
    };
    for (const auto& c : bad) {
        QString error;
        RenderOptions opt;
        EXPECT_FALSE(opt.parse(c.args, &error)) << c.args.join(' ').toStdString();
        EXPECT_TRUE(error.contains(c.error)) << error.toStdString();
    }
}
