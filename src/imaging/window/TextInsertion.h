#pragma once
// Writing text into the editor's picture: the text box placed on the dragged
// frame, the preview label showing the text as it will be drawn, the movable
// toolbar, and the font boxes they follow. The text is drawn where the preview
// label lies.
#include <QColor>
#include <QImage>
#include <QObject>
#include <QRect>
#include <functional>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QWidget;

namespace nimbrel::imaging {

class TextToolbar;

class TextInsertion : public QObject {
    Q_OBJECT
public:
    // `canvas` holds the box and the label; `client` the toolbar. `twipsDown`
    // turns a vertical distance in twips into pixels.
    TextInsertion(QWidget* canvas, QWidget* client, QComboBox* fontName, QComboBox* fontSize,
                  std::function<int(double)> twipsDown);

    void setColour(QColor c);
    // After a text drag: the box on the frame, the toolbar above it.
    void openOn(QRect frame);
    void showEditing();
    void showPreview();
    // False, drawing nothing, when the size box holds no usable size.
    bool insertInto(QImage& canvas, QColor colour);
    void close();

    void textChanged();
    void fontNameChanged();
    void fontSizeChanged();
    void toolbarMoved();

    QPlainTextEdit* box;
    QLabel* preview;
    TextToolbar* toolbar;

private:
    QWidget* canvas_;
    QWidget* client_;
    QComboBox* fontName_;
    QComboBox* fontSize_;
    std::function<int(double)> twipsDown_;
};

} // namespace nimbrel::imaging
