#include "help/ProjectContact.h"

namespace nimbrel::help {

QString ProjectContact::version() { return QStringLiteral("1.5.0"); }

QString ProjectContact::productLine() { return QStringLiteral("QuorvaneFlashPlayer ") + version(); }

// The project speaks for itself: no person is named.
QString ProjectContact::author() { return QStringLiteral("Nimbrel 开发组"); }

// The site the update page lives on.
QString ProjectContact::homePage() { return QStringLiteral("https://www.quorvane.com/nimbrel/"); }

} // namespace nimbrel::help
