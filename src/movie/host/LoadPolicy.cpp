#include "movie/host/LoadPolicy.h"

namespace nimbrel::movie::host {

namespace {

bool isLocal(const QUrl& url)
{
    return url.isLocalFile() || url.scheme().isEmpty();
}

} // namespace

bool LoadPolicy::isNetworkAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

LoadPolicy LoadPolicy::forMovie(const QString& baseUrl, bool useNetwork)
{
    const QUrl base(baseUrl);
    const QString scheme = base.scheme().toLower();
    // Drive letters parse as one-letter schemes; they, file: and plain paths are local.
    const bool local = scheme.size() <= 1 || scheme == QLatin1String("file");
    if (!local)
        return LoadPolicy(Sandbox::Remote);
    return LoadPolicy(useNetwork ? Sandbox::LocalWithNetwork : Sandbox::LocalWithFiles);
}

QString LoadPolicy::refusal(Use use, const QUrl& target) const
{
    if (!target.isValid() || target.isEmpty())
        return QStringLiteral("no address");
    if (isLocal(target)) {
        // Nothing shows a local file on a movie's request; only a local movie
        // without the network reads one.
        if (use == Use::Navigate)
            return QStringLiteral("a movie cannot open local files");
        if (sandbox_ != Sandbox::LocalWithFiles)
            return sandbox_ == Sandbox::Remote ? QStringLiteral("a movie from the network cannot read local files")
                                               : QStringLiteral("a movie that uses the network cannot read local files");
        return {};
    }
    if (!isNetworkAddress(target))
        return QStringLiteral("unsupported address");
    if (sandbox_ == Sandbox::LocalWithFiles)
        return QStringLiteral("a local movie that reads local files cannot use the network");
    return {};
}

bool LoadPolicy::allows(Use use, const QUrl& target) const
{
    return refusal(use, target).isEmpty();
}

QString LoadPolicy::sandboxName() const
{
    switch (sandbox_) {
    case Sandbox::LocalWithFiles: return QStringLiteral("localWithFile");
    case Sandbox::LocalWithNetwork: return QStringLiteral("localWithNetwork");
    case Sandbox::Remote: return QStringLiteral("remote");
    }
    return {};
}

} // namespace nimbrel::movie::host
