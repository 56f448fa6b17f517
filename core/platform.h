#pragma once
// The few operations that differ between Windows and POSIX systems. Their
// only implementation file is core/platform.cpp.
#include <cstdio>
#include <filesystem>

namespace zenfaro::platform {

// Pushes the bytes of an open, already fflush()ed stdio file to the disk.
bool sync_file(std::FILE* file);
// Makes changes to the entries of a folder durable (a no-op where the
// system does that by itself).
bool sync_folder(const std::filesystem::path& folder);
// Opens a file with stdio; `mode` as for fopen. Handles wide paths on Windows.
std::FILE* open_file(const std::filesystem::path& path, const char* mode);
// Moves the position of a stdio file to a 64-bit offset.
bool seek_file(std::FILE* file, unsigned long long offset);

}  // namespace zenfaro::platform
