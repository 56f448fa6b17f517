// Platform-specific file calls, kept in this one file so that the rest of the
// program uses only the C++ standard library. POSIX systems use file
// descriptors, Windows uses HANDLEs with wide (UTF-16) paths.
#include "core/platform.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#else
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zenfaro::platform {

#ifdef _WIN32

namespace {

HANDLE as_handle(Handle handle) { return reinterpret_cast<HANDLE>(handle); }
int last_error() { return static_cast<int>(::GetLastError()); }

// A rename or delete can meet a file that a reader (a virus scanner, the
// game, an editor) holds open without sharing deletion; such a hold is
// short, so the call is tried again for about a second.
template <typename Call>
int retry_while_shared(Call call) {
  for (int attempt = 0;; ++attempt) {
    if (call()) return 0;
    const DWORD error = ::GetLastError();
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION) ||
        attempt == 20) {
      return static_cast<int>(error);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

}  // namespace

int open_file(const std::filesystem::path& path, Access access, Handle* handle) {
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  DWORD rights = GENERIC_WRITE;
  DWORD disposition = CREATE_ALWAYS;
  switch (access) {
    case Access::read: rights = GENERIC_READ; disposition = OPEN_EXISTING; break;
    case Access::write_truncate: break;
    case Access::write_append: rights = FILE_APPEND_DATA | SYNCHRONIZE; disposition = OPEN_ALWAYS; break;
    case Access::write_new: disposition = CREATE_NEW; break;
    case Access::lock: rights = GENERIC_READ | GENERIC_WRITE; disposition = OPEN_ALWAYS; break;
  }
  const HANDLE h = ::CreateFileW(path.c_str(), rights, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return last_error();
  if (access == Access::read) {
    BY_HANDLE_FILE_INFORMATION about;
    if (!::GetFileInformationByHandle(h, &about) || (about.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      ::CloseHandle(h);
      return ERROR_FILE_NOT_FOUND;
    }
  }
  *handle = reinterpret_cast<Handle>(h);
  return 0;
}

int read_at(Handle handle, std::uint64_t offset, char* buffer, std::size_t size, std::size_t* got) {
  *got = 0;
  OVERLAPPED where = {};
  where.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  where.OffsetHigh = static_cast<DWORD>(offset >> 32);
  const DWORD wanted = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  DWORD read = 0;
  if (!::ReadFile(as_handle(handle), buffer, wanted, &read, &where)) {
    const DWORD error = ::GetLastError();
    return error == ERROR_HANDLE_EOF ? 0 : static_cast<int>(error);
  }
  *got = read;
  return 0;
}

int write_all(Handle handle, const char* bytes, std::size_t size) {
  while (size > 0) {
    const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!::WriteFile(as_handle(handle), bytes, chunk, &written, nullptr)) return last_error();
    bytes += written;
    size -= written;
  }
  return 0;
}

int sync_file(Handle handle) { return ::FlushFileBuffers(as_handle(handle)) ? 0 : last_error(); }

int close_file(Handle handle) { return ::CloseHandle(as_handle(handle)) ? 0 : last_error(); }

int try_lock_file(Handle handle) {
  OVERLAPPED where = {};
  return ::LockFileEx(as_handle(handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where)
             ? 0
             : last_error();
}

int file_info(const std::filesystem::path& path, FileInfo* info) {
  *info = FileInfo{};
  const HANDLE h = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return last_error();
  BY_HANDLE_FILE_INFORMATION about;
  const bool ok = ::GetFileInformationByHandle(h, &about) != 0;
  const int error = ok ? 0 : last_error();
  ::CloseHandle(h);
  if (!ok) return error;
  if ((about.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return ERROR_FILE_NOT_FOUND;
  info->exists = true;
  info->size = (static_cast<std::uint64_t>(about.nFileSizeHigh) << 32) | about.nFileSizeLow;
  info->modified = static_cast<std::int64_t>((static_cast<std::uint64_t>(about.ftLastWriteTime.dwHighDateTime) << 32) |
                                             about.ftLastWriteTime.dwLowDateTime);
  info->device = about.dwVolumeSerialNumber;
  info->file_id = (static_cast<std::uint64_t>(about.nFileIndexHigh) << 32) | about.nFileIndexLow;
  info->permissions = (about.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444u : 0666u;
  return 0;
}

int set_permissions(const std::filesystem::path& path, std::uint32_t permissions) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return last_error();
  const DWORD wanted = (permissions & 0222u) == 0 ? (attributes | FILE_ATTRIBUTE_READONLY)
                                                  : (attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  if (wanted == attributes) return 0;
  return ::SetFileAttributesW(path.c_str(), wanted) ? 0 : last_error();
}

int rename_replacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  return retry_while_shared([&] {
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  });
}

int hard_link(const std::filesystem::path& existing, const std::filesystem::path& link) {
  return ::CreateHardLinkW(link.c_str(), existing.c_str(), nullptr) ? 0 : last_error();
}

int remove_file(const std::filesystem::path& path) {
  return retry_while_shared([&] { return ::DeleteFileW(path.c_str()) != 0; });
}

int truncate_file(const std::filesystem::path& path, std::uint64_t size) {
  const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return last_error();
  LARGE_INTEGER where;
  where.QuadPart = static_cast<LONGLONG>(size);
  const bool ok = ::SetFilePointerEx(h, where, nullptr, FILE_BEGIN) && ::SetEndOfFile(h) && ::FlushFileBuffers(h);
  const int error = ok ? 0 : last_error();
  ::CloseHandle(h);
  return error;
}

// NTFS makes changes to a folder durable with the files' own metadata.
int sync_folder(const std::filesystem::path&) { return 0; }

std::string error_text(int error) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string result;
  if (length > 0 && text != nullptr) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    result.resize(static_cast<std::size_t>(bytes > 0 ? bytes : 0));
    if (bytes > 0) {
      ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), result.data(), bytes, nullptr, nullptr);
    }
  }
  if (text != nullptr) ::LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' ' ||
                             result.back() == '.')) {
    result.pop_back();
  }
  return result.empty() ? "system error " + std::to_string(error) : result;
}

