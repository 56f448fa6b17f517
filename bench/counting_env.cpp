#include "bench/counting_env.h"

namespace zenfaro::bench {
namespace {

class CountingReadable final : public ReadableFile {
 public:
  CountingReadable(std::unique_ptr<ReadableFile> base, std::uint64_t& count) : base_(std::move(base)), count_(count) {}
  Status read_at(std::uint64_t offset, char* buffer, std::size_t size, std::size_t* got) override {
    const Status status = base_->read_at(offset, buffer, size, got);
    count_ += *got;
    return status;
  }
  std::uint64_t size() const override { return base_->size(); }

 private:
  std::unique_ptr<ReadableFile> base_;
  std::uint64_t& count_;
};

class CountingWritable final : public WritableFile {
 public:
  CountingWritable(std::unique_ptr<WritableFile> base, std::uint64_t& count) : base_(std::move(base)), count_(count) {}
  Status append(std::string_view bytes) override {
    count_ += bytes.size();
    return base_->append(bytes);
  }
  Status sync() override { return base_->sync(); }
  Status close() override { return base_->close(); }

 private:
  std::unique_ptr<WritableFile> base_;
  std::uint64_t& count_;
};

}  // namespace

Status CountingEnv::open_readable(const std::filesystem::path& path, std::unique_ptr<ReadableFile>* file) {
  std::unique_ptr<ReadableFile> base;
  const Status status = target().open_readable(path, &base);
  if (status.is_ok()) file->reset(new CountingReadable(std::move(base), bytes_read));
  return status;
}

Status CountingEnv::open_writable(const std::filesystem::path& path, OpenMode mode,
                                  std::unique_ptr<WritableFile>* file) {
  std::unique_ptr<WritableFile> base;
  const Status status = target().open_writable(path, mode, &base);
  if (status.is_ok()) file->reset(new CountingWritable(std::move(base), bytes_written));
  return status;
}

}  // namespace zenfaro::bench
