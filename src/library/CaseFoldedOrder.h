#pragma once
// The order of the search results list: texts ascending by their case-folded
// UTF-16 code units, equal texts in their original order. Built for a million
// paths: the folded texts sit in one block, each entry carries the first code
// units past the part every text shares, and two threads sort one half each
// before a merge, so most comparisons touch no text at all.
#include <QStringList>

namespace nimbrel::library {

class CaseFoldedOrder {
public:
    // The texts in that order, empty texts left out.
    static QStringList sorted(const QStringList& texts);
};

} // namespace nimbrel::library
