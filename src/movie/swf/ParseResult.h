#pragma once
// A parsed value or the reason there is none. Parsers hand these back instead
// of throwing, so a bad file is an ordinary outcome.
#include <QString>
#include <optional>
#include <utility>

namespace nimbrel::movie::swf {

template <class T>
class ParseResult {
public:
    ParseResult(T value) : value_(std::move(value)) {}
    static ParseResult failure(QString message) {
        ParseResult r;
        r.error_ = std::move(message);
        return r;
    }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const QString& error() const { return error_; }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }

private:
    ParseResult() = default;
    std::optional<T> value_;
    QString error_;
};

} // namespace nimbrel::movie::swf
