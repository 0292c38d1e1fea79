#pragma once
// Keeps the image editor to one window: opening it again shows the same window
// (with a new picture when one is handed over); closing it unloads it, so the
// next opening starts from the design state. The main window unloads it when
// it closes.
#include "imaging/window/Form2.h"
#include <QObject>
#include <QPointer>

namespace nimbrel::imaging {

class EditorWindows : public QObject {
    Q_OBJECT
public:
    EditorWindows(Form2::Services services, QObject* parent = nullptr);
    ~EditorWindows() override;

    // `mnutxbj`: the editor as it is, its layout timer stopped, then the main window minimized.
    Form2* openFromMenu();
    // A picture handed over (capture, search preview): the canvas takes it, then the editor shows.
    Form2* openWith(const QImage& picture);
    Form2* editor() const { return editor_; }
    void unload();

private:
    Form2* loaded();
    void bringForward();

    Form2::Services services_;
    QPointer<Form2> editor_;
};

} // namespace nimbrel::imaging
