#pragma once
// "Pressed since the last query" for keys of the whole program, as a key poll
// needs it on X11: every key press the application receives (auto-repeats
// included) is latched, and taking a key clears its latch. One stroke is taken
// once; a held key is taken again at the system's repeat rate. The events
// themselves go on to their widgets untouched.
#include <QObject>
#include <set>
#include <utility>

namespace nimbrel::platform {

class KeyPressLatch : public QObject {
    Q_OBJECT
public:
    // Watches the running application's key events while it lives.
    explicit KeyPressLatch(QObject* parent = nullptr);
    ~KeyPressLatch() override;

    // qtKey pressed since the previous take of it; keypadOnly counts only the
    // key of the numeric pad (its + and −), otherwise either counts.
    bool takePress(int qtKey, bool keypadOnly = false);
    // Forgets every latched press (the keys were meant for another program).
    void clear() { pending_.clear(); }
    // Latches a press as the event filter does.
    void press(int qtKey, bool keypad) { pending_.insert({qtKey, keypad}); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::set<std::pair<int, bool>> pending_;
};

} // namespace nimbrel::platform
