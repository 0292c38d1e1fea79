// Which copied texts the clipboard watcher plays.
#include "services/ClipboardAddress.h"
#include <gtest/gtest.h>

using nimbrel::services::ClipboardAddress;

TEST(ClipboardAddress, OnlyTextsEndingInLowerCaseSwf) {
    struct Case {
        const char* text;
        bool movie;
    };
    const Case cases[] = {
        {"http://example.com/game.swf", true},
        {"/home/user/x.swf", true},
        {"swf", true},
        {"x.SWF", false},
        {"x.Swf", false},
        {"x.swf ", false},
        {"x.swf\n", false},
        {"x.swf?v=2", false},
        {"sw", false},
        {"", false},
        {"http://example.com/game.swf.html", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClipboardAddress::isMovie(QString::fromUtf8(c.text)), c.movie) << c.text;
}
