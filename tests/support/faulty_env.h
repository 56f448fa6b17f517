#pragma once
// An Env over the real file system that logs every operation that changes a file (on request every read too), fails
// one or two of them (or every one from one on) or throws Killed before one. crash() then takes back what a power
// loss would, as LevelDB's fault-injection environment does: the bytes written since a file's last sync, and the
// creations, removals, renames and links made since the last sync of their folder (of both folders, for a rename
// from one into another). With Crash::keep_removals the removals stay (a file system that writes them out first), so
// that a removal which only a sync orders after a rename shows; with Crash::keep_names every change of a folder stays
// and only the unsynced bytes go (a file system that writes names out before data), so that a rename of a file whose
// bytes were not synced shows. The disk itself is never waited for.
#include <algorithm>
#include <atomic>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/env.h"

namespace zenfaro::testing {

namespace fs = std::filesystem;
struct Killed {};

class FaultyEnv final : public EnvWrapper {
 public:
  using Path = fs::path;
  enum class Crash { drop_all, keep_removals, keep_names };
  explicit FaultyEnv(Env& base = default_env()) : EnvWrapper(base) {}
  ~FaultyEnv() override {
    std::error_code ignored;
    if (!stash_.empty()) fs::remove_all(stash_, ignored);
  }
  FaultyEnv(const FaultyEnv&) = delete;
  FaultyEnv& operator=(const FaultyEnv&) = delete;

  int fail_at = -1;            // the operation (counted from 0) to fail, or -1
  int fail_too = -1;           // a second one to fail, or -1
  bool fail_onwards = false;   // and every one after fail_at
  int kill_at = -1;            // the operation before which to "kill", or -1
  bool count_reads = false;    // openings for reading and reads count too
  std::size_t read_limit = 0;  // when not 0, each read gives at most this many bytes
  Crash crash_mode = Crash::drop_all;
  // "create X", "write X", "sync X", "close X", "remove X", "rename X -> Y", "link X -> Y",
  // "chmod X", "chgrp X", "truncate X", "syncdir X", "lock X", "share X", "open X", "read X", by file name.
  std::vector<std::string> log;

  void reset() {
    fail_at = fail_too = kill_at = -1;
    fail_onwards = count_reads = false;
    read_limit = 0;
    crash_mode = Crash::drop_all;
    log.clear();
    synced_.clear();
    pending_.clear();
  }
  Status step(const std::string& what) {  // counts an operation; an error when it is one to fail
    const int number = static_cast<int>(log.size());
    if (number == kill_at) throw Killed{};
    log.push_back(what);
    const bool fails =
        number == fail_too || (fail_at >= 0 && (number == fail_at || (fail_onwards && number > fail_at)));
    return fails ? Status::io_error("Injected failure: " + what + ".", "injected failure") : Status::ok();
  }
  // Takes back what was not made durable, newest first, then cuts every file written back to its synced bytes.
  void crash() {
    for (auto change = pending_.rbegin(); change != pending_.rend(); ++change) {
      if (crash_mode == Crash::keep_names || (crash_mode == Crash::keep_removals && change->kind == Change::removed)) {
        continue;
      }
      take_back(*change);
    }
    pending_.clear();
    for (const auto& [path, synced] : synced_) {
      std::error_code ec;
      if (fs::is_regular_file(fs::symlink_status(path, ec)) && fs::file_size(path, ec) > synced) {
        fs::resize_file(path, synced, ec);
      }
    }
  }
  void note_synced(const Path& path, std::uint64_t bytes) { synced_[path] = bytes; }

