#pragma once
// The image editor window: the canvas with its persistent image, the floating
// tool panel with the palette, the current and the custom colour, the layout
// that sizes the window to the picture (or shows scroll bars), and the menu
// "操作" that opens, saves and clears pictures.
#include "imaging/EditorLayout.h"
#include <QColor>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollBar;

namespace nimbrel::platform {
class CommonDialog;
class MessageBoxes;
}

namespace nimbrel::imaging {

class CanvasView;

class Form2 : public QWidget {
    Q_OBJECT
public:
    struct Services {
        platform::CommonDialog& dialog;
        platform::MessageBoxes& boxes;
        std::function<void()> minimizeMain;
    };

    static const QString kCaption;    // "图片预览和编辑"
    static const QString kOpenFilter;
    static constexpr int kBarThickness = 255;  // twips
    // Design client area, twips.
    static constexpr int kDesignClientWidth = 13455;
    static constexpr int kDesignClientHeight = 8430;

    explicit Form2(Services services, QWidget* parent = nullptr);

    // The canvas receives a picture and the layout runs again.
    void setPicture(const QImage& picture);
    // What saving writes: the picture with everything drawn on it.
    QImage canvasImage() const;
    QColor currentColour() const { return current_; }
    QColor penColour() const;

    // Handlers.
    void Timer1_Timer();
    void Picture4_MouseDown(QPoint at);
    void Command2_Click();
    void bottom_Change(int value);
    void mright_Change(int value);
    void mnuopen_Click();
    void mnubc_Click();
    void mnucls_Click();
    void mnutc_Click();

    // Client area and canvas in twips, as the layout sees them.
    EditorLayout::Input layoutInput() const;
    void applyLayout(const EditorLayout::Result& r);

    QMenuBar* menuBar;
    QMenu* mnucz;
    QAction* mnuopen;
    QAction* mnubc;
    QAction* mnucls;
    QAction* mnutc;
    QWidget* client;
    CanvasView* Picture1;
    QFrame* Picture2;
    QLabel* Image2;
    QLabel* Picture4;
    QLabel* Label1;
    QPushButton* Command2;
    QScrollBar* bottom;
    QScrollBar* mright;
    QTimer Timer1;

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenu();
    void createToolPanel();
    void placeClient();
    void setCurrentColour(QColor c);
    int toPixelsX(double twips) const;
    int toPixelsY(double twips) const;
    double perPixelX() const;
    double perPixelY() const;

    Services services_;
    QColor current_ = Qt::black;
    QPoint panelGrab_;
    bool draggingPanel_ = false;
};

} // namespace nimbrel::imaging
