// The platform calls of Windows: files are HANDLEs, paths are wide (UTF-16)
// strings.
#include "core/platform.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <chrono>
#include <system_error>
#include <thread>

namespace zenfaro::platform {

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

// The file a path finally names: a symbolic link is followed (a relative
// link from its own folder), up to a few levels.
std::filesystem::path final_target(std::filesystem::path path) {
  for (int level = 0; level < 8; ++level) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) break;
    const std::filesystem::path next = std::filesystem::read_symlink(path, ec);
    if (ec) break;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
}

}  // namespace

int open_file(const std::filesystem::path& path, Access access, Handle* handle) {
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  DWORD rights = GENERIC_WRITE;
  DWORD disposition = CREATE_ALWAYS;
  switch (access) {
    case Access::read:
      rights = GENERIC_READ;
      disposition = OPEN_EXISTING;
      break;
    case Access::write_truncate: break;
    case Access::write_append:
      rights = FILE_APPEND_DATA | SYNCHRONIZE;
      disposition = OPEN_ALWAYS;
      break;
    case Access::write_new: disposition = CREATE_NEW; break;
    case Access::lock:
      rights = GENERIC_READ | GENERIC_WRITE;
      disposition = OPEN_ALWAYS;
      break;
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

int file_size(Handle handle, std::uint64_t* size) {
  LARGE_INTEGER length;
  if (!::GetFileSizeEx(as_handle(handle), &length)) return last_error();
  *size = static_cast<std::uint64_t>(length.QuadPart);
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

int try_lock_file(Handle handle, bool shared) {
  OVERLAPPED where = {};
  const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (shared ? 0 : LOCKFILE_EXCLUSIVE_LOCK);
  return ::LockFileEx(as_handle(handle), flags, 0, 1, 0, &where) ? 0 : last_error();
}

int file_info(const std::filesystem::path& path, FileInfo* info) {
  *info = FileInfo{};
  const HANDLE h =
      ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
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
    return ::MoveFileExW(from.c_str(), final_target(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
           0;
  });
}

int hard_link(const std::filesystem::path& existing, const std::filesystem::path& link) {
  return ::CreateHardLinkW(link.c_str(), final_target(existing).c_str(), nullptr) ? 0 : last_error();
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
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string result;
  if (length > 0 && text != nullptr) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    result.resize(static_cast<std::size_t>(bytes > 0 ? bytes : 0));
    if (bytes > 0) {
      ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), result.data(), bytes, nullptr, nullptr);
    }
  }
  if (text != nullptr) ::LocalFree(text);
  while (!result.empty() &&
         (result.back() == '\n' || result.back() == '\r' || result.back() == ' ' || result.back() == '.')) {
    result.pop_back();
  }
  return result.empty() ? "system error " + std::to_string(error) : result;
}

bool is_not_found(int error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool is_busy(int error) { return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING; }

bool is_link_unsupported(int error) {
  return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED || error == ERROR_NOT_SAME_DEVICE ||
         error == ERROR_TOO_MANY_LINKS || error == ERROR_ACCESS_DENIED;
}

}  // namespace zenfaro::platform
