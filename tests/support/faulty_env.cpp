#include "tests/support/faulty_env.h"

#include <system_error>

namespace zenfaro::testing {
namespace {

namespace fs = std::filesystem;

std::string name_of(const fs::path& path) { return path.filename().u8string(); }

class FaultyReadable final : public ReadableFile {
 public:
  FaultyReadable(FaultyEnv& env, std::unique_ptr<ReadableFile> base, std::string name)
      : env_(env), base_(std::move(base)), name_(std::move(name)) {}
  Status read_at(std::uint64_t offset, char* buffer, std::size_t size, std::size_t* got) override {
    *got = 0;
    Status status = env_.count_reads ? env_.step("read " + name_) : Status::ok();
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
      : env_(env), base_(std::move(base)), path_(std::move(path)), name_(name_of(path_)), written_(start) {
    env_.note_written(path_, start);
  }
  Status append(std::string_view bytes) override {
    Status status = env_.step("write " + name_);
    if (status.is_ok()) status = base_->append(bytes);
    if (status.is_ok()) written_ += bytes.size();
    return status;
  }
  // The disk is not waited for: what a sync made durable is kept by
  // drop_unsynced_data(), which stands for a power loss.
  Status sync() override {
    Status status = env_.step("sync " + name_);
    if (status.is_ok()) env_.note_written(path_, written_);
    return status;
  }
  Status close() override {
    Status status = env_.step("close " + name_);
    Status closed = base_->close();  // the handle is released whatever happens
    return status.is_ok() ? closed : status;
  }

 private:
  FaultyEnv& env_;
  std::unique_ptr<WritableFile> base_;
  fs::path path_;
  std::string name_;
  std::uint64_t written_;
};

}  // namespace

Status FaultyEnv::step(const std::string& what) {
  const int number = static_cast<int>(log.size());
  if (number == kill_at) throw Killed{};
  log.push_back(what);
  if (fail_at >= 0 && (number == fail_at || (fail_onwards && number > fail_at))) {
    return Status::io_error("Injected failure: " + what + ".", "injected failure");
  }
  return Status::ok();
}

void FaultyEnv::drop_unsynced_data() {
  for (const auto& [path, synced] : synced_) {
    std::error_code ec;
    if (fs::exists(path, ec) && fs::file_size(path, ec) > synced) fs::resize_file(path, synced, ec);
  }
}

Status FaultyEnv::open_readable(const fs::path& path, std::unique_ptr<ReadableFile>* file) {
  reads.push_back(name_of(path));
  Status status = count_reads ? step("open " + name_of(path)) : Status::ok();
  std::unique_ptr<ReadableFile> base;
  if (status.is_ok()) status = target().open_readable(path, &base);
  if (status.is_ok()) file->reset(new FaultyReadable(*this, std::move(base), name_of(path)));
  return status;
}

Status FaultyEnv::open_writable(const fs::path& path, OpenMode mode, std::unique_ptr<WritableFile>* file) {
  Status status = step("create " + name_of(path));
  if (!status.is_ok()) return status;
  const std::uint64_t start = mode == OpenMode::append ? target().file_info(path).size : 0;
  std::unique_ptr<WritableFile> base;
  status = target().open_writable(path, mode, &base);
  if (status.is_ok()) file->reset(new FaultyWritable(*this, std::move(base), path, start));
  return status;
}

Status FaultyEnv::remove_file(const fs::path& path) {
  Status status = step("remove " + name_of(path));
  return status.is_ok() ? target().remove_file(path) : status;
}

Status FaultyEnv::rename_file(const fs::path& from, const fs::path& to) {
  Status status = step("rename " + name_of(from) + " -> " + name_of(to));
  if (status.is_ok()) status = target().rename_file(from, to);
  if (status.is_ok() && synced_.count(from) != 0) {
    synced_[to] = synced_[from];
    synced_.erase(from);
  }
  return status;
}

Status FaultyEnv::link_file(const fs::path& from, const fs::path& to) {
  Status status = step("link " + name_of(from) + " -> " + name_of(to));
  return status.is_ok() ? target().link_file(from, to) : status;
}

Status FaultyEnv::copy_file(const fs::path& from, const fs::path& to) {
  Status status = step("copy " + name_of(from) + " -> " + name_of(to));
  return status.is_ok() ? target().copy_file(from, to) : status;
}

Status FaultyEnv::set_permissions(const fs::path& path, std::uint32_t permissions) {
  Status status = step("chmod " + name_of(path));
  return status.is_ok() ? target().set_permissions(path, permissions) : status;
}

Status FaultyEnv::truncate_file(const fs::path& path, std::uint64_t size) {
  Status status = step("truncate " + name_of(path));
  return status.is_ok() ? target().truncate_file(path, size) : status;
}

Status FaultyEnv::sync_folder(const fs::path& folder) { return step("syncdir " + name_of(folder)); }

Status FaultyEnv::try_lock(const fs::path& path, std::unique_ptr<FileLock>* lock) {
  Status status = step("lock " + name_of(path));
  return status.is_ok() ? target().try_lock(path, lock) : status;
}

}  // namespace zenfaro::testing
