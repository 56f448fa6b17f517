#pragma once
// The file-system seam. Every file operation of the program goes through an
// Env, so that tests can make any single operation fail (see
// tests/support/faulty_env.h) while the format code itself stays real.
//
// Paths are std::filesystem paths; no operation changes the process's
// current folder. The one implementation for the real file system is built
// on core/platform.h.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "core/status.h"

namespace zenfaro {

// What is at a name, links followed.
enum class FileKind { none, regular, folder, fifo, device, socket, other };

// "a FIFO", "a folder", ...: a file that is not a regular one, as messages
// name it.
const char* kind_name(FileKind kind);

// What the file system says about a file, links followed.
struct FileInfo {
  bool exists = false;  // a regular file is there
  FileKind kind = FileKind::none;
  bool link = false;  // the name itself is a symbolic link (on Windows a reparse point), dangling or not
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // the time of the last write, in the system's units
  // Which file this is: another file put at the same name (a rename over
  // it) has another identity.
  std::uint64_t device = 0;
  std::uint64_t file_id = 0;
  // POSIX permission bits (on Windows 0444 for a read-only file, else 0666).
  std::uint32_t permissions = 0;
  std::uint32_t group = 0;  // the owning group (POSIX; 0 on Windows)

  // Something has this name: a file of any kind, or a link.
  bool present() const { return kind != FileKind::none || link; }
  bool read_only() const { return exists && (permissions & 0222u) == 0; }
  // The same file in the same state: nobody wrote or replaced it meanwhile.
  friend bool operator==(const FileInfo& a, const FileInfo& b) {
    return a.exists == b.exists && a.size == b.size && a.modified == b.modified && a.device == b.device &&
           a.file_id == b.file_id;
  }
  friend bool operator!=(const FileInfo& a, const FileInfo& b) { return !(a == b); }
};

// A file opened for reading.
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // Reads up to `size` bytes from `offset` into `buffer` and sets `*got` to
  // the number read: one positioned read, no separate seek. `*got` is 0
  // only at or past the end of the file.
  virtual Status read_at(std::uint64_t offset, char* buffer, std::size_t size, std::size_t* got) = 0;
  // The file's length in bytes when it was opened.
  virtual std::uint64_t size() const = 0;
};

// A file opened for writing. Appended bytes reach the operating system at
// once; sync() makes them durable (on the disk, not only in its cache).
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  virtual Status append(std::string_view bytes) = 0;
  virtual Status sync() = 0;
  virtual Status close() = 0;
};

// A lock on a lock file, held until it is destroyed.
class FileLock {
 public:
  virtual ~FileLock() = default;
};

// An exclusive lock has one holder; a shared lock any number of holders, and
// no exclusive one while they hold it.
enum class LockKind { exclusive, shared };

// The program writes only files it created: a new file, or the import log,
// which it appends to. Neither opening follows a symbolic link.
enum class OpenMode {
  create_new,  // create the file; an existing name (a link included) gives an error
  append,      // create the file, or keep its bytes and write at its end; only a regular file
};

class Env {
 public:
  virtual ~Env() = default;

