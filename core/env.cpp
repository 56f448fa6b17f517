// The real file system behind the Env seam: stdio streams for reading and
// writing, std::filesystem for names, and the platform file for durability.
#include "core/env.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include "core/platform.h"

namespace zenfaro {
namespace {

std::string describe(const fs::path& path) { return "\"" + path.u8string() + "\""; }

std::string reason(int error) {
  return error != 0 ? std::string(std::strerror(error)) : std::string("unknown error");
}

class StdioReadable final : public ReadableFile {
 public:
  StdioReadable(std::FILE* file, fs::path path, std::uint64_t size)
      : file_(file), path_(std::move(path)), size_(size) {}
  ~StdioReadable() override { std::fclose(file_); }

  Status read(char* buffer, std::size_t size, std::size_t* got) override {
    *got = std::fread(buffer, 1, size, file_);
    if (*got < size && std::ferror(file_)) {
      return Status::io_error("Could not read " + describe(path_) + ": " + reason(errno) + ".");
    }
    return Status::ok();
  }

  Status seek(std::uint64_t offset) override {
    if (!platform::seek_file(file_, offset)) {
      return Status::io_error("Could not seek in " + describe(path_) + ": " + reason(errno) + ".");
    }
    return Status::ok();
  }

  std::uint64_t size() const override { return size_; }

 private:
  std::FILE* file_;
  fs::path path_;
  std::uint64_t size_;
};

class StdioWritable final : public WritableFile {
 public:
  StdioWritable(std::FILE* file, fs::path path) : file_(file), path_(std::move(path)) {}
  ~StdioWritable() override {
    if (file_ != nullptr) std::fclose(file_);
  }

  Status append(std::string_view bytes) override {
    if (file_ == nullptr) return closed();
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
      return Status::io_error("Could not write " + describe(path_) + ": " + reason(errno) + ".");
    }
    return Status::ok();
  }

  Status flush() override {
    if (file_ == nullptr) return closed();
    if (std::fflush(file_) != 0 || !platform::sync_file(file_)) {
      return Status::io_error("Could not write " + describe(path_) + " to the disk: " + reason(errno) + ".");
    }
    return Status::ok();
  }

  Status close() override {
    if (file_ == nullptr) return Status::ok();
    const int result = std::fclose(file_);
    file_ = nullptr;
    if (result != 0) {
      return Status::io_error("Could not close " + describe(path_) + ": " + reason(errno) + ".");
    }
    return Status::ok();
  }

 private:
  Status closed() const { return Status::io_error(describe(path_) + " is already closed."); }
  std::FILE* file_;
  fs::path path_;
};

class RealEnv final : public Env {
 public:
  Status open_readable(const fs::path& path, std::unique_ptr<ReadableFile>* file) override {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
      return Status::not_found(describe(path) + " does not exist.");
    }
    std::FILE* stream = platform::open_file(path, "rb");
    if (stream == nullptr) {
      return Status::io_error("Could not open " + describe(path) + ": " + reason(errno) + ".");
    }
    // Readers buffer for themselves (LineReader): a second buffer in stdio
    // would only copy every byte twice and read ahead of every seek.
    std::setvbuf(stream, nullptr, _IONBF, 0);
    const std::uintmax_t size = fs::file_size(path, ec);
    file->reset(new StdioReadable(stream, path, ec ? 0 : size));
    return Status::ok();
  }

  Status open_writable(const fs::path& path, bool append, std::unique_ptr<WritableFile>* file) override {
    std::FILE* stream = platform::open_file(path, append ? "ab" : "wb");
    if (stream == nullptr) {
      return Status::io_error("Could not create " + describe(path) + ": " + reason(errno) + ".");
    }
    file->reset(new StdioWritable(stream, path));
    return Status::ok();
  }

  Status remove_file(const fs::path& path) override {
    std::error_code ec;
    if (fs::remove(path, ec)) return Status::ok();
    if (ec) return Status::io_error("Could not delete " + describe(path) + ": " + ec.message() + ".");
    return Status::not_found(describe(path) + " does not exist.");
  }

  Status rename_file(const fs::path& from, const fs::path& to) override {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (ec) {
      return Status::io_error("Could not rename " + describe(from) + " to " + describe(to) + ": " +
                              ec.message() + ".");
    }
    return Status::ok();
  }

  Status copy_file(const fs::path& from, const fs::path& to) override {
    std::error_code ec;
    platform::copy_file_replacing(from, to, ec);
    if (ec) {
      return Status::io_error("Could not copy " + describe(from) + " to " + describe(to) + ": " +
                              ec.message() + ".");
    }
    return Status::ok();
  }

  bool file_exists(const fs::path& path) override {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    std::FILE* stream = platform::open_file(path, "rb");
    if (stream == nullptr) return false;
    std::fclose(stream);
    return true;
  }

  Status sync_folder(const fs::path& folder) override {
    if (!platform::sync_folder(folder)) {
      return Status::io_error("Could not write the folder " + describe(folder) + " to the disk: " +
                              reason(errno) + ".");
    }
    return Status::ok();
  }
};

}  // namespace

Env& default_env() {
  static RealEnv env;
  return env;
}

Status read_file_to_string(Env& env, const fs::path& path, std::string* contents) {
  std::unique_ptr<ReadableFile> file;
  Status status = env.open_readable(path, &file);
  if (!status.is_ok()) return status;
  contents->clear();
  char buffer[65536];
  for (;;) {
    std::size_t got = 0;
    status = file->read(buffer, sizeof buffer, &got);
    if (!status.is_ok()) return status;
    if (got == 0) return Status::ok();
    contents->append(buffer, got);
  }
}

Status write_string_to_file(Env& env, const fs::path& path, std::string_view contents) {
  std::unique_ptr<WritableFile> file;
  Status status = env.open_writable(path, false, &file);
  if (status.is_ok()) status = file->append(contents);
  if (status.is_ok()) status = file->flush();
  const Status closed = file ? file->close() : Status::ok();
  return status.is_ok() ? closed : status;
}

}  // namespace zenfaro
