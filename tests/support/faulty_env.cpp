#include "tests/support/faulty_env.h"

namespace zenfaro::testing {
namespace {

std::string name_of(const fs::path& path) { return path.filename().u8string(); }

class FaultyWritable final : public WritableFile {
 public:
  FaultyWritable(FaultyEnv& env, std::unique_ptr<WritableFile> base, std::string name)
      : env_(env), base_(std::move(base)), name_(std::move(name)) {}
  Status append(std::string_view bytes) override {
    Status status = env_.step("write " + name_);
    return status.is_ok() ? base_->append(bytes) : status;
  }
  Status flush() override {
    Status status = env_.step("flush " + name_);
    return status.is_ok() ? base_->flush() : status;
  }
  Status close() override {
    Status status = env_.step("close " + name_);
    Status closed = base_->close();  // the handle is released whatever happens
    return status.is_ok() ? closed : status;
  }

 private:
  FaultyEnv& env_;
  std::unique_ptr<WritableFile> base_;
  std::string name_;
};

}  // namespace

Status FaultyEnv::step(const std::string& what) {
  const int number = static_cast<int>(log.size());
  if (number == kill_at) throw Killed{};
  log.push_back(what);
  if (number == fail_at) return Status::io_error("Injected failure: " + what + ".");
  return Status::ok();
}

Status FaultyEnv::open_readable(const fs::path& path, std::unique_ptr<ReadableFile>* file) {
  reads.push_back(name_of(path));
  return base_.open_readable(path, file);
}

Status FaultyEnv::open_writable(const fs::path& path, bool append, std::unique_ptr<WritableFile>* file) {
  Status status = step("create " + name_of(path));
  if (!status.is_ok()) return status;
  std::unique_ptr<WritableFile> base;
  status = base_.open_writable(path, append, &base);
  if (status.is_ok()) file->reset(new FaultyWritable(*this, std::move(base), name_of(path)));
  return status;
}

Status FaultyEnv::remove_file(const fs::path& path) {
  Status status = step("remove " + name_of(path));
  return status.is_ok() ? base_.remove_file(path) : status;
}

Status FaultyEnv::rename_file(const fs::path& from, const fs::path& to) {
  Status status = step("rename " + name_of(from) + " -> " + name_of(to));
  return status.is_ok() ? base_.rename_file(from, to) : status;
}

Status FaultyEnv::copy_file(const fs::path& from, const fs::path& to) {
  Status status = step("copy " + name_of(from) + " -> " + name_of(to));
  return status.is_ok() ? base_.copy_file(from, to) : status;
}

Status FaultyEnv::sync_folder(const fs::path& folder) {
  Status status = step("sync " + name_of(folder));
  return status.is_ok() ? base_.sync_folder(folder) : status;
}

}  // namespace zenfaro::testing
