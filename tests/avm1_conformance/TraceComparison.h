#pragma once
// Compares a run's trace output with the expected output of a corpus case.
#include "CorpusCase.h"
#include <QString>

// CRLF becomes LF and NUL characters are dropped, as the corpus expects.
QString normaliseTrace(const QByteArray& raw);
// Exact match, or within the case's numeric tolerance where it has one.
bool traceMatches(const CorpusCase& c, const QString& actual, const QString& expected);
