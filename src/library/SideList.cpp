#include "library/SideList.h"
#include <QListWidget>
#include <algorithm>

namespace nimbrel::library {

QStringList SideList::keptAfterDelete(const QStringList& texts, const QList<bool>& selected) {
    QStringList kept;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const bool isSelected = i < selected.size() && selected.at(i);
        if (!isSelected && !texts.at(i).isEmpty())
            kept << texts.at(i);
    }
    return kept;
}

void SideList::deleteSelectedInFirstVisible(std::initializer_list<QListWidget*> lists) {
    for (QListWidget* list : lists) {
        if (list && list->isVisible()) {
            deleteSelected(*list);
            return;
        }
    }
}

QStringList SideList::texts(const QListWidget& list) {
    QStringList out;
    out.reserve(list.count());
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i)->text();
    return out;
}

void SideList::deleteSelected(QListWidget& list) {
    QList<bool> selected;
    selected.reserve(list.count());
    for (int i = 0; i < list.count(); ++i)
        selected << list.item(i)->isSelected();
    const QStringList kept = keptAfterDelete(texts(list), selected);
    list.clear();
    list.addItems(kept);
}

qsizetype SideList::sortedPosition(const QStringList& sorted, const QString& text) {
    const auto at = std::upper_bound(sorted.begin(), sorted.end(), text, [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return at - sorted.begin();
}

void SideList::insertSorted(QListWidget& list, const QString& text) {
    // Binary search over the items themselves: adding thousands of files stays quick.
    int lo = 0;
    int hi = list.count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (QString::compare(text, list.item(mid)->text(), Qt::CaseInsensitive) < 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    list.insertItem(lo, text);
}

} // namespace nimbrel::library
