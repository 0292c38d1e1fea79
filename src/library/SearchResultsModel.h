#pragma once
// The search results as a list model: full paths, one row each, shown by a list
// view without a widget per row so a million results stay quick. While a search
// runs the found paths are appended as they arrive; the filtered results then
// replace them sorted ascending without regard to letter case, equal texts in
// arrival order.
#include <QAbstractListModel>
#include <QStringList>

class QListView;

namespace nimbrel::library {

class SearchResultsModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void append(const QStringList& batch);
    void replaceSorted(const QStringList& paths);
    // For paths already in the list's order (a finished search gives them so).
    void replace(const QStringList& sortedPaths);
    void clear();
    // Keeps the rows not named in `rows`, in order, without empty texts.
    void removeRows(const QList<int>& rows);

    // Shows this model in `view` as a million rows need it: rows of one height
    // and the layout done in steps between events, so rows arriving during a
    // search never hold the window up for long.
    void showIn(QListView& view);

    const QStringList& paths() const { return m_paths; }
    static QStringList sorted(const QStringList& paths);

private:
    QStringList m_paths;
};

} // namespace nimbrel::library
