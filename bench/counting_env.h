#pragma once
// An Env over the real file system that counts the bytes read and written,
// so that the benchmark can compare an operation with copying as many bytes.
#include <cstdint>

#include "core/env.h"

namespace zenfaro::bench {

class CountingEnv final : public Env {
 public:
  std::uint64_t bytes_read = 0;
  std::uint64_t bytes_written = 0;

  Status open_readable(const fs::path& path, std::unique_ptr<ReadableFile>* file) override;
  Status open_writable(const fs::path& path, bool append, std::unique_ptr<WritableFile>* file) override;
  Status remove_file(const fs::path& path) override { return base_.remove_file(path); }
  Status rename_file(const fs::path& from, const fs::path& to) override { return base_.rename_file(from, to); }
  Status copy_file(const fs::path& from, const fs::path& to) override { return base_.copy_file(from, to); }
  bool file_exists(const fs::path& path) override { return base_.file_exists(path); }
  Status sync_folder(const fs::path& folder) override { return base_.sync_folder(folder); }

 private:
  Env& base_ = default_env();
};

}  // namespace zenfaro::bench
