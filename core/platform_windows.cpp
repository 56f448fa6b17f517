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

// What an open handle is: a file on a disk, a folder, or something else
// (a console, the NUL device, a pipe).
FileKind kind_of(HANDLE h, const BY_HANDLE_FILE_INFORMATION* about) {
  switch (::GetFileType(h)) {
    case FILE_TYPE_DISK: break;
    case FILE_TYPE_CHAR: return FileKind::device;
    case FILE_TYPE_PIPE: return FileKind::fifo;
    default: return FileKind::other;
  }
  if (about != nullptr && (about->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return FileKind::folder;
  return FileKind::regular;
}

bool is_reparse_point(const BY_HANDLE_FILE_INFORMATION& about) {
  return (about.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace

int open_file(const std::filesystem::path& path, Access access, std::uint32_t permissions, Handle* handle,
              FileKind* kind) {
  *kind = FileKind::none;
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  DWORD rights = GENERIC_WRITE;
  DWORD disposition = CREATE_NEW;
  // Only reading follows a reparse point (a symbolic link or a junction);
  // every other opening opens the point itself and refuses it below.
  DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
  switch (access) {
    case Access::read:
      rights = GENERIC_READ;
      disposition = OPEN_EXISTING;
      flags = FILE_ATTRIBUTE_NORMAL;
      break;
    case Access::write_new:
      if ((permissions & 0222u) == 0 && permissions != 0) flags |= FILE_ATTRIBUTE_READONLY;
      break;
    case Access::write_append:
      rights = FILE_APPEND_DATA | SYNCHRONIZE;
      disposition = OPEN_ALWAYS;
      break;
    case Access::lock:
      rights = GENERIC_READ | GENERIC_WRITE;
      disposition = OPEN_ALWAYS;
      break;
  }
  HANDLE h = ::CreateFileW(path.c_str(), rights, share, nullptr, disposition, flags, nullptr);
  if (h == INVALID_HANDLE_VALUE && access == Access::lock && ::GetLastError() == ERROR_ACCESS_DENIED) {
    // LockFileEx needs no more than read access.
    h = ::CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, flags, nullptr);
  }
  if (h == INVALID_HANDLE_VALUE) return last_error();
  BY_HANDLE_FILE_INFORMATION about;
  const bool known = ::GetFileInformationByHandle(h, &about) != 0;
  *kind = kind_of(h, known ? &about : nullptr);
  if (*kind == FileKind::regular && known && access != Access::read && is_reparse_point(about)) {
    ::CloseHandle(h);
    return ERROR_CANT_ACCESS_FILE;  // a link, as is_link() tells
  }
  if (*kind != FileKind::regular) {
    ::CloseHandle(h);
    return kNotRegular;
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
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return last_error();
  info->link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  const HANDLE h =
      ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return last_error();  // a dangling link, or a device that cannot be looked at
  BY_HANDLE_FILE_INFORMATION about;
  const bool ok = ::GetFileInformationByHandle(h, &about) != 0;
  const int error = ok ? 0 : last_error();
  info->kind = kind_of(h, ok ? &about : nullptr);
  ::CloseHandle(h);
  if (!ok) return info->kind == FileKind::regular ? error : 0;
  info->exists = info->kind == FileKind::regular;
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

// Files have no owning group here.
int set_group(const std::filesystem::path&, std::uint32_t) { return 0; }

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

bool is_link(int error) { return error == ERROR_CANT_ACCESS_FILE; }

bool is_denied(int error) { return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT; }

bool is_link_unsupported(int error) {
  return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED || error == ERROR_NOT_SAME_DEVICE ||
         error == ERROR_TOO_MANY_LINKS || error == ERROR_ACCESS_DENIED;
}

}  // namespace zenfaro::platform
