#include "imaging/TextStamp.h"
#include "imaging/EditorLayout.h"
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>

namespace nimbrel::imaging {

std::optional<int> TextStamp::size(const QString& sizeText) {
    bool ok = false;
    const double v = sizeText.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    const int s = EditorLayout::whole(v);
    if (s < 1 || s > LargestSize)
        return std::nullopt;
    return s;
}

int TextStamp::lineAdvance(int size) { return size + EditorLayout::whole(size * 0.4); }

void TextStamp::draw(QImage& canvas, const QString& text, const QString& family, int size, QColor colour,
                     QPoint topLeft) {
    QPainter p(&canvas);
    QFont font(family);
    font.setPixelSize(EditorLayout::whole(size * 96.0 / 72.0));
    p.setFont(font);
    p.setPen(colour);
    const int ascent = QFontMetrics(font).ascent();
    int offset = 0;
    for (const QString& line : text.split(QRegularExpression("\r\n|\r|\n"))) {
        p.drawText(QPoint(topLeft.x(), topLeft.y() + offset + ascent), line);
        offset += lineAdvance(size);
    }
}

} // namespace nimbrel::imaging
