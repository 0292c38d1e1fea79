#pragma once
// The window options of the main window: the option strip's toggles (auto-play,
// clipboard watching, always-on-top, the fit-mode pop-up), the nine opacity
// steps and "不透明", and the opacity hand-over around a screen capture.
#include <QObject>
#include <optional>

namespace nimbrel::player {

class frmmain;

class WindowOptions : public QObject {
    Q_OBJECT
public:
    explicit WindowOptions(frmmain& window);

    // Strip label index 0..3: auto-play, clipboard watching, topmost, fit modes.
    void Label2_Click(int index);
    // The menu item and F12: the toggle, then the menu caption again.
    void MNUCKZD_Click();
    bool isTopmost() const { return topmost_.value_or(false); }

    // Opacity: stores the alpha and makes the window see-through by it.
    void tmdsz(int suzhi);
    // "不透明": opaque again, only while see-through; the alpha is kept.
    void munbtm2_Click();
    // The alpha of menu item MNUBF(n), n = 0 for "10％" .. 8 for "90％".
    static int alphaForItem(int n) { return (n + 1) * 25; }
    // Applies the alpha and layered flag held by the window (at start).
    void applyOpacity();

    // Esc: a minimised window does nothing (false); otherwise a see-through
    // window is made opaque until the capture ends (without touching the stored
    // value), the movie stops, and the capture may start (true).
    bool prepareCapture();
    // The capture window has closed: the next 100 ms tick restores opacity.
    void captureEnded();
    // The tick's last step: restores opacity once after a capture.
    void restoreAfterCapture();
    bool opacityRestorePending() const { return restore_ != Restore::None; }

private:
    void toggleTopmost();
    void toggleStored(int index);

    enum class Restore { None, WaitingForCapture, Due };

    frmmain& w_;
    std::optional<bool> topmost_;  // unset at every start
    Restore restore_ = Restore::None;
};

} // namespace nimbrel::player
