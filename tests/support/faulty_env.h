#pragma once
// An Env over the real file system that logs every operation that changes a
// file (and, on request, every read) and makes one of them fail, or every
// one from there on, or stops the program there as a kill would (throwing
// Killed). drop_unsynced_data() then takes back what a power loss would:
// what was written since a file's last sync. The disk itself is never
// waited for.
#include <map>
#include <string>
#include <vector>

#include "core/env.h"

namespace zenfaro::testing {

struct Killed {};

class FaultyEnv final : public EnvWrapper {
 public:
  explicit FaultyEnv(Env& base = default_env()) : EnvWrapper(base) {}

  int fail_at = -1;           // the operation (counted from 0) to fail, or -1
  bool fail_onwards = false;  // and every one after it
  int kill_at = -1;           // the operation before which to "kill", or -1
  bool count_reads = false;   // openings for reading and reads count too
  std::size_t read_limit = 0;  // when not 0, each read gives at most this many bytes
  // "create X", "write X", "sync X", "close X", "remove X", "rename X -> Y",
  // "link X -> Y", "copy X -> Y", "chmod X", "truncate X", "syncdir X",
  // "lock X", "open X", "read X", by file name.
  std::vector<std::string> log;

  void reset() {
    fail_at = kill_at = -1;
    fail_onwards = count_reads = false;
    read_limit = 0;
    log.clear();
    synced_.clear();
  }
  // Counts an operation; an error when it is one to fail.
  Status step(const std::string& what);
  void drop_unsynced_data();
  void note_synced(const std::filesystem::path& path, std::uint64_t bytes) { synced_[path] = bytes; }

  Status open_readable(const std::filesystem::path& path, std::unique_ptr<ReadableFile>* file) override;
  Status open_writable(const std::filesystem::path& path, OpenMode mode, std::unique_ptr<WritableFile>* file) override;
  Status remove_file(const std::filesystem::path& path) override;
  Status rename_file(const std::filesystem::path& from, const std::filesystem::path& to) override;
  Status link_file(const std::filesystem::path& from, const std::filesystem::path& to) override;
  Status copy_file(const std::filesystem::path& from, const std::filesystem::path& to) override;
  Status set_permissions(const std::filesystem::path& path, std::uint32_t permissions) override;
  Status truncate_file(const std::filesystem::path& path, std::uint64_t size) override;
  Status sync_folder(const std::filesystem::path& folder) override;
  Status try_lock(const std::filesystem::path& path, std::unique_ptr<FileLock>* lock) override;

 private:
  std::map<std::filesystem::path, std::uint64_t> synced_;  // durable bytes of each file written
};

}  // namespace zenfaro::testing
