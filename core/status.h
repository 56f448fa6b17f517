#pragma once
// The outcome of a file or database operation: success, or a failure with a
// sentence the user can read. Nothing in the program throws for expected
// failures; functions return a Status and callers decide how to report it.
#include <string>
#include <utility>

namespace zenfaro {

class Status {
 public:
  enum class Code { ok, not_found, io_error, refused };

  Status() = default;
  static Status ok() { return Status(); }
  static Status not_found(std::string message) { return Status(Code::not_found, std::move(message)); }
  static Status io_error(std::string message) { return Status(Code::io_error, std::move(message)); }
  // The operation was not attempted because it would break a rule of the
  // database (a capacity, a damaged file, a forbidden target).
  static Status refused(std::string message) { return Status(Code::refused, std::move(message)); }

  bool is_ok() const { return code_ == Code::ok; }
  bool is_not_found() const { return code_ == Code::not_found; }
  Code code() const { return code_; }
  const std::string& message() const { return message_; }

 private:
  Status(Code code, std::string message) : code_(code), message_(std::move(message)) {}
  Code code_ = Code::ok;
  std::string message_;
};

}  // namespace zenfaro
