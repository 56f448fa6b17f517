// The platform calls of POSIX systems (Linux, the BSDs, macOS): files are
// file descriptors, paths are byte strings.
#include "core/platform.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zenfaro::platform {

namespace {

int fd_of(Handle handle) { return static_cast<int>(handle); }

// The file a path finally names: a symbolic link is followed (a relative
// link from its own folder), up to a few levels.
std::filesystem::path final_target(std::filesystem::path path) {
  for (int level = 0; level < 8; ++level) {
    char target[4096];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) == sizeof target) break;
    const std::filesystem::path next(std::string(target, static_cast<std::size_t>(length)));
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
}

}  // namespace

int open_file(const std::filesystem::path& path, Access access, Handle* handle) {
  int flags = O_WRONLY | O_CREAT | O_TRUNC;
  switch (access) {
    case Access::read: flags = O_RDONLY; break;
    case Access::write_truncate: break;
    case Access::write_append: flags = O_WRONLY | O_CREAT | O_APPEND; break;
    case Access::write_new: flags = O_WRONLY | O_CREAT | O_EXCL; break;
    case Access::lock: flags = O_RDWR | O_CREAT; break;
  }
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno;
  if (access == Access::read) {
    struct stat about;
    if (::fstat(fd, &about) != 0 || !S_ISREG(about.st_mode)) {
      ::close(fd);
      return ENOENT;
    }
  }
  *handle = fd;
  return 0;
}

int file_size(Handle handle, std::uint64_t* size) {
  struct stat about;
  if (::fstat(fd_of(handle), &about) != 0) return errno;
  *size = static_cast<std::uint64_t>(about.st_size);
  return 0;
}

int read_at(Handle handle, std::uint64_t offset, char* buffer, std::size_t size, std::size_t* got) {
  *got = 0;
  ssize_t read;
  do {
    read = ::pread(fd_of(handle), buffer, size, static_cast<off_t>(offset));
  } while (read < 0 && errno == EINTR);
  if (read < 0) return errno;
  *got = static_cast<std::size_t>(read);
  return 0;
}

int write_all(Handle handle, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd_of(handle), bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

int sync_file(Handle handle) { return ::fsync(fd_of(handle)) == 0 ? 0 : errno; }

int close_file(Handle handle) { return ::close(fd_of(handle)) == 0 ? 0 : errno; }

// flock() locks belong to the open file, so two openings conflict even
// inside one process.
int try_lock_file(Handle handle, bool shared) {
  return ::flock(fd_of(handle), (shared ? LOCK_SH : LOCK_EX) | LOCK_NB) == 0 ? 0 : errno;
}

int file_info(const std::filesystem::path& path, FileInfo* info) {
  *info = FileInfo{};
  struct stat about;
  if (::stat(path.c_str(), &about) != 0) return errno;
  if (!S_ISREG(about.st_mode)) return ENOENT;
  info->exists = true;
  info->size = static_cast<std::uint64_t>(about.st_size);
  info->modified = static_cast<std::int64_t>(about.st_mtim.tv_sec) * 1000000000 + about.st_mtim.tv_nsec;
  info->device = static_cast<std::uint64_t>(about.st_dev);
  info->file_id = static_cast<std::uint64_t>(about.st_ino);
  info->permissions = static_cast<std::uint32_t>(about.st_mode & 07777);
  return 0;
}

int set_permissions(const std::filesystem::path& path, std::uint32_t permissions) {
  return ::chmod(path.c_str(), static_cast<mode_t>(permissions & 07777)) == 0 ? 0 : errno;
}

int rename_replacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  return ::rename(from.c_str(), final_target(to).c_str()) == 0 ? 0 : errno;
}

int hard_link(const std::filesystem::path& existing, const std::filesystem::path& link) {
  return ::linkat(AT_FDCWD, existing.c_str(), AT_FDCWD, link.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

int remove_file(const std::filesystem::path& path) { return ::unlink(path.c_str()) == 0 ? 0 : errno; }

int truncate_file(const std::filesystem::path& path, std::uint64_t size) {
  return ::truncate(path.c_str(), static_cast<off_t>(size)) == 0 ? 0 : errno;
}

int sync_folder(const std::filesystem::path& folder) {
  const std::filesystem::path target = folder.empty() ? std::filesystem::path(".") : folder;
  const int fd = ::open(target.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int result = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  return result;
}

std::string error_text(int error) { return std::strerror(error); }

bool is_not_found(int error) { return error == ENOENT || error == ENOTDIR; }

bool is_busy(int error) { return error == EWOULDBLOCK || error == EAGAIN; }

bool is_link_unsupported(int error) {
  return error == EPERM || error == EXDEV || error == EMLINK || error == ENOTSUP || error == EOPNOTSUPP ||
         error == ENOSYS;
}

}  // namespace zenfaro::platform
