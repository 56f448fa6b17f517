#pragma once
// An Env over the real file system that logs every operation that changes a
// file and can make one of them fail, or stop the program there as a kill
// would (by throwing Killed, which leaves the files as they are).
#include <string>
#include <vector>

#include "core/env.h"

namespace zenfaro::testing {

struct Killed {};

class FaultyEnv final : public Env {
 public:
  explicit FaultyEnv(Env& base = default_env()) : base_(base) {}

  // The number of the changing operation (counted from 0) to fail, or -1.
  int fail_at = -1;
  // The number of the changing operation before which to "kill", or -1.
  int kill_at = -1;
  // "create temp.tmp", "write temp.tmp", "flush temp.tmp", "close temp.tmp",
  // "remove X", "rename X -> Y", "sync X", "copy X -> Y", by file name.
  std::vector<std::string> log;
  // Files opened for reading, by name.
  std::vector<std::string> reads;

  // Counts an operation; returns an error when it is the one to fail.
  Status step(const std::string& what);

  Status open_readable(const fs::path& path, std::unique_ptr<ReadableFile>* file) override;
  Status open_writable(const fs::path& path, bool append, std::unique_ptr<WritableFile>* file) override;
  Status remove_file(const fs::path& path) override;
  Status rename_file(const fs::path& from, const fs::path& to) override;
  Status copy_file(const fs::path& from, const fs::path& to) override;
  bool file_exists(const fs::path& path) override { return base_.file_exists(path); }
  Status sync_folder(const fs::path& folder) override;

 private:
  Env& base_;
};

}  // namespace zenfaro::testing
