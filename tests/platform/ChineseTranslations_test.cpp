// Qt's own texts of the standard dialogs come in Chinese once the catalogue is loaded.
#include "platform/ChineseTranslations.h"
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QFile>
#include <QTranslator>
#include <gtest/gtest.h>

using nimbrel::platform::ChineseTranslations;

TEST(ChineseTranslations, MessageBoxAndDialogButtonsReadChinese) {
    const QString catalogue = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_zh_CN.qm";
    if (!QFile::exists(catalogue))
        GTEST_SKIP() << "Qt's Chinese catalogue is not installed (qt6-translations-l10n)";
    QTranslator* t = ChineseTranslations::install(*QCoreApplication::instance());
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(QCoreApplication::translate("QPlatformTheme", "&Yes").contains(QStringLiteral("是")));
    EXPECT_TRUE(QCoreApplication::translate("QPlatformTheme", "&No").contains(QStringLiteral("否")));
    EXPECT_TRUE(QCoreApplication::translate("QPlatformTheme", "Cancel").contains(QStringLiteral("取消")));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), "Look in:");
    QCoreApplication::removeTranslator(t);
    delete t;
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Yes");
}
