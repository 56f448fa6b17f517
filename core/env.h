#pragma once
// The file-system seam. Every file operation of the database and exchange
// code goes through an Env, so that tests can make any single operation fail
// (see tests/support/faulty_env.h) while the format code itself stays real.
//
// Paths are std::filesystem paths; no operation changes the process's current
// folder.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "core/status.h"

namespace zenfaro {

namespace fs = std::filesystem;

// A file opened for reading, positioned at its start.
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // Reads up to `size` bytes at the current position into `buffer` and sets
  // `*got` to the number read; `*got` is 0 only at the end of the file.
  virtual Status read(char* buffer, std::size_t size, std::size_t* got) = 0;
  // Moves to `offset` bytes from the start (past the end is allowed and
  // reads nothing).
  virtual Status seek(std::uint64_t offset) = 0;
  // The file's length in bytes when it was opened.
  virtual std::uint64_t size() const = 0;
};

// A file opened for writing. Appended bytes may be buffered until flush();
// flush() makes them durable (on disk, not only in the operating system).
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  virtual Status append(std::string_view bytes) = 0;
  virtual Status flush() = 0;
  virtual Status close() = 0;
};

class Env {
 public:
  virtual ~Env() = default;

  // Opens an existing file for reading. A missing file gives not_found.
  virtual Status open_readable(const fs::path& path, std::unique_ptr<ReadableFile>* file) = 0;
  // Creates the file, or cuts an existing one to zero length; with
  // `append` an existing file keeps its bytes and writes go to its end.
  virtual Status open_writable(const fs::path& path, bool append, std::unique_ptr<WritableFile>* file) = 0;
  // Deletes a file. A missing file gives not_found.
  virtual Status remove_file(const fs::path& path) = 0;
  // Renames `from` to `to`, replacing `to` when it exists, in one step.
  virtual Status rename_file(const fs::path& from, const fs::path& to) = 0;
  // Copies `from` over `to` (replacing it). Used only outside the database
  // files: installation and transfer at start-up and exit.
  virtual Status copy_file(const fs::path& from, const fs::path& to) = 0;
  // True when `path` names an existing regular file that can be opened for
  // reading. Never creates anything.
  virtual bool file_exists(const fs::path& path) = 0;
  // Makes the creation, renaming and deletion of entries in `folder` durable.
  virtual Status sync_folder(const fs::path& folder) = 0;
};

// The real file system.
Env& default_env();

// Reads a whole file into `contents` (for small files: journals, tests).
Status read_file_to_string(Env& env, const fs::path& path, std::string* contents);
// Writes `contents` to `path` (created or cut), durably, checking each step.
Status write_string_to_file(Env& env, const fs::path& path, std::string_view contents);

}  // namespace zenfaro
