#pragma once
// An Env over the real file system that logs every operation that changes a file (and, on request, every
// read) and makes one of them fail, or every one from there on, or stops the program there as a kill would
// (throwing Killed). drop_unsynced_data() then takes back what a power loss would: what was written since a
// file's last sync. The disk itself is never waited for.
#include <map>
#include <string>
#include <vector>

#include "core/env.h"

namespace zenfaro::testing {

struct Killed {};

class FaultyEnv final : public EnvWrapper {
 public:
  using Path = std::filesystem::path;
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
  Status step(const std::string& what);  // counts an operation; an error when it is one to fail
  void drop_unsynced_data();
  void note_synced(const Path& path, std::uint64_t bytes) { synced_[path] = bytes; }

  Status open_readable(const Path& path, std::unique_ptr<ReadableFile>* file) override;
  Status open_writable(const Path& path, OpenMode mode, std::unique_ptr<WritableFile>* file) override;
  Status rename_file(const Path& from, const Path& to) override;
  // The rest is counted, and passed on unless it is to fail.
  Status remove_file(const Path& p) override {
    return pass("remove " + name(p), [&] { return target().remove_file(p); });
  }
  Status link_file(const Path& a, const Path& b) override {
    return pass("link " + name(a) + " -> " + name(b), [&] { return target().link_file(a, b); });
  }
  Status copy_file(const Path& a, const Path& b) override {
    return pass("copy " + name(a) + " -> " + name(b), [&] { return target().copy_file(a, b); });
  }
  Status set_permissions(const Path& p, std::uint32_t bits) override {
    return pass("chmod " + name(p), [&] { return target().set_permissions(p, bits); });
  }
  Status truncate_file(const Path& p, std::uint64_t size) override {
    return pass("truncate " + name(p), [&] { return target().truncate_file(p, size); });
  }
  Status try_lock(const Path& p, std::unique_ptr<FileLock>* lock) override {
    return pass("lock " + name(p), [&] { return target().try_lock(p, lock); });
  }
  Status sync_folder(const Path& folder) override { return step("syncdir " + name(folder)); }

  static std::string name(const Path& path) { return path.filename().u8string(); }

 private:
  template <typename Call>
  Status pass(const std::string& what, Call call) {
    Status status = step(what);
    return status.is_ok() ? call() : status;
  }
  std::map<Path, std::uint64_t> synced_;  // durable bytes of each file written
};

}  // namespace zenfaro::testing
