#pragma once
// "保存图象": asks for a name through the shared save dialog and writes the
// canvas there as a BMP, telling the user whether it worked.
#include <QImage>
#include <QString>

namespace nimbrel::platform {
class CommonDialog;
class MessageBoxes;
}

namespace nimbrel::imaging {

class CanvasSaving {
public:
    static const QString kTitle;     // "保存"
    static const QString kFilter;    // "位图文件(*.BMP)|*.BMP"
    static const QString kSaved;     // "保存成功"
    static const QString kNotSaved;  // "保存失败"
    static constexpr unsigned kFlags = 6;  // ask before overwriting, no read-only box

    enum class Result { Cancelled, Saved, Failed };

    // `image` is what the canvas shows, drawings included.
    static Result save(platform::CommonDialog& dialog, platform::MessageBoxes& boxes, const QImage& image);
};

} // namespace nimbrel::imaging