  // Opens an existing regular file for reading, links followed, without
  // waiting: a missing file gives not_found, anything but a regular file
  // (a FIFO, a device, a folder) an error that names it.
  virtual Status open_readable(const std::filesystem::path& path, std::unique_ptr<ReadableFile>* file) = 0;
  virtual Status open_writable(const std::filesystem::path& path, OpenMode mode,
                               std::unique_ptr<WritableFile>* file) = 0;
  // Deletes a file. A missing file gives not_found.
  virtual Status remove_file(const std::filesystem::path& path) = 0;
  // Renames `from` to `to`, replacing `to` in one step, so that `to` never
  // goes missing. When `to` is a symbolic link, the file it points to is
  // replaced and the link stays.
  virtual Status rename_file(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  // Makes `to` (which must not exist) a second name of the file `from`, or,
  // where the file system has no such links, a durable copy of it.
  virtual Status link_file(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  // What the file system says about `path`; a missing file, or one that
  // cannot be looked at, is FileKind::none.
  virtual FileInfo file_info(const std::filesystem::path& path) = 0;
  // The file that `path` finally names when it is a symbolic link (`path`
  // itself when it is none).
  virtual std::filesystem::path link_target(const std::filesystem::path& path) = 0;
  // Gives `path` the permission bits `permissions` (see FileInfo).
  virtual Status set_permissions(const std::filesystem::path& path, std::uint32_t permissions) = 0;
  // Gives `path` the owning group `group` (see FileInfo); a group the user
  // may not give is an error.
  virtual Status set_group(const std::filesystem::path& path, std::uint32_t group) = 0;
  // Cuts `path` back to `size` bytes.
  virtual Status truncate_file(const std::filesystem::path& path, std::uint64_t size) = 0;
  // Makes the creation, renaming and deletion of entries in `folder` durable.
  virtual Status sync_folder(const std::filesystem::path& folder) = 0;
  // Takes a lock of `kind` on the lock file `path` without waiting: busy
  // when another holder has a lock that conflicts with it. Other programs
  // that honour the lock, in this process or another, wait for it. A
  // missing lock file is created with the permission bits `permissions`
  // (0: the system's default), never through a symbolic link; one the user
  // may only read is locked all the same.
  virtual Status try_lock(const std::filesystem::path& path, LockKind kind, std::uint32_t permissions,
                          std::unique_ptr<FileLock>* lock) = 0;
};

// An Env that passes every call to another one: the base of Envs that
// watch or change a few calls (tests that make operations fail, the
// benchmark that counts bytes).
class EnvWrapper : public Env {
 public:
  explicit EnvWrapper(Env& target) : target_(target) {}
  Env& target() const { return target_; }

  Status open_readable(const std::filesystem::path& path, std::unique_ptr<ReadableFile>* file) override {
    return target_.open_readable(path, file);
  }
  Status open_writable(const std::filesystem::path& path, OpenMode mode, std::unique_ptr<WritableFile>* file) override {
    return target_.open_writable(path, mode, file);
  }
  Status remove_file(const std::filesystem::path& path) override { return target_.remove_file(path); }
  Status rename_file(const std::filesystem::path& from, const std::filesystem::path& to) override {
    return target_.rename_file(from, to);
  }
  Status link_file(const std::filesystem::path& from, const std::filesystem::path& to) override {
    return target_.link_file(from, to);
  }
  FileInfo file_info(const std::filesystem::path& path) override { return target_.file_info(path); }
  std::filesystem::path link_target(const std::filesystem::path& path) override { return target_.link_target(path); }
  Status set_permissions(const std::filesystem::path& path, std::uint32_t permissions) override {
    return target_.set_permissions(path, permissions);
  }
  Status set_group(const std::filesystem::path& path, std::uint32_t group) override {
    return target_.set_group(path, group);
  }
  Status truncate_file(const std::filesystem::path& path, std::uint64_t size) override {
    return target_.truncate_file(path, size);
  }
  Status sync_folder(const std::filesystem::path& folder) override { return target_.sync_folder(folder); }
  Status try_lock(const std::filesystem::path& path, LockKind kind, std::uint32_t permissions,
                  std::unique_ptr<FileLock>* lock) override {
    return target_.try_lock(path, kind, permissions, lock);
  }

 private:
  Env& target_;
};

// The real file system.
Env& default_env();

// True when `path` can be opened for reading as an existing file (the test
// opens it and closes it again at once).
bool file_exists(Env& env, const std::filesystem::path& path);
// Reads a whole file into `contents` (for small files: journals, tests). A
// file larger than `limit` bytes is refused by its size, unread.
Status read_file_to_string(Env& env, const std::filesystem::path& path, std::string* contents,
                           std::uint64_t limit = UINT64_MAX);
// Removes what a run of the program may have left under one of its own
// names: a regular file, or a symbolic link (the link goes, not what it
// names). Anything else there (a FIFO, a device, a folder) is refused,
// named, and stays. Nothing there is ok.
Status remove_leftover(Env& env, const std::filesystem::path& path);
// Creates `path` anew for the program to write: a leftover goes first (see
// remove_leftover), then the file is created new, so nothing but a file
// this program made is ever written.
Status create_file_anew(Env& env, const std::filesystem::path& path, std::unique_ptr<WritableFile>* file);
// Copies `from` into a new file `to` (which must not exist) and makes the
// copy durable.
Status copy_file(Env& env, const std::filesystem::path& from, const std::filesystem::path& to);
// Writes `contents` to `path` (created anew), durably, checking each step.
Status write_string_to_file(Env& env, const std::filesystem::path& path, std::string_view contents);
// True when both paths name one existing file (hard links and other
// spellings included), or, when either does not exist, when their absolute
// normal forms are equal.
bool same_file(Env& env, const std::filesystem::path& a, const std::filesystem::path& b);
// "\"PATH\"": a path as messages name it.
std::string quoted(const std::filesystem::path& path);

}  // namespace zenfaro
