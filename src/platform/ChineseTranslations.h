#pragma once
// Qt's own Chinese texts for the standard dialogs (buttons of message boxes,
// input boxes, file and colour dialogs) and the system error texts Qt gives.
class QCoreApplication;
class QTranslator;

namespace nimbrel::platform {

class ChineseTranslations {
public:
    // Loads the zh_CN qtbase catalogue from Qt's translations folder into app;
    // the translator is owned by app. Null when the catalogue is not installed.
    static QTranslator* install(QCoreApplication& app);
};

} // namespace nimbrel::platform
