#include "movie/host/LocalFileFetcher.h"
#include <QFile>
#include <QFileInfo>

namespace nimbrel::movie::host {

void LocalFileFetcher::fetch(const QUrl& url, Done done)
{
    if (!url.isLocalFile()) {
        done({}, QStringLiteral("not a local file"));
        return;
    }
    QFile f(url.toLocalFile());
    if (QFileInfo(f).isDir() || !f.open(QIODevice::ReadOnly)) {
        done({}, f.errorString().isEmpty() ? QStringLiteral("cannot open") : f.errorString());
        return;
    }
    if (f.size() > maxBytes) {
        done({}, QStringLiteral("file is too large"));
        return;
    }
    done(f.read(maxBytes), {});
}

} // namespace nimbrel::movie::host
