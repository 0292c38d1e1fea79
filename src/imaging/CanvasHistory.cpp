#include "imaging/CanvasHistory.h"

namespace nimbrel::imaging {

void CanvasHistory::record(const QImage& before) {
    for (const QImage& img : redo_)
        bytes_ -= img.sizeInBytes();
    redo_.clear();
    undo_.push_back(before);
    bytes_ += before.sizeInBytes();
    trim();
}

std::optional<QImage> CanvasHistory::undo(const QImage& current) {
    if (undo_.empty())
        return std::nullopt;
    QImage back = undo_.back();
    undo_.pop_back();
    bytes_ += current.sizeInBytes() - back.sizeInBytes();
    redo_.push_front(current);
    trim();
    return back;
}

std::optional<QImage> CanvasHistory::redo(const QImage& current) {
    if (redo_.empty())
        return std::nullopt;
    QImage next = redo_.front();
    redo_.pop_front();
    bytes_ += current.sizeInBytes() - next.sizeInBytes();
    undo_.push_back(current);
    trim();
    return next;
}

void CanvasHistory::clear() {
    undo_.clear();
    redo_.clear();
    bytes_ = 0;
}

void CanvasHistory::trim() {
    // The oldest undo steps go first, then the redo steps furthest away.
    while (bytes_ > budget_ && !undo_.empty()) {
        bytes_ -= undo_.front().sizeInBytes();
        undo_.pop_front();
    }
    while (bytes_ > budget_ && !redo_.empty()) {
        bytes_ -= redo_.back().sizeInBytes();
        redo_.pop_back();
    }
}

} // namespace nimbrel::imaging
