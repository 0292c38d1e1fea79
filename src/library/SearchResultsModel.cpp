#include "library/SearchResultsModel.h"

#include "library/CaseFoldedOrder.h"
#include "library/SideList.h"

#include <QListView>

namespace nimbrel::library {

int SearchResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_paths.size());
}

QVariant SearchResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_paths.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_paths.at(index.row());
    return {};
}

void SearchResultsModel::showIn(QListView& view) {
    view.setModel(this);
    view.setUniformItemSizes(true);
    // A whole layout walks every row; in steps of this many the longest pause
    // stays a few milliseconds however long the list grows.
    view.setLayoutMode(QListView::Batched);
    view.setBatchSize(2000);
}

void SearchResultsModel::append(const QStringList& batch) {
    if (batch.isEmpty())
        return;
    const int first = int(m_paths.size());
    beginInsertRows({}, first, first + int(batch.size()) - 1);
    m_paths += batch;
    endInsertRows();
}

void SearchResultsModel::replaceSorted(const QStringList& paths) {
    QStringList ordered = sorted(paths);
    beginResetModel();
    m_paths = std::move(ordered);
    endResetModel();
}

void SearchResultsModel::replace(const QStringList& sortedPaths) {
    beginResetModel();
    m_paths = sortedPaths;
    endResetModel();
}

void SearchResultsModel::clear() {
    beginResetModel();
    m_paths.clear();
    endResetModel();
}

void SearchResultsModel::removeRows(const QList<int>& rows) {
    QList<bool> selected(m_paths.size(), false);
    for (int r : rows)
        if (r >= 0 && r < selected.size())
            selected[r] = true;
    QStringList kept = SideList::keptAfterDelete(m_paths, selected);
    beginResetModel();
    m_paths = std::move(kept);
    endResetModel();
}

QStringList SearchResultsModel::sorted(const QStringList& paths) {
    return CaseFoldedOrder::sorted(paths);
}

} // namespace nimbrel::library
