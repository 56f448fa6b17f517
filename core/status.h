#pragma once
// The outcome of a file or database operation: success, or a failure with a
// sentence the user can read. Nothing in the program throws for expected
// failures; functions return a Status and callers decide how to report it.
//
// A Status must be looked at: dropping one is a compile-time warning. Where a
// failure really changes nothing (the clean-up of a work file that is
// rewritten next time anyway), say so with ignore_error().
#include <string>
#include <utility>

namespace zenfaro {

class [[nodiscard]] Status {
 public:
  enum class Code { ok, not_found, io_error, refused, busy };

  Status() = default;
  static Status ok() { return Status(); }
  static Status not_found(std::string message) { return Status(Code::not_found, std::move(message)); }
  // A file operation failed. `reason` is the system's own words for why
  // ("No space left on device"), when there are any.
  static Status io_error(std::string message, std::string reason = {}) {
    return Status(Code::io_error, std::move(message), std::move(reason));
  }
  // The operation was not attempted because it would break a rule of the
  // database (a capacity, a damaged file, a forbidden target).
  static Status refused(std::string message) { return Status(Code::refused, std::move(message)); }
  // Another program is changing the database: nothing was attempted.
  static Status busy(std::string message) { return Status(Code::busy, std::move(message)); }

  bool is_ok() const { return code_ == Code::ok; }
  bool is_not_found() const { return code_ == Code::not_found; }
  Code code() const { return code_; }
  const std::string& message() const { return message_; }
  const std::string& reason() const { return reason_; }

  // The same failure with `more` added to its message.
  Status with_more(const std::string& more) const { return Status(code_, message_ + more, reason_); }

  // Drops a failure on purpose: the caller's outcome does not depend on it.
  void ignore_error() const {}

 private:
  Status(Code code, std::string message, std::string reason = {})
      : code_(code), message_(std::move(message)), reason_(std::move(reason)) {}
  Code code_ = Code::ok;
  std::string message_;
  std::string reason_;
};

}  // namespace zenfaro
