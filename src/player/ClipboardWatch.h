#pragma once
// Clipboard watching, one step of the 100 ms tick: a copied text ending in
// "swf" is played at once, the clipboard is emptied so it is taken only once,
// and the download is offered.
#include <QObject>

namespace nimbrel::player {

class frmmain;

class ClipboardWatch : public QObject {
    Q_OBJECT
public:
    explicit ClipboardWatch(frmmain& window);
    // True when a copied movie was taken.
    bool tick();

private:
    frmmain& w_;
};

} // namespace nimbrel::player
