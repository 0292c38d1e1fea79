// Frame labels as gotos look them up: every label of a frame counts, the
// first frame carrying one wins, and only ASCII letters ignore their case.
#include "movie/swf/Timeline.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::swf;

TEST(Timeline, LabelsMatchEveryLabelOfAFrameIgnoringOnlyAsciiCase) {
    Timeline t;
    t.frames.resize(4);
    t.declaredFrames = 4;
    t.frames[1].labels = {QStringLiteral("intro"), QStringLiteral("Start")};
    t.frames[2].labels = {QStringLiteral("start")};
    t.frames[3].labels = {QStringLiteral("BAD\u00e0")};
    EXPECT_EQ(t.frameOfLabel(QStringLiteral("INTRO")), 1);
    EXPECT_EQ(t.frameOfLabel(QStringLiteral("start")), 1) << "the first frame carrying the label";
    EXPECT_EQ(t.frameOfLabel(QStringLiteral("BAD\u00e0")), 3);
    EXPECT_EQ(t.frameOfLabel(QStringLiteral("bad\u00e0")), 3);
    EXPECT_EQ(t.frameOfLabel(QStringLiteral("BAD\u00c0")), -1) << "non-ASCII letters keep their case";
    EXPECT_EQ(t.frameOfLabel(QString()), -1);
}
