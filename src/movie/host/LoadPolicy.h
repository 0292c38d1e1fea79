#pragma once
// What a movie may reach, decided by where it came from, as the reference
// player's sandboxes decide it: a local movie either reads local files or
// talks to the network, never both, so that nothing it reads from the disk
// can leave the machine; a movie from the network never reads local files.
// Every load, send and getURL a movie makes asks this one place.
#include <QString>
#include <QUrl>

namespace nimbrel::movie::host {

class LoadPolicy {
public:
    enum class Sandbox {
        LocalWithFiles,   // local movie without the "use network" file attribute
        LocalWithNetwork, // local movie that carries it
        Remote,           // movie that came from the network
    };
    enum class Use {
        Load,     // bytes come back into the movie (data, movies, sounds, libraries)
        Navigate, // the host is asked to show an address (getURL, send)
    };

    explicit LoadPolicy(Sandbox sandbox = Sandbox::LocalWithFiles) : sandbox_(sandbox) {}
    // baseUrl is the folder or address the movie was loaded from; useNetwork
    // its FileAttributes flag. Older movies without the tag are local-with-files.
    static LoadPolicy forMovie(const QString& baseUrl, bool useNetwork);

    Sandbox sandbox() const { return sandbox_; }
    bool allows(Use use, const QUrl& target) const;
    // The reason allows() said no, for logs and errors; empty when it said yes.
    QString refusal(Use use, const QUrl& target) const;
    // The name scripts know the sandbox by ("localWithFile", "localWithNetwork", "remote").
    QString sandboxName() const;

    static bool isNetworkAddress(const QUrl& url);

private:
    Sandbox sandbox_;
};

} // namespace nimbrel::movie::host
