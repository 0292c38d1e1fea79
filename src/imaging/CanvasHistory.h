#pragma once
// Undo and redo of canvas changes: the picture as it was before each change,
// kept within a byte budget. When the pictures kept pass the budget the oldest
// steps go first.
#include <QImage>
#include <deque>
#include <optional>

namespace nimbrel::imaging {

class CanvasHistory {
public:
    static constexpr qint64 DefaultBudget = 128LL * 1024 * 1024;

    explicit CanvasHistory(qint64 budgetBytes = DefaultBudget) : budget_(budgetBytes) {}

    // Call before a change with the picture as it is; a new change ends the redo steps.
    void record(const QImage& before);
    // The picture to show instead of `current`; nothing when there is no step.
    std::optional<QImage> undo(const QImage& current);
    std::optional<QImage> redo(const QImage& current);
    void clear();

    int undoSteps() const { return int(undo_.size()); }
    int redoSteps() const { return int(redo_.size()); }
    qint64 bytesKept() const { return bytes_; }

private:
    void trim();

    qint64 budget_;
    qint64 bytes_ = 0;
    std::deque<QImage> undo_;  // oldest first
    std::deque<QImage> redo_;  // next redo first
};

} // namespace nimbrel::imaging
