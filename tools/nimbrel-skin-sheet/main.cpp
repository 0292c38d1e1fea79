// nimbrel-skin-sheet [out.png] [zoom]: every skin picture at its own size and
// enlarged, with its name, plus the bars assembled at a sample width.
#include "skin/Artwork.h"
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>

using nimbrel::skin::Artwork;
using Piece = Artwork::Piece;

namespace {

// Top and bottom bar put together the way the layout stretches them.
QImage assembledBars(int width) {
    QImage img(width, 93 + 12 + 59, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(0x10, 0x10, 0x10));
    QPainter p(&img);
    p.drawImage(QRect(464, 0, width - 464 - 29, 88), Artwork::image(Piece::Up2));
    p.drawImage(0, 0, Artwork::image(Piece::Up1));
    p.drawImage(width - 29, 0, Artwork::image(Piece::Up3));
    const int y = 93 + 12;
    p.drawImage(QRect(279, y, width - 279 - 30, 59), Artwork::image(Piece::Down2));
    p.drawImage(0, y, Artwork::image(Piece::Down1));
    p.drawImage(width - 30, y, Artwork::image(Piece::Down3));
    // Progress at a third, thumb at its end, buttons where the layout puts them.
    const int fill = (width - 20) / 3;
    p.drawImage(QRect(3, y + 3, fill, 10), Artwork::image(Piece::ProgressFill));
    p.drawImage(fill, y + 3, Artwork::image(Piece::ProgressThumb));
    p.drawImage(30, y + 23, Artwork::image(Piece::Play));
    const int lefts[5] = {63, 115, 141, 166, 191};
    for (int i = 1; i < 6; ++i)
        p.drawImage(lefts[i - 1], y + 26, Artwork::image(Artwork::transportNormal(i)));
    for (int i = 0; i < 3; ++i)
        p.drawImage(width - 29 - 33 + 17 * i, 3, Artwork::image(Artwork::titleButton(i, i == 2)));
    p.drawImage(QRect(32, 23, 73, 41), Artwork::image(Piece::TabPressed));
    p.drawImage(QRect(136, 23, 73, 41), Artwork::image(Piece::TabHovered));
    p.drawImage(112, 33, Artwork::image(Piece::QuickMenu));
    return img;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                 : QStringLiteral("/tmp/nimbrel-skin-sheet.png");
    const int zoom = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

    const int sheetWidth = 1500;
    const QImage bars = assembledBars(760);
    // Lay the pieces out in rows, each cell holding the picture at 1x and enlarged.
    struct Cell { Piece piece; QRect at; };
    std::vector<Cell> cells;
    int x = 10, y = bars.height() + 20, rowHeight = 0;
    for (Piece piece : Artwork::all()) {
        const QSize s = Artwork::size(piece);
        const int w = std::max(s.width() * (zoom + 1) + 20, 110);
        const int h = s.height() * zoom + 22;
        if (x + w > sheetWidth) {
            x = 10;
            y += rowHeight + 10;
            rowHeight = 0;
        }
        cells.push_back({piece, QRect(x, y, w, h)});
        x += w + 10;
        rowHeight = std::max(rowHeight, h);
    }
    QImage sheet(sheetWidth, y + rowHeight + 10, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0x77, 0x77, 0x77));
    QPainter p(&sheet);
    p.drawImage(10, 10, bars);
    QFont font;
    font.setPixelSize(11);
    p.setFont(font);
    for (const Cell& c : cells) {
        const QImage img = Artwork::image(c.piece);
        const QSize s = img.size();
        p.fillRect(c.at, QColor(0x50, 0x50, 0x50));
        p.drawImage(c.at.left() + 4, c.at.top() + 18, img);
        p.drawImage(QRect(c.at.left() + s.width() + 12, c.at.top() + 18, s.width() * zoom,
                          s.height() * zoom),
                    img);
        p.setPen(Qt::white);
        p.drawText(c.at.left() + 4, c.at.top() + 13,
                   QStringLiteral("%1 %2x%3").arg(Artwork::name(c.piece)).arg(s.width()).arg(s.height()));
    }
    p.end();
    if (!sheet.save(out)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    // The assembled bars once more, enlarged, beside the sheet.
    QString barsOut = out;
    barsOut.replace(QStringLiteral(".png"), QStringLiteral("-bars.png"));
    bars.scaled(bars.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(barsOut);
    std::printf("%s\n%s\n", qPrintable(out), qPrintable(barsOut));
    return 0;
}
