#pragma once
// Where an address a movie asks for points, whichever script machine asks:
// relative to the movie's folder or web address.
#include <QString>
#include <QUrl>

namespace nimbrel::movie::host {

class LoadAddress {
public:
    // base: a folder path or a web address ending in '/'. A local file's query
    // and anchor are no part of its name; an empty path resolves to nothing.
    static QUrl resolve(const QString& base, const QString& url);
    static bool isWeb(const QUrl& url);
};

} // namespace nimbrel::movie::host
