#pragma once
// Raised by CommonDialog when CancelError is set and the user gives no answer.
// The code is the one callers of the classic dialog test for.
#include <stdexcept>

namespace nimbrel::platform {

class DialogCancelled : public std::runtime_error {
public:
    static constexpr int Code = 32755;

    explicit DialogCancelled(bool bufferTooSmall = false)
        : std::runtime_error(bufferTooSmall ? "dialog result does not fit MaxFileSize" : "dialog cancelled"),
          tooSmall_(bufferTooSmall) {}

    int code() const noexcept { return Code; }
    // True when a choice was made but its names did not fit MaxFileSize.
    bool bufferTooSmall() const noexcept { return tooSmall_; }

private:
    bool tooSmall_;
};

} // namespace nimbrel::platform
