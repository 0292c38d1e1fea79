#include "library/SearchResultsModel.h"

#include "library/SideList.h"

#include <algorithm>
#include <numeric>
#include <vector>

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
    // Folding each text once keeps a million-entry sort to plain comparisons;
    // the order is the one a case-insensitive compare gives.
    std::vector<QString> keys;
    keys.reserve(paths.size());
    for (const QString& p : paths)
        keys.push_back(p.toCaseFolded());
    std::vector<qsizetype> order(paths.size());
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return keys[a] < keys[b]; });
    QStringList out;
    out.reserve(paths.size());
    for (qsizetype i : order)
        if (!paths.at(i).isEmpty())
            out.append(paths.at(i));
    return out;
}

} // namespace nimbrel::library
