#include "skin/Artwork.h"
#include "skin/SkinGlyphs.h"
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace nimbrel::skin {

namespace {

using Glyph = SkinGlyphs::Glyph;

// Frame colours.
const QColor Edge(0x0b, 0x0d, 0x10);
const QColor BarLight(0x5b, 0x65, 0x73);
const QColor BarTop(0x3a, 0x41, 0x4c);
const QColor BarBottom(0x25, 0x2a, 0x32);
const QColor FrameDark(0x18, 0x1b, 0x20);
const QColor Accent(0x2f, 0x8f, 0xe6);
const QColor AccentLight(0x6c, 0xbd, 0xff);
const QColor GlyphGrey(0xc8, 0xd0, 0xda);

// Rows of the top bar: title and tabs above, the option strip's band below.
constexpr int BandTop = 66;
constexpr int BandBottom = 88; // exclusive
// Rows of the bottom bar: progress groove and status display.
constexpr int GrooveTop = 3;
constexpr int GrooveBottom = 13; // exclusive
constexpr int PanelTop = 24;
constexpr int PanelBottom = 49; // exclusive

QImage blank(QSize size) {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// Top bar background for the columns [x0, x1) of a piece; the band runs from
// bandLeft to bandRight (clipped to the piece) with rounded ends where they fall inside.
void paintTopBar(QPainter& p, int width, int height, double bandLeft, double bandRight) {
    QLinearGradient bg(0, 0, 0, BandTop);
    bg.setColorAt(0.0, BarTop);
    bg.setColorAt(1.0, BarBottom);
    p.fillRect(QRect(0, 0, width, BandBottom), bg);
    p.fillRect(QRect(0, 0, width, 1), BarLight);
    p.fillRect(QRect(0, 1, width, 1), QColor(0x47, 0x50, 0x5c));
    // The title zone gets a faint sheen so the bar does not look flat.
    QLinearGradient sheen(0, 2, 0, 22);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 18));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRect(0, 2, width, 20), sheen);

    // Option strip band: a lighter slate inset that dark and white text both read on.
    p.fillRect(QRect(0, BandTop - 2, width, BandBottom - BandTop + 2), BarBottom);
    const QRectF band(bandLeft, BandTop, bandRight - bandLeft, BandBottom - BandTop - 1);
    QLinearGradient slate(0, BandTop, 0, BandBottom);
    slate.setColorAt(0.0, QColor(0x86, 0x96, 0xab));
    slate.setColorAt(1.0, QColor(0x5e, 0x6e, 0x84));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(0x14, 0x18, 0x1e), 1.0));
    p.setBrush(slate);
    p.drawRoundedRect(band.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1.0));
    p.drawLine(QPointF(band.left() + 4, BandTop + 1.5), QPointF(band.right() - 4, BandTop + 1.5));
    p.setRenderHint(QPainter::Antialiasing, false);

    if (height > BandBottom)
        p.fillRect(QRect(0, BandBottom, width, height - BandBottom), FrameDark);
}

