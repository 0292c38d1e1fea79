#include "player/QuickPlayMenu.h"
#include "player/QuickPlayList.h"
#include <QAction>
#include <QMenu>

namespace nimbrel::player {

QuickPlayMenu::QuickPlayMenu(QuickPlayList& list, QMenu& menu, QObject* parent)
    : QObject(parent), list_(list), menu_(menu) {
    connect(&list_, &QuickPlayList::entriesChanged, this, &QuickPlayMenu::rebuild);
    connect(&list_, &QuickPlayList::checkChanged, this, &QuickPlayMenu::followCheck);
    rebuild();
}

QAction* QuickPlayMenu::entry(int k) const {
    return (k >= 1 && k <= entries_.size()) ? entries_.at(k - 1) : nullptr;
}

void QuickPlayMenu::rebuild() {
    const int n = list_.count();
    while (entries_.size() > n) {
        QAction* a = entries_.takeLast();
        menu_.removeAction(a);
        a->deleteLater();
    }
    while (entries_.size() < n) {
        const int k = int(entries_.size()) + 1;
        auto* a = new QAction(&menu_);
        a->setObjectName(QStringLiteral("mnuwenjian(%1)").arg(k));
        a->setCheckable(true);
        // The check mark follows the list, not the click.
        connect(a, &QAction::triggered, this, [this, a, k] {
            a->setChecked(list_.isChecked(k));
            emit entryClicked(k);
        });
        menu_.addAction(a);
        entries_.append(a);
    }
    for (int k = 1; k <= n; ++k) {
        QAction* a = entries_.at(k - 1);
        // A path with "&" would otherwise turn into a shortcut marker.
        QString caption = list_.caption(k);
        a->setText(caption.replace(QLatin1Char('&'), QStringLiteral("&&")));
        a->setChecked(list_.isChecked(k));
    }
}

void QuickPlayMenu::followCheck(int k, bool checked) {
    if (QAction* a = entry(k))
        a->setChecked(checked);
}

} // namespace nimbrel::player
