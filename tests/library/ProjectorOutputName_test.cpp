#include "library/ProjectorOutputName.h"
#include <gtest/gtest.h>

using nimbrel::library::ProjectorOutputName;

TEST(ProjectorOutputName, ExeNameDropsOnlyTheSwfExtension) {
    const struct {
        const char* source;
        const char* exe;
    } cases[] = {
        {"/movies/a.swf", "a.exe"},
        {"/movies/a.SWF", "a.exe"},
        {"/movies/a.swf.swf", "a.swf.exe"},
        {"/movies/clip.bin", "clip.bin.exe"},  // the old rule cut any four characters: "clip.exe"
        {"/movies/ab", "ab.exe"},
        {"/movies/.swf", ".swf.exe"},
        {"/movies/folder.swf/b.swf", "b.exe"},
        {"/movies/动画 1.swf", "动画 1.exe"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProjectorOutputName::exeName(QString::fromUtf8(c.source)), QString::fromUtf8(c.exe)) << c.source;
    EXPECT_EQ(ProjectorOutputName::outputPath("/out/", "/movies/a.swf"), "/out/a.exe");
    EXPECT_EQ(ProjectorOutputName::outputPath("/out", "/movies/a.swf"), "/out/a.exe");
}

TEST(ProjectorOutputName, FolderOfThePickedPathIsEverythingUpToTheLastSeparator) {
    const struct {
        const char* picked;
        std::optional<QString> folder;
    } cases[] = {
        {"/out/不需要点击任何文件.swf", QString("/out/")},
        {"/out/deep/er/x.swf", QString("/out/deep/er/")},
        {"/out/sub/", QString("/out/")},  // the search starts before the last character
        {"/x", QString("/")},
        {"/", std::nullopt},
        {"不需要点击任何文件.swf", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProjectorOutputName::folderOfPickedPath(QString::fromUtf8(c.picked)), c.folder) << c.picked;
}