// Bottom bar background; groove and display run from their left to right ends.
void paintBottomBar(QPainter& p, int width, double grooveLeft, double grooveRight,
                    double panelLeft, double panelRight) {
    const int height = 59;
    QLinearGradient bg(0, 0, 0, height);
    bg.setColorAt(0.0, QColor(0x2e, 0x34, 0x3d));
    bg.setColorAt(1.0, QColor(0x1a, 0x1e, 0x24));
    p.fillRect(QRect(0, 0, width, height), bg);
    p.fillRect(QRect(0, 0, width, 1), Edge);
    p.fillRect(QRect(0, 1, width, 1), QColor(0x4a, 0x53, 0x60));
    p.fillRect(QRect(0, height - 1, width, 1), Edge);

    p.setRenderHint(QPainter::Antialiasing, true);
    // Progress groove, sunk into the bar.
    const QRectF groove(grooveLeft, GrooveTop, grooveRight - grooveLeft, GrooveBottom - GrooveTop);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(groove.adjusted(0.5, 1.5, -0.5, 0.5), 4, 4);
    p.setPen(QPen(QColor(0x08, 0x0a, 0x0c), 1.0));
    p.setBrush(QColor(0x12, 0x15, 0x1a));
    p.drawRoundedRect(groove.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);

    // Status display.
    const QRectF panel(panelLeft, PanelTop, panelRight - panelLeft, PanelBottom - PanelTop);
    p.setPen(QPen(QColor(255, 255, 255, 34), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(panel.adjusted(0.5, 1.5, -0.5, 0.5), 4, 4);
    QLinearGradient lcd(0, PanelTop, 0, PanelBottom);
    lcd.setColorAt(0.0, QColor(0x0c, 0x0f, 0x13));
    lcd.setColorAt(1.0, QColor(0x16, 0x1b, 0x22));
    p.setPen(QPen(QColor(0x07, 0x08, 0x0a), 1.0));
    p.setBrush(lcd);
    p.drawRoundedRect(panel.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    p.setRenderHint(QPainter::Antialiasing, false);
}

QImage up(int width, int height, double bandLeft, double bandRight) {
    QImage img = blank({width, height});
    QPainter p(&img);
    paintTopBar(p, width, height, bandLeft, bandRight);
    return img;
}

QImage up1() {
    QImage img = up(464, 93, 6, 480);
    QPainter p(&img);
    p.fillRect(QRect(0, 0, 1, 93), Edge);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Logo: a blue disc with a play mark, then the name.
    const QRectF disc(10, 4, 15, 15);
    QLinearGradient g(disc.topLeft(), disc.bottomLeft());
    g.setColorAt(0.0, AccentLight);
    g.setColorAt(1.0, QColor(0x1c, 0x5f, 0xad));
    p.setPen(QPen(QColor(0x0a, 0x22, 0x40), 1.0));
    p.setBrush(g);
    p.drawEllipse(disc);
    SkinGlyphs::draw(p, Glyph::Play, disc.adjusted(3, 3, -3, -3), Qt::white);
    QFont font;
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0xe2, 0xe8, 0xef));
    p.drawText(QRectF(31, 2, 140, 19), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Nimbrel"));
    font.setBold(false);
    font.setPixelSize(10);
    p.setFont(font);
    p.setPen(QColor(0x8d, 0x99, 0xa8));
    p.drawText(QRectF(86, 3, 140, 19), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Flash Player"));
    return img;
}

QImage up3() {
    QImage img = up(29, 88, -40, 23);
    QPainter p(&img);
    p.fillRect(QRect(28, 0, 1, 88), Edge);
    return img;
}

QImage down(int width, double grooveLeft, double grooveRight, double panelLeft, double panelRight) {
    QImage img = blank({width, 59});
    QPainter p(&img);
    paintBottomBar(p, width, grooveLeft, grooveRight, panelLeft, panelRight);
    return img;
}

QImage down1() {
    QImage img = down(279, 3, 400, 262, 400);
    QPainter p(&img);
    p.fillRect(QRect(0, 0, 1, 59), Edge);
    // Divider between stop and the navigation buttons.
    p.fillRect(QRect(99, 28, 1, 18), QColor(0x12, 0x15, 0x19));
    p.fillRect(QRect(100, 28, 1, 18), QColor(0x3c, 0x44, 0x4f));
    return img;
}

QImage down3() {
    QImage img = down(30, -40, 28, -40, 22);
    QPainter p(&img);
    p.fillRect(QRect(29, 0, 1, 59), Edge);
    return img;
}

QImage border(bool left) {
    static const QColor columns[7] = {Edge,
                                      QColor(0x3a, 0x42, 0x4d),
                                      QColor(0x2c, 0x32, 0x3b),
                                      QColor(0x26, 0x2b, 0x33),
                                      QColor(0x21, 0x26, 0x2d),
                                      QColor(0x1b, 0x1f, 0x25),
                                      QColor(0x0f, 0x11, 0x15)};
    QImage img = blank({7, 52});
    QPainter p(&img);
    for (int x = 0; x < 7; ++x)
        p.fillRect(QRect(left ? x : 6 - x, 0, 1, 52), columns[x]);
    return img;
}

QImage drawTitleButton(Glyph glyph, bool hot, bool danger) {
    QImage img = blank({17, 19});
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF box(1.5, 2.5, 14, 14);
    if (hot) {
        const QColor top = danger ? QColor(0xf0, 0x6a, 0x60) : AccentLight;
        const QColor bottom = danger ? QColor(0xc0, 0x32, 0x2a) : QColor(0x1f, 0x6c, 0xc2);
        QLinearGradient g(box.topLeft(), box.bottomLeft());
        g.setColorAt(0.0, top);
        g.setColorAt(1.0, bottom);
        p.setPen(QPen(QColor(0, 0, 0, 150), 1.0));
        p.setBrush(g);
    } else {
        p.setPen(QPen(QColor(255, 255, 255, 40), 1.0));
        p.setBrush(QColor(255, 255, 255, 16));
    }
    p.drawRoundedRect(box, 3, 3);
    SkinGlyphs::draw(p, glyph, box.adjusted(1.5, 1.5, -1.5, -1.5), hot ? Qt::white : GlyphGrey);
    return img;
}

// A round transport button. Accent buttons (play/pause) are blue; hot ones glow.
QImage transport(int side, Glyph glyph, bool accent, bool hot) {
    QImage img = blank({side, side});
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF disc(1, 1, side - 2, side - 2);
    if (hot) {
        QRadialGradient glow(disc.center(), side / 2.0);
        glow.setColorAt(0.75, QColor(0x4f, 0xaa, 0xff, 110));
        glow.setColorAt(1.0, QColor(0x4f, 0xaa, 0xff, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(QRectF(0, 0, side, side));
    }
    QLinearGradient g(disc.topLeft(), disc.bottomLeft());
    if (accent) {
        g.setColorAt(0.0, hot ? QColor(0x8a, 0xcf, 0xff) : QColor(0x5a, 0xb2, 0xff));
        g.setColorAt(1.0, hot ? QColor(0x2a, 0x80, 0xd8) : QColor(0x1a, 0x5f, 0xb0));
    } else {
        g.setColorAt(0.0, hot ? QColor(0x62, 0x6d, 0x7d) : QColor(0x4b, 0x54, 0x62));
        g.setColorAt(1.0, hot ? QColor(0x35, 0x3d, 0x48) : QColor(0x27, 0x2d, 0x35));
    }
    const QRectF body = disc.adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor rim = hot && !accent ? QColor(0x4f, 0xaa, 0xff) : QColor(0x08, 0x0a, 0x0d);
    p.setPen(QPen(rim, hot && !accent ? 1.3 : 1.0));
    p.setBrush(g);
    p.drawEllipse(body);
    // Glass highlight on the upper half.
    QLinearGradient shine(body.topLeft(), QPointF(body.left(), body.center().y()));
    shine.setColorAt(0.0, QColor(255, 255, 255, accent ? 90 : 55));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawEllipse(QRectF(body.left() + side * 0.14, body.top() + 1, body.width() - side * 0.28,
                         body.height() * 0.5));
    const double inset = side * (side > 24 ? 0.24 : 0.19);
    const QColor ink = accent || hot ? QColor(Qt::white) : QColor(0xe3, 0xe9, 0xef);
    SkinGlyphs::draw(p, glyph, disc.adjusted(inset, inset, -inset, -inset), ink);
    return img;
}

QImage tab(QSize size, bool pressed) {
    QImage img = blank(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF shape(1.5, 3.5, size.width() - 3, size.height() - 6);
    if (pressed) {
        QLinearGradient g(shape.topLeft(), shape.bottomLeft());
        g.setColorAt(0.0, QColor(0x5c, 0x6a, 0x80));
        g.setColorAt(1.0, QColor(0x30, 0x37, 0x43));
        p.setPen(QPen(QColor(0x0c, 0x0e, 0x12), 1.0));
        p.setBrush(g);
        p.drawRoundedRect(shape, 5, 5);
        p.setPen(QPen(QColor(255, 255, 255, 60), 1.0));
        p.drawLine(QPointF(shape.left() + 5, shape.top() + 1), QPointF(shape.right() - 5, shape.top() + 1));
        // Accent bar along the bottom marks the tab on show.
        p.setPen(Qt::NoPen);
        p.setBrush(Accent);
        p.drawRoundedRect(QRectF(shape.left() + 7, shape.bottom() - 4, shape.width() - 14, 2.5), 1.2, 1.2);
    } else {
        p.setPen(QPen(QColor(255, 255, 255, 46), 1.0));
        p.setBrush(QColor(255, 255, 255, 24));
        p.drawRoundedRect(shape, 5, 5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x4f, 0xaa, 0xff, 110));
        p.drawRoundedRect(QRectF(shape.left() + 9, shape.bottom() - 4, shape.width() - 18, 2), 1, 1);
    }
    return img;
}

QImage progressFill() {
    QImage img = blank({19, 10});
    QPainter p(&img);
    QLinearGradient g(0, 1, 0, 9);
    g.setColorAt(0.0, QColor(0x8e, 0xd2, 0xff));
    g.setColorAt(0.45, QColor(0x3c, 0x9c, 0xf0));
    g.setColorAt(1.0, QColor(0x1c, 0x66, 0xbe));
    p.fillRect(QRect(0, 1, 19, 8), g);
    return img;
}

QImage progressThumb() {
    QImage img = blank({18, 10});
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF pill(0.5, 0.5, 17, 9);
    QLinearGradient g(pill.topLeft(), pill.bottomLeft());
    g.setColorAt(0.0, QColor(0xfb, 0xfd, 0xff));
    g.setColorAt(1.0, QColor(0xa9, 0xb7, 0xc6));
    p.setPen(QPen(QColor(0x10, 0x14, 0x1a), 1.0));
    p.setBrush(g);
    p.drawRoundedRect(pill, 4.5, 4.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    p.drawEllipse(QRectF(6.5, 2.5, 5, 5));
    return img;
}

QImage quickMenu(bool hot) {
    QImage img = blank({16, 18});
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF box(0.5, 1.5, 15, 15);
    if (hot) {
        QLinearGradient g(box.topLeft(), box.bottomLeft());
        g.setColorAt(0.0, AccentLight);
        g.setColorAt(1.0, QColor(0x1f, 0x6c, 0xc2));
        p.setPen(QPen(QColor(0, 0, 0, 140), 1.0));
        p.setBrush(g);
        p.drawRoundedRect(box, 3, 3);
    }
    SkinGlyphs::draw(p, Glyph::ListMenu, box.adjusted(2, 2, -2, -2), hot ? Qt::white : GlyphGrey);
    return img;
}

QImage seekCursor() {
    // A pointing hand whose fingertip is the hot spot (12, 1).
    QImage img = blank({32, 32});
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath hand;
    hand.addRoundedRect(QRectF(10, 1, 4.5, 14), 2.2, 2.2);           // index finger
    hand.addRoundedRect(QRectF(14, 8, 3.5, 9), 1.7, 1.7);            // middle finger
    hand.addRoundedRect(QRectF(17, 9, 3.5, 8), 1.7, 1.7);            // ring finger
    hand.addRoundedRect(QRectF(20, 10, 3.2, 8), 1.6, 1.6);           // little finger
    hand.addRoundedRect(QRectF(9, 13, 14.2, 12), 4, 4);              // palm
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(3.5, 13, 9, 4), 2, 2);
    QTransform tilt;
    tilt.translate(8, 15);
    tilt.rotate(35);
    tilt.translate(-8, -15);
    hand = hand.united(tilt.map(thumb)).simplified();
    p.setPen(QPen(Qt::black, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    return img;
}

} // namespace

std::vector<Artwork::Piece> Artwork::all() {
    std::vector<Piece> pieces;
    for (int i = static_cast<int>(Piece::Up1); i <= static_cast<int>(Piece::SeekCursor); ++i)
        pieces.push_back(static_cast<Piece>(i));
    return pieces;
}

QString Artwork::name(Piece piece) {
    switch (piece) {
    case Piece::Up1: return QStringLiteral("up1");
    case Piece::Up2: return QStringLiteral("up2");
    case Piece::Up3: return QStringLiteral("up3");
    case Piece::Down1: return QStringLiteral("down1");
    case Piece::Down2: return QStringLiteral("down2");
    case Piece::Down3: return QStringLiteral("down3");
    case Piece::Hen1: return QStringLiteral("hen1");
    case Piece::Hen2: return QStringLiteral("hen2");
    case Piece::TitleMinimise: return QStringLiteral("Image10(0)");
    case Piece::TitleMaximise: return QStringLiteral("Image10(1)");
    case Piece::TitleClose: return QStringLiteral("Image10(2)");
    case Piece::TitleMinimiseHot: return QStringLiteral("Image9(0)");
    case Piece::TitleMaximiseHot: return QStringLiteral("Image9(1)");
    case Piece::TitleCloseHot: return QStringLiteral("Image9(2)");
    case Piece::Play: return QStringLiteral("Image7(0)");
    case Piece::Stop: return QStringLiteral("Image7(1)");
    case Piece::PreviousMovie: return QStringLiteral("Image7(2)");
    case Piece::PreviousFrame: return QStringLiteral("Image7(3)");
    case Piece::NextFrame: return QStringLiteral("Image7(4)");
    case Piece::NextMovie: return QStringLiteral("Image7(5)");
    case Piece::PlayHot: return QStringLiteral("Image6(0)");
    case Piece::StopHot: return QStringLiteral("Image6(1)");
    case Piece::PreviousMovieHot: return QStringLiteral("Image6(2)");
    case Piece::PreviousFrameHot: return QStringLiteral("Image6(3)");
    case Piece::NextFrameHot: return QStringLiteral("Image6(4)");
    case Piece::NextMovieHot: return QStringLiteral("Image6(5)");
    case Piece::Pause: return QStringLiteral("Image6(6)");
    case Piece::PauseHot: return QStringLiteral("Image6(7)");
    case Piece::TabPressed: return QStringLiteral("down");
    case Piece::TabHovered: return QStringLiteral("bmove");
    case Piece::ProgressFill: return QStringLiteral("jindu");
    case Piece::ProgressThumb: return QStringLiteral("huakuai");
    case Piece::QuickMenu: return QStringLiteral("Image4");
    case Piece::QuickMenuHot: return QStringLiteral("Image3");
    case Piece::SeekCursor: return QStringLiteral("fugai cursor");
    }
    return {};
}

QSize Artwork::size(Piece piece) {
    switch (piece) {
    case Piece::Up1: return {464, 93};
    case Piece::Up2: return {156, 88};
    case Piece::Up3: return {29, 88};
    case Piece::Down1: return {279, 59};
    case Piece::Down2: return {100, 59};
    case Piece::Down3: return {30, 59};
    case Piece::Hen1:
    case Piece::Hen2: return {7, 52};
    case Piece::TitleMinimise:
    case Piece::TitleMaximise:
    case Piece::TitleClose:
    case Piece::TitleMinimiseHot:
    case Piece::TitleMaximiseHot:
    case Piece::TitleCloseHot: return {17, 19};
    case Piece::Play:
    case Piece::PlayHot:
    case Piece::Pause:
    case Piece::PauseHot: return {30, 30};
    case Piece::Stop:
    case Piece::PreviousMovie:
    case Piece::PreviousFrame:
    case Piece::NextFrame:
    case Piece::NextMovie:
    case Piece::StopHot:
    case Piece::PreviousMovieHot:
    case Piece::PreviousFrameHot:
    case Piece::NextFrameHot:
    case Piece::NextMovieHot: return {22, 22};
    case Piece::TabPressed: return {64, 36};
    case Piece::TabHovered: return {65, 37};
    case Piece::ProgressFill: return {19, 10};
    case Piece::ProgressThumb: return {18, 10};
    case Piece::QuickMenu:
    case Piece::QuickMenuHot: return {16, 18};
    case Piece::SeekCursor: return {32, 32};
    }
    return {};
}

QImage Artwork::image(Piece piece) {
    switch (piece) {
    case Piece::Up1: return up1();
    case Piece::Up2: return up(156, 88, -40, 200);
    case Piece::Up3: return up3();
    case Piece::Down1: return down1();
    case Piece::Down2: return down(100, -40, 140, -40, 140);
    case Piece::Down3: return down3();
    case Piece::Hen1: return border(true);
    case Piece::Hen2: return border(false);
    case Piece::TitleMinimise: return drawTitleButton(Glyph::Minimise, false, false);
    case Piece::TitleMaximise: return drawTitleButton(Glyph::Maximise, false, false);
    case Piece::TitleClose: return drawTitleButton(Glyph::Close, false, true);
    case Piece::TitleMinimiseHot: return drawTitleButton(Glyph::Minimise, true, false);
    case Piece::TitleMaximiseHot: return drawTitleButton(Glyph::Maximise, true, false);
    case Piece::TitleCloseHot: return drawTitleButton(Glyph::Close, true, true);
    case Piece::Play: return transport(30, Glyph::Play, true, false);
    case Piece::Stop: return transport(22, Glyph::Stop, false, false);
    case Piece::PreviousMovie: return transport(22, Glyph::PreviousMovie, false, false);
    case Piece::PreviousFrame: return transport(22, Glyph::PreviousFrame, false, false);
    case Piece::NextFrame: return transport(22, Glyph::NextFrame, false, false);
    case Piece::NextMovie: return transport(22, Glyph::NextMovie, false, false);
    case Piece::PlayHot: return transport(30, Glyph::Play, true, true);
    case Piece::StopHot: return transport(22, Glyph::Stop, false, true);
    case Piece::PreviousMovieHot: return transport(22, Glyph::PreviousMovie, false, true);
    case Piece::PreviousFrameHot: return transport(22, Glyph::PreviousFrame, false, true);
    case Piece::NextFrameHot: return transport(22, Glyph::NextFrame, false, true);
    case Piece::NextMovieHot: return transport(22, Glyph::NextMovie, false, true);
    case Piece::Pause: return transport(30, Glyph::Pause, true, false);
    case Piece::PauseHot: return transport(30, Glyph::Pause, true, true);
    case Piece::TabPressed: return tab({64, 36}, true);
    case Piece::TabHovered: return tab({65, 37}, false);
    case Piece::ProgressFill: return progressFill();
    case Piece::ProgressThumb: return progressThumb();
    case Piece::QuickMenu: return quickMenu(false);
    case Piece::QuickMenuHot: return quickMenu(true);
    case Piece::SeekCursor: return seekCursor();
    }
    return {};
}

QPixmap Artwork::pixmap(Piece piece) { return QPixmap::fromImage(image(piece)); }

Artwork::Piece Artwork::transportNormal(int index) {
    static const Piece pieces[6] = {Piece::Play, Piece::Stop, Piece::PreviousMovie,
                                    Piece::PreviousFrame, Piece::NextFrame, Piece::NextMovie};
    return pieces[index < 0 || index > 5 ? 0 : index];
}

Artwork::Piece Artwork::transportAlternative(int index) {
    static const Piece pieces[8] = {Piece::PlayHot, Piece::StopHot, Piece::PreviousMovieHot,
                                    Piece::PreviousFrameHot, Piece::NextFrameHot, Piece::NextMovieHot,
                                    Piece::Pause, Piece::PauseHot};
    return pieces[index < 0 || index > 7 ? 0 : index];
}

Artwork::Piece Artwork::titleButton(int index, bool hot) {
    static const Piece normal[3] = {Piece::TitleMinimise, Piece::TitleMaximise, Piece::TitleClose};
    static const Piece lit[3] = {Piece::TitleMinimiseHot, Piece::TitleMaximiseHot, Piece::TitleCloseHot};
    const int i = index < 0 || index > 2 ? 0 : index;
    return hot ? lit[i] : normal[i];
}

} // namespace nimbrel::skin
