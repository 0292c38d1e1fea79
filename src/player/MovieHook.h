#pragma once
// The hook on the movie surface: the pointer moving over the movie resets the
// skin's highlights (and still reaches the movie), a left double-click enlarges
// the movie to the whole window or back, a right press opens the control menu;
// everything else reaches the movie as before. Installed at start, removed
// when the window unloads.
#include <QObject>
#include <QPoint>
#include <functional>

class QWidget;

namespace nimbrel::player {

class MovieHook : public QObject {
    Q_OBJECT
public:
    struct Actions {
        std::function<void()> resetHighlights;
        std::function<void()> enlargeOrRestore;
        std::function<void(QPoint globalPos)> showControlMenu;
    };

    explicit MovieHook(Actions actions, QObject* parent = nullptr);

    void install(QWidget* surface);
    void remove();
    QWidget* hooked() const { return hooked_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Actions actions_;
    QWidget* hooked_ = nullptr;
};

} // namespace nimbrel::player
