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

FileKind kind_of(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::regular;
  if (S_ISDIR(mode)) return FileKind::folder;
  if (S_ISFIFO(mode)) return FileKind::fifo;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::device;
  if (S_ISSOCK(mode)) return FileKind::socket;
  return FileKind::other;
}

int open_retrying(const std::filesystem::path& path, int flags, mode_t mode) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// The lock file: created with exactly `permissions` when missing (the umask
// would narrow the bits a shared folder needs), otherwise opened as it is,
// for reading alone when that is all the user may.
int open_lock_file(const std::filesystem::path& path, std::uint32_t permissions) {
  const mode_t mode = permissions != 0 ? static_cast<mode_t>(permissions & 0666) : 0666;
  int fd = open_retrying(path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW, mode);
  if (fd >= 0) {
    if (permissions != 0) ::fchmod(fd, mode);  // a failure leaves the bits the umask gave: still usable
    return fd;
  }
  if (errno != EEXIST) return fd;
  fd = open_retrying(path, O_RDWR | O_NOFOLLOW | O_NONBLOCK, 0);
  if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
    fd = open_retrying(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK, 0);
  }
  return fd;
}

}  // namespace

int open_file(const std::filesystem::path& path, Access access, std::uint32_t permissions, Handle* handle,
              FileKind* kind) {
  *kind = FileKind::none;
  int fd = -1;
  switch (access) {
    // Without O_NONBLOCK an opening of a FIFO would wait for its other end.
    case Access::read: fd = open_retrying(path, O_RDONLY | O_NONBLOCK, 0); break;
    case Access::write_new:
      fd = open_retrying(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, permissions != 0 ? permissions : 0666);
      break;
    case Access::write_append:
      fd = open_retrying(path, O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK, 0666);
      break;
    case Access::lock: fd = open_lock_file(path, permissions); break;
  }
  if (fd < 0) return errno;
  struct stat about;
  if (::fstat(fd, &about) != 0) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  *kind = kind_of(about.st_mode);
  if (*kind != FileKind::regular) {
    ::close(fd);
    return kNotRegular;
  }
  // What is read and written now is a regular file, which never blocks.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0 && (flags & O_NONBLOCK) != 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
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
// inside one process; they need no write access to the file.
int try_lock_file(Handle handle, bool shared) {
  return ::flock(fd_of(handle), (shared ? LOCK_SH : LOCK_EX) | LOCK_NB) == 0 ? 0 : errno;
}

int file_info(const std::filesystem::path& path, FileInfo* info) {
  *info = FileInfo{};
  struct stat about;
  if (::lstat(path.c_str(), &about) != 0) return errno;
  info->link = S_ISLNK(about.st_mode);
  if (info->link && ::stat(path.c_str(), &about) != 0) return errno;  // a dangling link
  info->kind = kind_of(about.st_mode);
  info->exists = info->kind == FileKind::regular;
  info->size = static_cast<std::uint64_t>(about.st_size);
  info->modified = static_cast<std::int64_t>(about.st_mtim.tv_sec) * 1000000000 + about.st_mtim.tv_nsec;
  info->device = static_cast<std::uint64_t>(about.st_dev);
  info->file_id = static_cast<std::uint64_t>(about.st_ino);
  info->permissions = static_cast<std::uint32_t>(about.st_mode & 07777);
  info->group = static_cast<std::uint32_t>(about.st_gid);
  return 0;
}

int set_permissions(const std::filesystem::path& path, std::uint32_t permissions) {
  return ::chmod(path.c_str(), static_cast<mode_t>(permissions & 07777)) == 0 ? 0 : errno;
}

int set_group(const std::filesystem::path& path, std::uint32_t group) {
  return ::lchown(path.c_str(), static_cast<uid_t>(-1), static_cast<gid_t>(group)) == 0 ? 0 : errno;
}

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

bool is_link(int error) { return error == ELOOP; }

bool is_denied(int error) { return error == EACCES || error == EPERM || error == EROFS; }

bool is_link_unsupported(int error) {
  return error == EPERM || error == EXDEV || error == EMLINK || error == ENOTSUP || error == EOPNOTSUPP ||
         error == ENOSYS;
}

}  // namespace zenfaro::platform
