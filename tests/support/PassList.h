#pragma once
// The cases a conformance harness passed last time it was recorded, so that
// losing one case while gaining another shows instead of hiding in a count.
#include <QSet>
#include <QString>
#include <QStringList>

class PassList {
public:
    // One case name per line; blank lines and lines starting with '#' are
    // skipped. A missing file is an empty list.
    static PassList load(const QString& path);

    void record(const QString& caseName, bool passed);
    bool contains(const QString& caseName) const { return listed_.contains(caseName); }

    QStringList lost() const;   // listed, ran and failed: the harness fails
    QStringList gained() const; // passed without being listed
    int passedCount() const { return int(passed_.size()); }

    // The passing cases, sorted. Listed cases that did not run (a filtered
    // run) are kept, so a partial run never shortens the list.
    bool write(const QString& path) const;
    // NIMBREL_WRITE_PASS_LIST=1 asks a harness to rewrite its list.
    static bool rewriteRequested();

private:
    QSet<QString> listed_, passed_, failed_;
};
