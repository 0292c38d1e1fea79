// How a running download is described to the user.
#include "player/DownloadProgress.h"
#include <gtest/gtest.h>

using nimbrel::player::DownloadProgress;

TEST(DownloadProgressTest, DescribesBytesSizeAndSpeedInKilobytes) {
    EXPECT_EQ(DownloadProgress::describe(10 * 1024, 40 * 1024, 5 * 1024),
              QStringLiteral("已下载 10 KB / 40 KB  速度 5 KB/s"));
    // An unknown size says so instead of showing -1.
    EXPECT_EQ(DownloadProgress::describe(1536, -1, 0), QStringLiteral("已下载 2 KB / 未知大小  速度 0 KB/s"));
    EXPECT_EQ(DownloadProgress::describe(0, 0, 0), QStringLiteral("已下载 0 KB / 0 KB  速度 0 KB/s"));
}