bool is_not_found(int error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool is_busy(int error) { return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING; }

std::vector<std::string> utf8_arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) {
    // Unpaired surrogates become U+FFFD: the result is always valid UTF-8.
    const int length = static_cast<int>(std::wcslen(wide[i]));
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], length, nullptr, 0, nullptr, nullptr);
    std::string argument(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, wide[i], length, argument.data(), size, nullptr, nullptr);
    arguments.push_back(std::move(argument));
  }
  ::LocalFree(wide);
  return arguments;
}

void set_binary_stdout() { _setmode(_fileno(stdout), _O_BINARY); }

void use_utf8_console() {
  // 0 when the program has no console (output to a file or a pipe).
  static const UINT previous = ::GetConsoleOutputCP();
  if (previous == 0 || previous == CP_UTF8 || !::SetConsoleOutputCP(CP_UTF8)) return;
  // The code page belongs to the console, which outlives the program.
  std::atexit([] { ::SetConsoleOutputCP(previous); });
}

bool is_link_unsupported(int error) {
  return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED || error == ERROR_NOT_SAME_DEVICE ||
         error == ERROR_TOO_MANY_LINKS || error == ERROR_ACCESS_DENIED;
}

#else

namespace {

int fd_of(Handle handle) { return static_cast<int>(handle); }

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
int try_lock_file(Handle handle) { return ::flock(fd_of(handle), LOCK_EX | LOCK_NB) == 0 ? 0 : errno; }

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
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int hard_link(const std::filesystem::path& existing, const std::filesystem::path& link) {
  return ::link(existing.c_str(), link.c_str()) == 0 ? 0 : errno;
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

std::vector<std::string> utf8_arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

void set_binary_stdout() {}

void use_utf8_console() {}

bool is_link_unsupported(int error) {
  return error == EPERM || error == EXDEV || error == EMLINK || error == ENOTSUP || error == EOPNOTSUPP ||
         error == ENOSYS;
}

#endif

}  // namespace zenfaro::platform
