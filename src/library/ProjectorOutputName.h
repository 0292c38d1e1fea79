#pragma once
// Where a converted movie goes: the output folder, then the source's file name
// without its ".swf" extension, then ".exe". A name without that extension is
// kept whole ("clip.bin" gives "clip.bin.exe"), so no two different names lose
// different tails and meet.
#include <QString>
#include <optional>

namespace nimbrel::library {

class ProjectorOutputName {
public:
    // The folder part of the path a save dialog used as a folder picker returned,
    // ending in "/"; nothing when the path holds no folder (a cancelled dialog).
    static std::optional<QString> folderOfPickedPath(const QString& pickedPath);
    // The output file's name for a source path: "a.swf" and "a.SWF" give "a.exe".
    static QString exeName(const QString& sourcePath);
    // folder (ending in "/") + exeName.
    static QString outputPath(const QString& folder, const QString& sourcePath);
};

} // namespace nimbrel::library
