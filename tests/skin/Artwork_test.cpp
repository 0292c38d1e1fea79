#include "skin/Artwork.h"
#include <QSet>
#include <gtest/gtest.h>

using nimbrel::skin::Artwork;
using Piece = Artwork::Piece;

namespace {

int opaquePixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qAlpha(img.pixel(x, y)) > 0;
    return n;
}

int distinctColours(const QImage& img) {
    QSet<QRgb> colours;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            colours.insert(img.pixel(x, y));
    return colours.size();
}

bool columnsAlike(const QImage& img) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 1; x < img.width(); ++x)
            if (img.pixel(x, y) != img.pixel(0, y))
                return false;
    return true;
}

bool rowsAlike(const QImage& img) {
    for (int y = 1; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != img.pixel(x, 0))
                return false;
    return true;
}

} // namespace

TEST(Artwork, EveryPictureHasItsSizeAndIsDrawn) {
    QSet<QString> names;
    for (Piece piece : Artwork::all()) {
        const QImage img = Artwork::image(piece);
        const QString name = Artwork::name(piece);
        EXPECT_EQ(img.size(), Artwork::size(piece)) << name.toStdString();
        EXPECT_GT(opaquePixels(img), img.width() * img.height() / 8) << name.toStdString();
        EXPECT_GE(distinctColours(img), 3) << name.toStdString();
        names.insert(name);
    }
    EXPECT_EQ(names.size(), static_cast<int>(Artwork::all().size()));
}

TEST(Artwork, SizesOfTheFramePieces) {
    EXPECT_EQ(Artwork::size(Piece::Up1), QSize(464, 93));
    EXPECT_EQ(Artwork::size(Piece::Up2), QSize(156, 88));
    EXPECT_EQ(Artwork::size(Piece::Up3), QSize(29, 88));
    EXPECT_EQ(Artwork::size(Piece::Down1), QSize(279, 59));
    EXPECT_EQ(Artwork::size(Piece::Down2), QSize(100, 59));
    EXPECT_EQ(Artwork::size(Piece::Down3), QSize(30, 59));
    EXPECT_EQ(Artwork::size(Piece::Hen1), QSize(7, 52));
    EXPECT_EQ(Artwork::size(Artwork::transportNormal(0)), QSize(30, 30));
    EXPECT_EQ(Artwork::size(Artwork::transportAlternative(6)), QSize(30, 30));
    EXPECT_EQ(Artwork::size(Artwork::transportAlternative(7)), QSize(30, 30));
    for (int i = 1; i < 6; ++i) {
        EXPECT_EQ(Artwork::size(Artwork::transportNormal(i)), QSize(22, 22));
        EXPECT_EQ(Artwork::size(Artwork::transportAlternative(i)), QSize(22, 22));
    }
}

TEST(Artwork, StretchedPiecesLookTheSameAlongTheStretch) {
    // Pieces stretched sideways must not smear a detail when they grow.
    EXPECT_TRUE(columnsAlike(Artwork::image(Piece::Up2)));
    EXPECT_TRUE(columnsAlike(Artwork::image(Piece::Down2)));
    EXPECT_TRUE(columnsAlike(Artwork::image(Piece::ProgressFill)));
    // The borders are stretched downwards.
    EXPECT_TRUE(rowsAlike(Artwork::image(Piece::Hen1)));
    EXPECT_TRUE(rowsAlike(Artwork::image(Piece::Hen2)));
}

TEST(Artwork, TopAndBottomBarPiecesJoinWithoutASeam) {
    // Where up1 meets up2 and up2 meets up3 the rows carry the same colours
    // (up1's outer column and up3's outer column are edges, so compare one inward).
    const QImage up1 = Artwork::image(Piece::Up1);
    const QImage up2 = Artwork::image(Piece::Up2);
    const QImage up3 = Artwork::image(Piece::Up3);
    const QImage down1 = Artwork::image(Piece::Down1);
    const QImage down2 = Artwork::image(Piece::Down2);
    for (int y = 0; y < 88; ++y) {
        EXPECT_EQ(up1.pixel(up1.width() - 1, y), up2.pixel(0, y)) << "row " << y;
        EXPECT_EQ(up3.pixel(0, y), up2.pixel(0, y)) << "row " << y;
    }
    for (int y = 0; y < 59; ++y)
        EXPECT_EQ(down1.pixel(down1.width() - 1, y), down2.pixel(0, y)) << "row " << y;
}

TEST(Artwork, AlternativePicturesDifferFromTheNormalOnes) {
    for (int i = 0; i < 6; ++i)
        EXPECT_NE(Artwork::image(Artwork::transportNormal(i)),
                  Artwork::image(Artwork::transportAlternative(i)))
            << "button " << i;
    EXPECT_NE(Artwork::image(Piece::Pause), Artwork::image(Piece::Play));
    EXPECT_NE(Artwork::image(Piece::PauseHot), Artwork::image(Piece::Pause));
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(Artwork::image(Artwork::titleButton(i, false)), Artwork::image(Artwork::titleButton(i, true)));
    EXPECT_NE(Artwork::image(Piece::QuickMenu), Artwork::image(Piece::QuickMenuHot));
    EXPECT_NE(Artwork::image(Piece::TabPressed), Artwork::image(Piece::TabHovered));
}
