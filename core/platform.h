#pragma once
// The file operations that differ between Windows and POSIX systems, with one
// implementation file per system (core/platform_posix.cpp,
// core/platform_windows.cpp) chosen by the build; everything else uses the
// C++ standard library and the Env seam built on these calls (core/env.cpp).
//
// Each call returns 0 on success or the system's error number (errno, or
// GetLastError() on Windows); error_text() puts that number into words.
//
// What the program opens is a regular file or nothing: an opening never
// waits on a FIFO or a device, and never creates or appends through a
// symbolic link (a reparse point on Windows). Only reading follows links.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/env.h"

namespace zenfaro::platform {

// An open file: a file descriptor, or a Windows HANDLE.
using Handle = std::intptr_t;

enum class Access {
  read,          // an existing file, links followed
  write_new,     // a file created here and now: an existing name, a link included, is an error
  write_append,  // created when missing; an existing file only when it is a regular file and not a link
  lock,          // the lock file: created when missing (not through a link), else opened for reading and writing,
                 // or for reading alone where that is all the user may
};

// Opens `path`. A reader lets other programs write, rename and delete the
// file meanwhile. `permissions` are the bits a file created by this opening
// gets (POSIX; not narrowed by the process's umask); 0 gives the system's
// default. When the file opened is not a regular file, it is closed again
// and `*kind` says what it is (with the error kNotRegular).
int open_file(const std::filesystem::path& path, Access access, std::uint32_t permissions, Handle* handle,
              FileKind* kind);
// The error of an opening that found something other than a regular file.
constexpr int kNotRegular = -1;
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
// true. Either kind works on a lock file opened for reading alone.
int try_lock_file(Handle handle, bool shared);

// What is at `path`, links followed; `info->link` tells whether `path`
// itself is a link.
int file_info(const std::filesystem::path& path, FileInfo* info);
int set_permissions(const std::filesystem::path& path, std::uint32_t permissions);
// Gives `path` (not a link it might be) the owning group `group`; nothing to
// do where files have no groups.
int set_group(const std::filesystem::path& path, std::uint32_t group);
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
// The file a path finally names: a symbolic link is followed (a relative
// link from its own folder), up to a few levels; `path` itself when it is
// no link.
std::filesystem::path final_target(std::filesystem::path path);

// The system's words for an error number, in UTF-8 ("No space left on device").
std::string error_text(int error);
bool is_not_found(int error);
bool is_busy(int error);
// An opening refused because the name is a symbolic link.
bool is_link(int error);
// An opening for writing refused because the user may not write the file.
bool is_denied(int error);
// The file system cannot make hard links (or not between these folders).
bool is_link_unsupported(int error);

}  // namespace zenfaro::platform
