#pragma once
// An Env over the real file system that logs every operation that changes a
// file (and, on request, every read) and can make one of them fail, make
// every one fail from some point on, or stop the program there as a kill
// would (by throwing Killed, which leaves the files as they are). After a
// kill, drop_unsynced_data() also takes back what a power loss would: the
// bytes written since a file's last sync.
#include <map>
#include <string>
#include <vector>

#include "core/env.h"

namespace zenfaro::testing {

struct Killed {};

class FaultyEnv final : public EnvWrapper {
 public:
  explicit FaultyEnv(Env& base = default_env()) : EnvWrapper(base) {}

  // The number of the operation (counted from 0) to fail, or -1.
  int fail_at = -1;
  // With fail_at: every operation from that one on fails.
  bool fail_onwards = false;
  // The number of the operation before which to "kill", or -1.
  int kill_at = -1;
  // Whether opening a file for reading and each read count as operations.
  bool count_reads = false;
  // "create temp.tmp", "write temp.tmp", "sync temp.tmp", "close temp.tmp",
  // "remove X", "rename X -> Y", "link X -> Y", "copy X -> Y", "chmod X",
  // "truncate X", "syncdir X", "lock X", and with count_reads "open X" and
  // "read X", by file name.
  std::vector<std::string> log;
  // Files opened for reading, by name.
  std::vector<std::string> reads;

  // Forgets the log and every planned failure.
  void reset() {
    fail_at = kill_at = -1;
    fail_onwards = count_reads = false;
    log.clear();
    reads.clear();
    synced_.clear();
  }

  // Counts an operation; returns an error when it is one to fail.
  Status step(const std::string& what);
  // Cuts every file written through this Env back to what its last sync
  // made durable.
  void drop_unsynced_data();
  // Records that `path` holds `synced` durable bytes (used by the files).
  void note_written(const std::filesystem::path& path, std::uint64_t synced) { synced_[path] = synced; }

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
  std::map<std::filesystem::path, std::uint64_t> synced_;
};

}  // namespace zenfaro::testing
