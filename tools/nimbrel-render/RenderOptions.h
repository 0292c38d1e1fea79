#pragma once
// Command line of nimbrel-render.
#include <QSize>
#include <QString>
#include <QStringList>

struct RenderOptions {
    enum class Mode { None, Info, Frame, After, Frames, Bench, Trace };
    Mode mode = Mode::None;
    QString movie;
    int frame = 0;       // --frame N, --after K, --trace --frames N
    int first = 0, last = 0; // --frames A-B
    QSize size;          // empty: the stage size
    QString out;
    QString outDir;
    int repeats = 5;     // --bench: renders per frame
    int advances = -1;   // --bench --frames N: frame advances to time (-1: the movie's frame count)
    bool render = true;  // --bench --no-render times the frame advances only

    // Fills *error and returns false on a bad command line.
    bool parse(const QStringList& args, QString* error);
    static QString usage();
};
