#include "tests/support/faulty_env.h"

#include <algorithm>

namespace zenfaro::testing {
namespace {

namespace fs = std::filesystem;

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

}  // namespace

Status FaultyEnv::step(const std::string& what) {
  const int number = static_cast<int>(log.size());
  if (number == kill_at) throw Killed{};
  log.push_back(what);
  const bool fails = fail_at >= 0 && (number == fail_at || (fail_onwards && number > fail_at));
  return fails ? Status::io_error("Injected failure: " + what + ".", "injected failure") : Status::ok();
}

void FaultyEnv::drop_unsynced_data() {
  for (const auto& [path, synced] : synced_) {
    std::error_code ec;
    if (fs::exists(path, ec) && fs::file_size(path, ec) > synced) fs::resize_file(path, synced, ec);
  }
}

Status FaultyEnv::open_readable(const Path& path, std::unique_ptr<ReadableFile>* file) {
  Status status = count_reads ? step("open " + name(path)) : Status::ok();
  std::unique_ptr<ReadableFile> base;
  if (status.is_ok()) status = target().open_readable(path, &base);
  if (status.is_ok()) file->reset(new FaultyReadable(*this, std::move(base), name(path)));
  return status;
}

Status FaultyEnv::open_writable(const Path& path, OpenMode mode, std::unique_ptr<WritableFile>* file) {
  Status status = step("create " + name(path));
  const std::uint64_t start = mode == OpenMode::append ? target().file_info(path).size : 0;
  std::unique_ptr<WritableFile> base;
  if (status.is_ok()) status = target().open_writable(path, mode, &base);
  if (status.is_ok()) file->reset(new FaultyWritable(*this, std::move(base), path, start));
  return status;
}

Status FaultyEnv::rename_file(const Path& from, const Path& to) {
  Status status = pass("rename " + name(from) + " -> " + name(to), [&] { return target().rename_file(from, to); });
  if (status.is_ok() && synced_.count(from) != 0) {  // what was synced moves with the name
    synced_[to] = synced_[from];
    synced_.erase(from);
  }
  return status;
}

}  // namespace zenfaro::testing
