#pragma once
// The file operations that differ between Windows and POSIX systems, with one
// implementation file per system (core/platform_posix.cpp,
// core/platform_windows.cpp) chosen by the build; everything else uses the
// C++ standard library and the Env seam built on these calls (core/env.cpp).
//
// Each call returns 0 on success or the system's error number (errno, or
// GetLastError() on Windows); error_text() puts that number into words.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/env.h"

namespace zenfaro::platform {

// An open file: a file descriptor, or a Windows HANDLE.
using Handle = std::intptr_t;

enum class Access { read, write_truncate, write_append, write_new, lock };

// Opens `path`. Reading needs an existing regular file; a reader lets other
// programs write, rename and delete the file meanwhile.
int open_file(const std::filesystem::path& path, Access access, Handle* handle);
// The size of an open file, now.
int file_size(Handle handle, std::uint64_t* size);
int read_at(Handle handle, std::uint64_t offset, char* buffer, std::size_t size, std::size_t* got);
// Writes all of `size` bytes (at the end of the file for write_append).
int write_all(Handle handle, const char* bytes, std::size_t size);
// Makes the file's bytes durable.
int sync_file(Handle handle);
int close_file(Handle handle);
// Takes an exclusive lock (or, with `shared`, a shared one) on a file opened
// with Access::lock, or fails at once with an error for which is_busy() is
// true.
int try_lock_file(Handle handle, bool shared);

int file_info(const std::filesystem::path& path, FileInfo* info);
int set_permissions(const std::filesystem::path& path, std::uint32_t permissions);
// Renames `from` to `to`, replacing an existing `to` in one step. When `to`
// is a symbolic link, the file it points to is replaced and the link stays.
int rename_replacing(const std::filesystem::path& from, const std::filesystem::path& to);
// Makes `link` a second name of the file `existing` (of the file it points
// to, when `existing` is a symbolic link).
int hard_link(const std::filesystem::path& existing, const std::filesystem::path& link);
int remove_file(const std::filesystem::path& path);
int truncate_file(const std::filesystem::path& path, std::uint64_t size);
// Makes changes to the entries of a folder durable (nothing to do where the
// system does that with the files themselves).
int sync_folder(const std::filesystem::path& folder);

// The system's words for an error number, in UTF-8 ("No space left on device").
std::string error_text(int error);
bool is_not_found(int error);
bool is_busy(int error);
// The file system cannot make hard links (or not between these folders).
bool is_link_unsupported(int error);

}  // namespace zenfaro::platform
