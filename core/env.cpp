// The real file system behind the Env seam, built on the platform calls.
// Every failure names the file and gives the system's reason, taken from the
// call that failed.
#include "core/env.h"

#include <vector>

#include "core/platform.h"

namespace zenfaro {
namespace fs = std::filesystem;

std::string quoted(const fs::path& path) { return "\"" + path.u8string() + "\""; }

const char* kind_name(FileKind kind) {
  switch (kind) {
    case FileKind::none: return "missing";
    case FileKind::regular: return "a file";
    case FileKind::folder: return "a folder";
    case FileKind::fifo: return "a FIFO";
    case FileKind::device: return "a device";
    case FileKind::socket: return "a socket";
    case FileKind::other: break;
  }
  return "not a regular file";
}

namespace {

Status failure(const std::string& what, const fs::path& path, int error) {
  const std::string reason = platform::error_text(error);
  return Status::io_error("Could not " + what + " " + quoted(path) + ": " + reason + ".", reason);
}

Status not_regular(const std::string& what, const fs::path& path, FileKind kind) {
  return Status::io_error(
      "Could not " + what + " " + quoted(path) + ": it is " + kind_name(kind) + ", not a regular file.",
      std::string("it is ") + kind_name(kind));
}

// Why an opening failed. Something that is no regular file is named as what
// it is, whichever error the system gave for it.
Status open_failure(const std::string& what, const fs::path& path, int error, FileKind kind) {
  if (error != platform::kNotRegular) {
    FileInfo info;
    platform::file_info(path, &info);
    if (info.kind != FileKind::regular && info.kind != FileKind::none) kind = info.kind;
    if (platform::is_link(error)) {
      return Status::io_error("Could not " + what + " " + quoted(path) +
                                  ": it is a symbolic link, which the program does not write through.",
                              "it is a symbolic link");
    }
  }
  if (error == platform::kNotRegular || (kind != FileKind::regular && kind != FileKind::none)) {
    return not_regular(what, path, kind);
  }
  return failure(what, path, error);
}

class RealReadable final : public ReadableFile {
 public:
  RealReadable(platform::Handle handle, fs::path path, std::uint64_t size)
      : handle_(handle), path_(std::move(path)), size_(size) {}
  ~RealReadable() override { platform::close_file(handle_); }

  Status read_at(std::uint64_t offset, char* buffer, std::size_t size, std::size_t* got) override {
    const int error = platform::read_at(handle_, offset, buffer, size, got);
    return error == 0 ? Status::ok() : failure("read", path_, error);
  }
  std::uint64_t size() const override { return size_; }

 private:
  platform::Handle handle_;
  fs::path path_;
  std::uint64_t size_;
};

class RealWritable final : public WritableFile {
 public:
  RealWritable(platform::Handle handle, fs::path path) : handle_(handle), path_(std::move(path)) {}
  ~RealWritable() override {
    if (open_) platform::close_file(handle_);
  }

  Status append(std::string_view bytes) override {
    if (!open_) return closed();
    const int error = platform::write_all(handle_, bytes.data(), bytes.size());
    return error == 0 ? Status::ok() : failure("write", path_, error);
  }
  Status sync() override {
    if (!open_) return closed();
    const int error = platform::sync_file(handle_);
    return error == 0 ? Status::ok() : failure("write to the disk", path_, error);
  }
  Status close() override {
    if (!open_) return Status::ok();
    open_ = false;
    const int error = platform::close_file(handle_);
    return error == 0 ? Status::ok() : failure("close", path_, error);
  }

 private:
  Status closed() const { return Status::io_error(quoted(path_) + " is already closed."); }
  platform::Handle handle_;
  fs::path path_;
  bool open_ = true;
};

class RealLock final : public FileLock {
 public:
  explicit RealLock(platform::Handle handle) : handle_(handle) {}
  ~RealLock() override { platform::close_file(handle_); }

 private:
  platform::Handle handle_;
};

class RealEnv final : public Env {
 public:
  Status open_readable(const fs::path& path, std::unique_ptr<ReadableFile>* file) override {
    platform::Handle handle;
    FileKind kind;
    int error = platform::open_file(path, platform::Access::read, 0, &handle, &kind);
    if (platform::is_not_found(error)) return Status::not_found(quoted(path) + " does not exist.");
    if (error != 0) return open_failure("open", path, error, kind);
    // The size of the file opened, not of whatever the name means a moment
    // later; a file whose size cannot be told cannot be read.
    std::uint64_t size = 0;
    error = platform::file_size(handle, &size);
    if (error != 0) {
      platform::close_file(handle);
      return failure("read the size of", path, error);
    }
    file->reset(new RealReadable(handle, path, size));
    return Status::ok();
  }

  Status open_writable(const fs::path& path, OpenMode mode, std::unique_ptr<WritableFile>* file) override {
    const platform::Access access =
        mode == OpenMode::append ? platform::Access::write_append : platform::Access::write_new;
    platform::Handle handle;
    FileKind kind;
    const int error = platform::open_file(path, access, 0, &handle, &kind);
    if (error != 0) return open_failure(mode == OpenMode::append ? "write to" : "create", path, error, kind);
    file->reset(new RealWritable(handle, path));
    return Status::ok();
  }

  Status remove_file(const fs::path& path) override {
    const int error = platform::remove_file(path);
    if (platform::is_not_found(error)) return Status::not_found(quoted(path) + " does not exist.");
    return error == 0 ? Status::ok() : failure("delete", path, error);
  }

  Status rename_file(const fs::path& from, const fs::path& to) override {
    const int error = platform::rename_replacing(from, to);
    if (error == 0) return Status::ok();
    const std::string reason = platform::error_text(error);
    return Status::io_error("Could not rename " + quoted(from) + " to " + quoted(to) + ": " + reason + ".", reason);
  }

