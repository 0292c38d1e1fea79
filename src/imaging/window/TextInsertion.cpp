#include "imaging/window/TextInsertion.h"
#include "imaging/EditorLayout.h"
#include "imaging/TextStamp.h"
#include "imaging/window/TextToolbar.h"
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>

namespace nimbrel::imaging {

namespace {
// A click without a drag still gives a box one can type into.
constexpr QSize SmallestBox(120, 30);
// The label sits this far below the toolbar after the toolbar was moved.
constexpr int PreviewBelowToolbar = 200;  // twips
} // namespace

TextInsertion::TextInsertion(QWidget* canvas, QWidget* client, QComboBox* fontName, QComboBox* fontSize,
                             std::function<int(double)> twipsDown)
    : QObject(canvas), canvas_(canvas), client_(client), fontName_(fontName), fontSize_(fontSize),
      twipsDown_(std::move(twipsDown)) {
    box = new QPlainTextEdit(canvas);
    box->setObjectName("Text1");
    // One line of the box is one line drawn.
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->hide();
    connect(box, &QPlainTextEdit::textChanged, this, &TextInsertion::textChanged);

    preview = new QLabel(canvas);
    preview->setObjectName("Label3");
    preview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    preview->setAttribute(Qt::WA_TransparentForMouseEvents);
    preview->hide();

    toolbar = new TextToolbar(client);
    toolbar->hide();
    connect(toolbar, &TextToolbar::moved, this, &TextInsertion::toolbarMoved);

    connect(fontName, &QComboBox::currentTextChanged, this, &TextInsertion::fontNameChanged);
    connect(fontSize, &QComboBox::currentTextChanged, this, &TextInsertion::fontSizeChanged);
    fontNameChanged();
    fontSizeChanged();
}

void TextInsertion::setColour(QColor c) {
    preview->setStyleSheet(QStringLiteral("color: %1; background: transparent").arg(c.name()));
    QPalette pal = box->palette();
    pal.setColor(QPalette::Text, c);
    box->setPalette(pal);
}

void TextInsertion::openOn(QRect frame) {
    frame.setSize(frame.size().expandedTo(SmallestBox));
    box->setGeometry(frame);
    // Drawn where the label lies, so the label starts on the box.
    preview->setGeometry(frame);
    const QPoint onClient = canvas_->mapTo(client_, frame.topLeft());
    toolbar->move(qMax(0, onClient.x()), qMax(0, onClient.y() - toolbar->height()));
    toolbar->show();
    toolbar->raise();
    box->show();
    box->raise();
    box->setFocus();
}

void TextInsertion::showEditing() {
    preview->hide();
    box->show();
}

void TextInsertion::showPreview() {
    box->hide();
    preview->setGeometry(box->geometry());
    preview->show();
    preview->raise();
}

bool TextInsertion::insertInto(QImage& canvas, QColor colour) {
    const std::optional<int> size = TextStamp::size(fontSize_->currentText());
    if (!size)
        return false;
    TextStamp::draw(canvas, box->toPlainText(), fontName_->currentText(), *size, colour, preview->pos());
    preview->clear();
    box->clear();
    return true;
}

void TextInsertion::close() {
    box->clear();
    preview->clear();
    toolbar->hide();
    box->hide();
    preview->hide();
}

void TextInsertion::textChanged() {
    preview->hide();
    preview->setText(box->toPlainText());
}

void TextInsertion::fontNameChanged() {
    QFont f = box->font();
    f.setFamily(fontName_->currentText());
    box->setFont(f);
    preview->setFont(f);
}

void TextInsertion::fontSizeChanged() {
    // A size still being typed (or no size) keeps the last one.
    const std::optional<int> size = TextStamp::size(fontSize_->currentText());
    if (!size)
        return;
    QFont f = box->font();
    f.setPixelSize(EditorLayout::whole(*size * 96.0 / 72.0));
    box->setFont(f);
    preview->setFont(f);
}

void TextInsertion::toolbarMoved() {
    const QPoint below = canvas_->mapFrom(client_, toolbar->geometry().bottomLeft() + QPoint(0, 1));
    box->move(below);
    preview->move(below + QPoint(0, twipsDown_(PreviewBelowToolbar)));
}

} // namespace nimbrel::imaging
