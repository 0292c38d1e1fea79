#pragma once
// Pixel checks within a tolerance per channel, alpha included, that print
// both colours when they fail.
#include <QColor>
#include <QRgb>
#include <cstdlib>
#include <gtest/gtest.h>

namespace nimbrel::movie::test {

inline ::testing::AssertionResult pixelNear(QRgb got, QRgb want, int tol) {
    if (std::abs(qRed(got) - qRed(want)) <= tol && std::abs(qGreen(got) - qGreen(want)) <= tol &&
        std::abs(qBlue(got) - qBlue(want)) <= tol && std::abs(qAlpha(got) - qAlpha(want)) <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << QColor::fromRgba(got).name(QColor::HexArgb).toStdString()
                                         << " want " << QColor::fromRgba(want).name(QColor::HexArgb).toStdString();
}

inline ::testing::AssertionResult pixelNear(QRgb got, const QColor& want, int tol) {
    return pixelNear(got, want.rgba(), tol);
}

// Without this a named colour would turn into its enum number, not its colour.
inline ::testing::AssertionResult pixelNear(QRgb got, Qt::GlobalColor want, int tol) {
    return pixelNear(got, QColor(want), tol);
}

} // namespace nimbrel::movie::test
