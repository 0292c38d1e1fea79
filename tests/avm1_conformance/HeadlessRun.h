#pragma once
// Runs a movie headless on a fixed clock with the ActionScript engine and
// collects its trace lines. Drives the display classes directly so that
// movies importing assets from a library movie beside them (ImportAssets)
// can be assembled first.
#include <QString>

struct HeadlessResult {
    bool loaded = false;
    QString error;
    QString trace;
};

HeadlessResult runHeadless(const QString& swfPath, int frames);
