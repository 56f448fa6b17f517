#pragma once
// An Env over the real file system that counts the bytes read and written,
// so that the benchmark can compare an operation with copying as many bytes.
#include <cstdint>

#include "core/env.h"

namespace zenfaro::bench {

class CountingEnv final : public EnvWrapper {
 public:
  CountingEnv() : EnvWrapper(default_env()) {}
  std::uint64_t bytes_read = 0;
  std::uint64_t bytes_written = 0;

  Status open_readable(const std::filesystem::path& path, std::unique_ptr<ReadableFile>* file) override;
  Status open_writable(const std::filesystem::path& path, OpenMode mode, std::unique_ptr<WritableFile>* file) override;
};

}  // namespace zenfaro::bench
