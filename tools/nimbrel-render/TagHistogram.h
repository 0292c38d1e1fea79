#pragma once
// Counts the tags of a movie, sprites' inner tags included, for --info.
#include <QByteArray>
#include <QMap>
#include <QString>

struct TagHistogram {
    QMap<QString, int> topLevel;
    QMap<QString, int> inSprites;
    bool truncated = false;

    static TagHistogram of(const QByteArray& uncompressedBody);
};
