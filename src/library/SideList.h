#pragma once
// What the three side lists (playlist, search results, converter) share: full
// paths as plain text, one per line, with extended selection. Deleting the
// selected lines is one procedure for all of them.
#include <QList>
#include <QStringList>
#include <initializer_list>

class QListWidget;

namespace nimbrel::library {

class SideList {
public:
    // The texts that stay after deleting: the unselected ones in their order,
    // without empty texts.
    static QStringList keptAfterDelete(const QStringList& texts, const QList<bool>& selected);
    // Keeps the unselected texts in order, empties the list and adds them back,
    // skipping empty ones. The files themselves are not touched.
    static void deleteSelected(QListWidget& list);
    // The Delete key: the same for the first of lists that is on show; none on show, nothing.
    static void deleteSelectedInFirstVisible(std::initializer_list<QListWidget*> lists);

    static QStringList texts(const QListWidget& list);
    // Where `text` goes in a list kept sorted: ascending, letter case ignored,
    // after the texts that compare equal to it.
    static qsizetype sortedPosition(const QStringList& sorted, const QString& text);
    static void insertSorted(QListWidget& list, const QString& text);
};

} // namespace nimbrel::library
