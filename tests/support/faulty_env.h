#pragma once
// An Env over the real file system that logs every operation that changes a file (on request every read too) and
// fails one of them (or every one from there on) or throws Killed there; drop_unsynced_data() then takes back
// what a power loss would: what was written since a file's last sync. The disk itself is never waited for.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "core/env.h"

namespace zenfaro::testing {

namespace fs = std::filesystem;
struct Killed {};

class FaultyEnv final : public EnvWrapper {
 public:
  using Path = fs::path;
  explicit FaultyEnv(Env& base = default_env()) : EnvWrapper(base) {}

  int fail_at = -1;            // the operation (counted from 0) to fail, or -1
  bool fail_onwards = false;   // and every one after it
  int kill_at = -1;            // the operation before which to "kill", or -1
  bool count_reads = false;    // openings for reading and reads count too
  std::size_t read_limit = 0;  // when not 0, each read gives at most this many bytes
  // "create X", "write X", "sync X", "close X", "remove X", "rename X -> Y", "link X -> Y", "copy X -> Y",
  // "chmod X", "truncate X", "syncdir X", "lock X", "open X", "read X", by file name.
  std::vector<std::string> log;

  void reset() {
    fail_at = kill_at = -1;
    fail_onwards = count_reads = false;
    read_limit = 0;
    log.clear();
    synced_.clear();
  }
  Status step(const std::string& what) {  // counts an operation; an error when it is one to fail
    const int number = static_cast<int>(log.size());
    if (number == kill_at) throw Killed{};
    log.push_back(what);
    const bool fails = fail_at >= 0 && (number == fail_at || (fail_onwards && number > fail_at));
    return fails ? Status::io_error("Injected failure: " + what + ".", "injected failure") : Status::ok();
  }
  void drop_unsynced_data() {
    for (const auto& [path, synced] : synced_) {
      std::error_code ec;
      if (fs::exists(path, ec) && fs::file_size(path, ec) > synced) fs::resize_file(path, synced, ec);
    }
  }
  void note_synced(const Path& path, std::uint64_t bytes) { synced_[path] = bytes; }

  Status open_readable(const Path& path, std::unique_ptr<ReadableFile>* file) override;
  Status open_writable(const Path& path, OpenMode mode, std::unique_ptr<WritableFile>* file) override;
  Status rename_file(const Path& from, const Path& to) override {
    Status status = pass("rename " + names(from, to), &Env::rename_file, from, to);
    if (status.is_ok() && synced_.count(from) != 0) {  // what was synced moves with the name
      synced_[to] = synced_[from];
      synced_.erase(from);
    }
    return status;
  }
  // The rest is counted, and passed on unless it is to fail.
  Status remove_file(const Path& p) override { return pass("remove " + name(p), &Env::remove_file, p); }
  Status link_file(const Path& a, const Path& b) override { return pass("link " + names(a, b), &Env::link_file, a, b); }
  Status copy_file(const Path& a, const Path& b) override { return pass("copy " + names(a, b), &Env::copy_file, a, b); }
  Status set_permissions(const Path& p, std::uint32_t bits) override {
    return pass("chmod " + name(p), &Env::set_permissions, p, bits);
  }
  Status truncate_file(const Path& p, std::uint64_t size) override {
    return pass("truncate " + name(p), &Env::truncate_file, p, size);
  }
  Status try_lock(const Path& p, LockKind kind, std::unique_ptr<FileLock>* lock) override {
    return pass((kind == LockKind::shared ? "share " : "lock ") + name(p), &Env::try_lock, p, kind, lock);
  }
  Status sync_folder(const Path& folder) override { return step("syncdir " + name(folder)); }

  static std::string name(const Path& path) { return path.filename().u8string(); }
  static std::string names(const Path& a, const Path& b) { return name(a) + " -> " + name(b); }

 private:
  template <typename... Params, typename... Args>
  Status pass(const std::string& what, Status (Env::*call)(Params...), Args&&... args) {
    Status status = step(what);
    return status.is_ok() ? (target().*call)(std::forward<Args>(args)...) : status;
  }
  std::map<Path, std::uint64_t> synced_;  // durable bytes of each file written
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
  const std::uint64_t start = mode == OpenMode::append ? target().file_info(path).size : 0;
  std::unique_ptr<WritableFile> base;
  if (status.is_ok()) status = target().open_writable(path, mode, &base);
  if (status.is_ok()) file->reset(new FaultyWritable(*this, std::move(base), path, start));
  return status;
}

}  // namespace zenfaro::testing
