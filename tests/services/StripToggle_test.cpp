// The strip toggles decide from the stored value, not from the flag in memory.
#include "services/StripToggle.h"
#include <gtest/gtest.h>

using nimbrel::services::StripToggle;

TEST(StripToggle, TheStoredValueDecidesTheDirection) {
    struct Case {
        const char* stored;
        bool on;
        const char* written;
    };
    const Case cases[] = {
        {"true", false, "false"}, {"false", true, "true"}, {"", false, "false"},
        {"TRUE", false, "false"}, {"1", false, "false"},   {"false ", false, "false"},
    };
    for (const auto& captions : {StripToggle::autoPlay(), StripToggle::clipboardWatch()}) {
        for (const Case& c : cases) {
            const auto o = StripToggle::toggle(QString::fromUtf8(c.stored), captions);
            EXPECT_EQ(o.on, c.on) << c.stored;
            EXPECT_EQ(o.stored, c.written) << c.stored;
            EXPECT_EQ(o.caption, c.on ? captions.on : captions.off) << c.stored;
        }
    }
}

TEST(StripToggle, Captions) {
    EXPECT_EQ(StripToggle::autoPlay().off, QStringLiteral("自动播放"));
    EXPECT_EQ(StripToggle::autoPlay().on, QStringLiteral("取消自动播放"));
    EXPECT_EQ(StripToggle::clipboardWatch().off, QStringLiteral("内存监控"));
    EXPECT_EQ(StripToggle::clipboardWatch().on, QStringLiteral("取消内存监控"));
}