  Status open_readable(const Path& path, std::unique_ptr<ReadableFile>* file) override;
  Status open_writable(const Path& path, OpenMode mode, std::unique_ptr<WritableFile>* file) override;
  Status remove_file(const Path& path) override {
    Status status = step("remove " + name(path));
    if (!status.is_ok()) return status;
    const Path stash = keep_aside(path);
    status = target().remove_file(path);
    note(status, {Change::removed, path, {}, stash, {folder_of(path)}});
    return status;
  }
  Status rename_file(const Path& from, const Path& to) override {
    Status status = step("rename " + names(from, to));
    if (!status.is_ok()) return status;
    const Path stash = keep_aside(to);
    status = target().rename_file(from, to);
    note(status, {Change::renamed, to, from, stash, {folder_of(from), folder_of(to)}});
    return status;
  }
  Status link_file(const Path& a, const Path& b) override {
    Status status = pass("link " + names(a, b), &Env::link_file, a, b);
    note(status, {Change::created, b, {}, {}, {folder_of(b)}});
    return status;
  }
  Status sync_folder(const Path& folder) override {
    Status status = step("syncdir " + name(folder));
    if (!status.is_ok()) return status;
    const Path synced = normal(folder);
    for (Change& change : pending_) {
      change.folders.erase(std::remove(change.folders.begin(), change.folders.end(), synced), change.folders.end());
    }
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(), [](const Change& c) { return c.folders.empty(); }),
                   pending_.end());
    return status;
  }
  // The rest is counted, and passed on unless it is to fail.
  Status set_permissions(const Path& p, std::uint32_t bits) override {
    return pass("chmod " + name(p), &Env::set_permissions, p, bits);
  }
  Status set_group(const Path& p, std::uint32_t group) override {
    return pass("chgrp " + name(p), &Env::set_group, p, group);
  }
  Status truncate_file(const Path& p, std::uint64_t size) override {
    return pass("truncate " + name(p), &Env::truncate_file, p, size);
  }
  Status try_lock(const Path& p, LockKind kind, std::uint32_t bits, std::unique_ptr<FileLock>* lock) override {
    return pass((kind == LockKind::shared ? "share " : "lock ") + name(p), &Env::try_lock, p, kind, bits, lock);
  }

  static std::string name(const Path& path) { return path.filename().u8string(); }
  static std::string names(const Path& a, const Path& b) { return name(a) + " -> " + name(b); }

 private:
  // One change of a folder's entries that a crash takes back until each of `folders` was synced after it.
  struct Change {
    enum Kind { created, removed, renamed } kind;
    Path path;   // the name created, removed or renamed to
    Path from;   // renamed: the old name
    Path stash;  // removed, or renamed over: the file that stood at `path`, kept under another name
    std::vector<Path> folders;
  };

  static Path normal(const Path& path) {
    std::error_code ec;
    return fs::absolute(path.empty() ? Path(".") : path, ec).lexically_normal();
  }
  static Path folder_of(const Path& file) { return normal(file).parent_path(); }

  template <typename... Params, typename... Args>
  Status pass(const std::string& what, Status (Env::*call)(Params...), Args&&... args) {
    Status status = step(what);
    return status.is_ok() ? (target().*call)(std::forward<Args>(args)...) : status;
  }
  // Keeps the file at `path` (if any) under a second name, so that a crash can put it back as it was.
  Path keep_aside(const Path& path) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) return {};
    if (stash_.empty()) {
      static std::atomic<unsigned> counter{0};
      stash_ = fs::temp_directory_path() /
               ("zenfaro-faulty-" + std::to_string(std::random_device()()) + "-" + std::to_string(counter++));
      fs::create_directories(stash_);
    }
    const Path stash = stash_ / std::to_string(stashed_++);
    fs::create_hard_link(path, stash, ec);
    return ec ? Path() : stash;
  }
  void move_synced(const Path& from, const Path& to) {
    const auto found = synced_.find(from);
    if (found == synced_.end()) return;
    synced_[to] = found->second;
    synced_.erase(from);
  }
  void note(const Status& status, Change change) {
    std::error_code ec;
    if (!status.is_ok()) {
      if (!change.stash.empty()) fs::remove(change.stash, ec);
      return;
    }
    if (change.kind == Change::removed) move_synced(change.path, change.stash);
    if (change.kind == Change::renamed) {
      if (!change.stash.empty()) move_synced(change.path, change.stash);
      move_synced(change.from, change.path);
    }
    pending_.push_back(std::move(change));
  }
  void take_back(const Change& change) {
    std::error_code ec;
    switch (change.kind) {
      case Change::created:
        fs::remove(change.path, ec);
        synced_.erase(change.path);
        break;
      case Change::removed:
        if (!change.stash.empty() && !fs::exists(fs::symlink_status(change.path, ec))) {
          fs::rename(change.stash, change.path, ec);
          move_synced(change.stash, change.path);
        }
        break;
      case Change::renamed:
        fs::rename(change.path, change.from, ec);
        move_synced(change.path, change.from);
        if (!change.stash.empty()) {
          fs::rename(change.stash, change.path, ec);
          move_synced(change.stash, change.path);
        }
        break;
    }
  }

  std::map<Path, std::uint64_t> synced_;  // durable bytes of each file written
  std::vector<Change> pending_;           // not yet durable, oldest first
  Path stash_;
  unsigned stashed_ = 0;
};

