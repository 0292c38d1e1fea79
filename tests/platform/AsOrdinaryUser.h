#pragma once
// Runs a stretch of a test without root's right to write read-only files: while an
// instance lives, the process (and any child it starts) acts as user "nobody". Does
// nothing for a test that is not run by root. The files involved must be reachable
// by that user: see allowInto().
#include <QFile>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

namespace nimbrel::settingstest {

class AsOrdinaryUser {
public:
    static constexpr uid_t kNobody = 65534;

    AsOrdinaryUser() {
        if (::geteuid() != 0)
            return;
        m_switched = ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
    }
    ~AsOrdinaryUser() {
        if (m_switched) {
            (void)::seteuid(0);
            (void)::setegid(0);
        }
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

    // False when root could not step down: the test then proves nothing and should skip.
    bool inEffect() const { return m_switched || ::geteuid() != 0; }

    // Lets every user into `folder` and the folders above it up to `top`, read-only.
    static void allowInto(const QString& top, const QString& folder) {
        for (QString f = folder; f.startsWith(top); f = f.section(QLatin1Char('/'), 0, -2)) {
            ::chmod(QFile::encodeName(f).constData(), 0755);
            if (f == top)
                break;
        }
    }

private:
    bool m_switched = false;
};

} // namespace nimbrel::settingstest
