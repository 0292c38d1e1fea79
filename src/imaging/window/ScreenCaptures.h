#pragma once
// Starts screen captures: at most one overlay at a time, a new start discarding
// the previous one. A chosen area goes to the clipboard as an image and opens in
// the editor; the end of every capture, chosen or not, is announced.
#include "imaging/window/Form3.h"
#include <QObject>
#include <QPointer>
#include <memory>

namespace nimbrel::platform { class ScreenGrabber; }

namespace nimbrel::imaging {

class EditorWindows;

class ScreenCaptures : public QObject {
    Q_OBJECT
public:
    // grabber: not owned; the Qt one when null.
    ScreenCaptures(EditorWindows& editors, platform::ScreenGrabber* grabber = nullptr, QObject* parent = nullptr);
    ~ScreenCaptures() override;

    void setGrabber(platform::ScreenGrabber* grabber);
    Form3* start();
    // Starts once the menu or key that asked for it has left the screen, so it is not in the picture.
    void startSoon();
    static constexpr int kSettleMs = 150;
    Form3* overlay() const { return overlay_; }
    // Discards the overlay without ending the capture's hand-back (a new start, or the program's end).
    void unload();

signals:
    void ended();

private:
    void finish(const QImage* picture);
    void announceEnd();

    EditorWindows& editors_;
    std::unique_ptr<platform::ScreenGrabber> ownGrabber_;
    platform::ScreenGrabber* grabber_;
    QPointer<Form3> overlay_;
    bool endAnnounced_ = true;
};

} // namespace nimbrel::imaging
