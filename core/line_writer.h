#pragma once
// Writes record text (count lines, entry lines) and index fields to a file
// through a buffer, counting the bytes written. The first failure is kept in
// status() and every later write does nothing, so a caller checks once, at
// finish().
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/env.h"

namespace zenfaro {

class LineWriter {
 public:
  explicit LineWriter(std::unique_ptr<WritableFile> file);
  // A file created anew (see create_file_anew).
  static Status create(Env& env, const std::filesystem::path& path, std::unique_ptr<LineWriter>* writer);
  // A file appended to (see OpenMode::append).
  static Status append(Env& env, const std::filesystem::path& path, std::unique_ptr<LineWriter>* writer);

  void write_count(std::int64_t count);        // " 7 " CR LF
  void write_line(std::string_view text);      // the bytes, then CR LF
  void write_bytes(std::string_view bytes);    // the bytes alone
  void write_index_field(std::int32_t value);  // 4 bytes, as the index file holds them

  std::uint64_t bytes_written() const { return written_; }
  const Status& status() const { return status_; }
  // Writes out the buffer, makes the file durable and closes it.
  Status finish();
  // Writes out the buffer and closes the file without waiting for the disk.
  Status close();
  // Closes the file after a failure elsewhere; what it holds no longer matters.
  void abandon() { close().ignore_error(); }

 private:
  void drain();

  std::unique_ptr<WritableFile> file_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
  std::uint64_t written_ = 0;
  Status status_;
};

}  // namespace zenfaro