  Status link_file(const fs::path& from, const fs::path& to) override {
    const int error = platform::hard_link(from, to);
    if (error == 0) return Status::ok();
    if (!platform::is_link_unsupported(error)) return failure("make a second name for", from, error);
    return zenfaro::copy_file(*this, from, to);  // new, as a link would be
  }

  FileInfo file_info(const fs::path& path) override {
    FileInfo info;
    platform::file_info(path, &info);
    return info;
  }

  fs::path link_target(const fs::path& path) override { return platform::final_target(path); }

  Status set_permissions(const fs::path& path, std::uint32_t permissions) override {
    const int error = platform::set_permissions(path, permissions);
    return error == 0 ? Status::ok() : failure("set the permissions of", path, error);
  }

  Status set_group(const fs::path& path, std::uint32_t group) override {
    const int error = platform::set_group(path, group);
    return error == 0 ? Status::ok() : failure("set the group of", path, error);
  }

  Status truncate_file(const fs::path& path, std::uint64_t size) override {
    const int error = platform::truncate_file(path, size);
    return error == 0 ? Status::ok() : failure("cut back", path, error);
  }

  Status sync_folder(const fs::path& folder) override {
    const int error = platform::sync_folder(folder);
    return error == 0 ? Status::ok() : failure("write to the disk the folder", folder, error);
  }

  Status try_lock(const fs::path& path, LockKind kind, std::uint32_t permissions,
                  std::unique_ptr<FileLock>* lock) override {
    platform::Handle handle;
    FileKind what;
    int error = platform::open_file(path, platform::Access::lock, permissions, &handle, &what);
    if (platform::is_not_found(error)) {
      return Status::not_found("The folder " + quoted(path.parent_path()) + " does not exist.");
    }
    if (error != 0) return open_failure("open the lock file", path, error, what);
    error = platform::try_lock_file(handle, kind == LockKind::shared);
    if (error != 0) {
      platform::close_file(handle);
      if (platform::is_busy(error)) return Status::busy(quoted(path) + " is locked by another program.");
      return failure("lock", path, error);
    }
    lock->reset(new RealLock(handle));
    return Status::ok();
  }
};

}  // namespace

Env& default_env() {
  static RealEnv env;
  return env;
}

bool file_exists(Env& env, const fs::path& path) {
  std::unique_ptr<ReadableFile> file;
  return env.open_readable(path, &file).is_ok();
}

Status read_file_to_string(Env& env, const fs::path& path, std::string* contents, std::uint64_t limit) {
  std::unique_ptr<ReadableFile> file;
  Status status = env.open_readable(path, &file);
  if (!status.is_ok()) return status;
  if (file->size() > limit) {
    return Status::refused(quoted(path) + " is larger than " + std::to_string(limit) + " bytes, so it was not read.");
  }
  contents->clear();
  char buffer[65536];
  for (;;) {
    std::size_t got = 0;
    status = file->read_at(contents->size(), buffer, sizeof buffer, &got);
    if (!status.is_ok()) return status;
    if (got == 0) return Status::ok();
    contents->append(buffer, got);
    if (contents->size() > limit) {
      return Status::refused(quoted(path) + " is larger than " + std::to_string(limit) + " bytes, so it was not read.");
    }
  }
}

Status remove_leftover(Env& env, const fs::path& path) {
  const FileInfo info = env.file_info(path);
  if (!info.present()) return Status::ok();
  if (!info.link && info.kind != FileKind::regular) {
    return Status::refused("The program's file " + quoted(path) + " is " + kind_name(info.kind) +
                           ", not a regular file, so it was left as it is and nothing was changed. Move it away, "
                           "then try again.");
  }
  const Status status = env.remove_file(path);
  return status.is_not_found() ? Status::ok() : status;
}

Status create_file_anew(Env& env, const fs::path& path, std::unique_ptr<WritableFile>* file) {
  const Status status = remove_leftover(env, path);
  return status.is_ok() ? env.open_writable(path, OpenMode::create_new, file) : status;
}

Status copy_file(Env& env, const fs::path& from, const fs::path& to) {
  std::unique_ptr<ReadableFile> source;
  Status status = env.open_readable(from, &source);
  std::unique_ptr<WritableFile> target;
  if (status.is_ok()) status = env.open_writable(to, OpenMode::create_new, &target);
  std::vector<char> buffer(1 << 20);
  for (std::uint64_t offset = 0; status.is_ok();) {
    std::size_t got = 0;
    status = source->read_at(offset, buffer.data(), buffer.size(), &got);
    if (!status.is_ok() || got == 0) break;
    status = target->append(std::string_view(buffer.data(), got));
    offset += got;
  }
  if (status.is_ok()) status = target->sync();
  if (target) {
    const Status closed = target->close();
    if (status.is_ok()) status = closed;
  }
  return status;
}

Status write_string_to_file(Env& env, const fs::path& path, std::string_view contents) {
  std::unique_ptr<WritableFile> file;
  Status status = create_file_anew(env, path, &file);
  if (status.is_ok()) status = file->append(contents);
  if (status.is_ok()) status = file->sync();
  const Status closed = file ? file->close() : Status::ok();
  return status.is_ok() ? closed : status;
}

bool same_file(Env& env, const fs::path& a, const fs::path& b) {
  const FileInfo left = env.file_info(a);
  const FileInfo right = env.file_info(b);
  if (left.exists && right.exists) return left.device == right.device && left.file_id == right.file_id;
  std::error_code ec;
  const fs::path left_path = fs::absolute(a, ec).lexically_normal();
  const fs::path right_path = fs::absolute(b, ec).lexically_normal();
  return !ec && left_path == right_path;
}

}  // namespace zenfaro
