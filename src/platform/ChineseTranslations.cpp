#include "platform/ChineseTranslations.h"
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace nimbrel::platform {

QTranslator* ChineseTranslations::install(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

} // namespace nimbrel::platform
