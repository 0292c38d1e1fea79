#pragma once
// Shows the quick-play list as the entries mnuwenjian(1..N) of the "播放列表" menu,
// after its fixed items, and reports which entry was chosen.
#include <QList>
#include <QObject>

class QAction;
class QMenu;

namespace nimbrel::player {

class QuickPlayList;

class QuickPlayMenu : public QObject {
    Q_OBJECT
public:
    QuickPlayMenu(QuickPlayList& list, QMenu& menu, QObject* parent = nullptr);

    // mnuwenjian(k), k = 1..N; null outside.
    QAction* entry(int k) const;
    int count() const { return int(entries_.size()); }

signals:
    void entryClicked(int k); // mnuwenjian_Click

private:
    void rebuild();
    void followCheck(int k, bool checked);

    QuickPlayList& list_;
    QMenu& menu_;
    QList<QAction*> entries_; // entries_[0] is mnuwenjian(1)
};

} // namespace nimbrel::player
