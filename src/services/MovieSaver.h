#pragma once
// "保存当前播放文件": copies the movie file being played to a name the user chose,
// with ".swf" added unless the name already ends in it. The copy goes to a temporary
// file beside the target and replaces the target only when complete, so a failed
// save never leaves a half file where an older one stood. Returns the box to show.
#include <QString>
#include <optional>

namespace nimbrel::services {

class MovieSaver {
public:
    enum class Status {
        MissingMovie, // the movie is not an existing file (an address, or deleted)
        NoName,       // the save dialog returned no name
        Saved,
        Failed,
    };

    struct Outcome {
        Status status = Status::Failed;
        QString message; // the box's text
        QString title;   // the box's title
        bool informationIcon = false;
        QString target;  // the file written (Saved) or attempted (Failed)
        QString reason;  // why it failed (Failed)
    };

    static const QString kDialogTitle; // "文件另存为..."

    // Before the save dialog: the box to show instead of it, or nothing to go on.
    static std::optional<Outcome> checkMovie(const QString& moviePath);
    // The name the copy is written to.
    static QString targetName(const QString& chosenName);
    // The whole save once the dialog returned `chosenName` ("" when cancelled).
    static Outcome save(const QString& moviePath, const QString& chosenName);
};

} // namespace nimbrel::services
