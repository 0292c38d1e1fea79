#include "services/ClipboardAddress.h"

namespace nimbrel::services {

bool ClipboardAddress::isMovie(const QString& clipboardText) {
    return clipboardText.endsWith(QLatin1String("swf"), Qt::CaseSensitive);
}

} // namespace nimbrel::services
