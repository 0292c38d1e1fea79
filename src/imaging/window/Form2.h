#pragma once
// The image editor window: the canvas with its persistent image, the floating
// tool panel with the palette, the current and the custom colour, the layout
// that sizes the window to the picture (or shows scroll bars), and the menu
// "操作" that opens, saves and clears pictures. The canvas tools, the selection
// with its crop, text insertion and undo live in widget-free classes; the window
// forwards its events to them and shows what they keep.
#include "imaging/CanvasHistory.h"
#include "imaging/CanvasSelection.h"
#include "imaging/DrawingTools.h"
#include "imaging/EditorLayout.h"
#include "platform/KeyPressLatch.h"
#include <QColor>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

class QAction;
class QComboBox;
class QPlainTextEdit;
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
class TextInsertion;
class TextToolbar;

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
    static const QString kEraserCaption;  // shown while the eraser is chosen
    static const QString kTextCaption;    // "插入文字": a mode-8 drag places the text box
    static const QString kSelectCaption;  // "选区/裁剪"
    static const QString kCropCaption;    // "裁剪"
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
    void mnuundo_Click();
    void mnuredo_Click();
    // Tools, selection and text.
    void Label2_Click(int index);
    void Picture1_MouseDown(QPoint at);
    void Picture1_MouseMove(Qt::MouseButtons buttons, QPoint at);
    void Picture1_MouseUp(QPoint at);
    void Picture3_DragEnded();
    void Timer2_Timer();
    void Command1_Click();
    void Command3_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();

    int toolMode() const { return tools_.mode(); }
    QColor frameColour() const { return frameColour_; }
    const CanvasHistory& history() const { return history_; }

    // Client area and canvas in twips, as the layout sees them.
    EditorLayout::Input layoutInput() const;
    void applyLayout(const EditorLayout::Result& r);

    QMenuBar* menuBar;
    QMenu* mnucz;
    QAction* mnuopen;
    QAction* mnubc;
    QAction* mnucls;
    QAction* mnutc;
    QAction* mnuundo;
    QAction* mnuredo;
    QWidget* client;
    CanvasView* Picture1;
    QFrame* Picture2;
    QLabel* Image2;
    QLabel* Picture4;
    QLabel* Label1;
    QPushButton* Command2;
    QPushButton* Command1;
    QPushButton* Command3;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QLabel* Image1;
    std::array<QLabel*, 6> Label2{};
    QLabel* Picture3;  // eraser box
    QTimer Timer2;
    QFrame* Shape1;    // selection frame
    QPlainTextEdit* Text1;
    QLabel* Label3;    // text preview
    TextToolbar* Picture6;
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
    void createCanvasTools();
    void createTextTools();
    void setCurrentColour(QColor c);
    void setFrameColour(QColor c);
    void clearToolBorders();
    // Every change of the canvas goes through here so it can be undone.
    void recordChange();
    void showPicture(const QImage& picture);
    QSize eraserPixels() const;
    int toPixelsX(double twips) const;
    int toPixelsY(double twips) const;
    double perPixelX() const;
    double perPixelY() const;

    Services services_;
    QColor current_ = Qt::black;
    QPoint panelGrab_;
    bool draggingPanel_ = false;
    QPoint eraserGrab_;
    bool draggingEraser_ = false;
    QSizeF eraserSize_;  // exact size in pixels; the box shows it rounded
    QColor frameColour_ = Qt::black;
    TextInsertion* text_ = nullptr;
    DrawingTools tools_;
    CanvasSelection selection_;
    CanvasHistory history_;
    platform::KeyPressLatch keys_;
};

} // namespace nimbrel::imaging
