#pragma once
// An error the second virtual machine reports to scripts: the reference
// player's error id and its message with the details filled in.
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace nimbrel::movie::avm2 {

struct Avm2Error {
    int id = 0;
    QString text; // without the "Error #id: " prefix

    // The message as the reference player shows it, e.g.
    // "VerifyError: Error #1023: Stack overflow occurred."
    QString message() const;
    // The error class scripts see ("VerifyError" for everything the loader and verifier find).
    QString className() const { return QStringLiteral("VerifyError"); }

    // The error `id` with its message template's %1, %2, ... filled from args.
    static Avm2Error make(int id, const QStringList& args = {});
};

// Error ids the reader and verifier raise, named for the code that uses them.
namespace err {
constexpr int IllegalOpcode = 1011;
constexpr int LastInstructionExceedsCode = 1012;
constexpr int ScopeOverflow = 1017;
constexpr int ScopeUnderflow = 1018;
constexpr int ScopeObjectOutOfBounds = 1019;
constexpr int FallsOffEnd = 1020;
constexpr int BadBranchTarget = 1021;
constexpr int StackOverflow = 1023;
constexpr int StackUnderflow = 1024;
constexpr int BadRegister = 1025;
constexpr int MethodOutOfRange = 1027;
constexpr int StackUnbalanced = 1030;
constexpr int ScopeUnbalanced = 1031;
constexpr int PoolIndexOutOfRange = 1032;
constexpr int PoolEntryWrongType = 1033;
constexpr int UnsupportedTraitKind = 1045;
constexpr int BadExceptionRange = 1054;
constexpr int ClassOutOfRange = 1060;
constexpr int IllegalMultinameForOpcode = 1078;
constexpr int CorruptAbc = 1107;
constexpr int NewActivationWithoutFlag = 1113;
constexpr int DuplicateMethodBody = 1121;
} // namespace err

// A value or the error that stopped it, for the reader and the verifier.
template <class T>
class AbcResult {
public:
    AbcResult(T value) : value_(std::move(value)) {}
    AbcResult(Avm2Error error) : error_(std::move(error)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const Avm2Error& error() const { return error_; }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }

private:
    std::optional<T> value_;
    Avm2Error error_;
};

} // namespace nimbrel::movie::avm2
