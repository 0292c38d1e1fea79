#pragma once
// One ActionScript 3 movie run headless in the second virtual machine: its
// bytecode blocks in order, then the document class linked to the root.
#include <QString>

struct AbcCaseResult {
    bool loaded = false;
    QString trace;
    QString stopped; // why scripts were stopped, when they were
};

AbcCaseResult runAbcCase(const QString& swfPath, int scriptTimeoutMs);
