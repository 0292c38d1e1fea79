#pragma once
// Command line of nimbrel-render.
#include <QSize>
#include <QString>
#include <QStringList>

struct RenderOptions {
    enum class Mode { None, Info, Frame, After, Frames, Bench, Trace, Audio };
    Mode mode = Mode::None;
    QString movie;
    int frame = 0;       // --frame N, --after K, --trace --frames N
    int first = 0, last = 0; // --frames A-B
    QSize size;          // empty: the stage size, within maxDefaultSide
    QString out;
    QString outDir;
    QString audioOut;    // --audio-out FILE.raw --frames N: the mixed sound of N advances
    int repeats = 5;     // --bench: renders per frame
    int advances = -1;   // --bench --frames N: frame advances to time (-1: the movie's frame count)
    bool render = true;  // --bench --no-render times the frame advances only

    // Pictures are drawn whole in memory, and a header may declare a stage of
    // tens of thousands of pixels a side: both sizes are bounded.
    static constexpr int maxDefaultSide = 2048;
    static constexpr int maxSide = 8192;

    // Fills *error and returns false on a bad command line.
    bool parse(const QStringList& args, QString* error);
    static QString usage();
    // The stage size scaled down, keeping its shape, to fit maxDefaultSide.
    static QSize defaultSize(const QSize& stage);
    // The picture size for a stage: --size when given, else defaultSize.
    QSize sizeFor(const QSize& stage) const { return size.isEmpty() ? defaultSize(stage) : size; }
};