class FaultyReadable final : public ReadableFile {
 public:
  FaultyReadable(FaultyEnv& env, std::unique_ptr<ReadableFile> base, std::string name)
      : env_(env), base_(std::move(base)), name_(std::move(name)) {}
  Status read_at(std::uint64_t offset, char* buffer, std::size_t size, std::size_t* got) override {
    *got = 0;
    Status status = env_.count_reads ? env_.step("read " + name_) : Status::ok();
    if (env_.read_limit != 0) size = std::min(size, env_.read_limit);
    return status.is_ok() ? base_->read_at(offset, buffer, size, got) : status;
  }
  std::uint64_t size() const override { return base_->size(); }

 private:
  FaultyEnv& env_;
  std::unique_ptr<ReadableFile> base_;
  std::string name_;
};

class FaultyWritable final : public WritableFile {
 public:
  FaultyWritable(FaultyEnv& env, std::unique_ptr<WritableFile> base, fs::path path, std::uint64_t start)
      : env_(env), base_(std::move(base)), path_(std::move(path)), written_(start) {
    env_.note_synced(path_, start);
  }
  Status append(std::string_view bytes) override {
    Status status = env_.step("write " + FaultyEnv::name(path_));
    if (status.is_ok()) status = base_->append(bytes);
    written_ += status.is_ok() ? bytes.size() : 0;
    return status;
  }
  Status sync() override {
    Status status = env_.step("sync " + FaultyEnv::name(path_));
    if (status.is_ok()) env_.note_synced(path_, written_);
    return status;
  }
  Status close() override {
    Status status = env_.step("close " + FaultyEnv::name(path_));
    Status closed = base_->close();  // the handle is released whatever happens
    return status.is_ok() ? closed : status;
  }

 private:
  FaultyEnv& env_;
  std::unique_ptr<WritableFile> base_;
  fs::path path_;
  std::uint64_t written_;
};

inline Status FaultyEnv::open_readable(const Path& path, std::unique_ptr<ReadableFile>* file) {
  Status status = count_reads ? step("open " + name(path)) : Status::ok();
  std::unique_ptr<ReadableFile> base;
  if (status.is_ok()) status = target().open_readable(path, &base);
  if (status.is_ok()) file->reset(new FaultyReadable(*this, std::move(base), name(path)));
  return status;
}

inline Status FaultyEnv::open_writable(const Path& path, OpenMode mode, std::unique_ptr<WritableFile>* file) {
  Status status = step("create " + name(path));
  const FileInfo before = target().file_info(path);
  std::unique_ptr<WritableFile> base;
  if (status.is_ok()) status = target().open_writable(path, mode, &base);
  if (status.is_ok()) file->reset(new FaultyWritable(*this, std::move(base), path, before.size));
  if (!before.present()) note(status, {Change::created, path, {}, {}, {folder_of(path)}});
  return status;
}

}  // namespace zenfaro::testing
