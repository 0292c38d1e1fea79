#pragma once
// Runs a movie headless on a fixed clock through the player facade, feeding
// the case's input events between frame advances, and collects its trace lines.
#include "InputScript.h"
#include <QSize>
#include <QString>

struct HeadlessResult {
    bool loaded = false;
    QString error;
    QString trace;
    QString scriptsStopped; // why the movie's scripts were stopped for good, if they were
};

// viewport: the surface size pointer positions refer to (empty: the stage's own size).
HeadlessResult runHeadless(const QString& swfPath, int frames, const InputScript& input = {},
                           const QSize& viewport = {});
