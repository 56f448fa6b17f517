#pragma once
// The few operations that differ between Windows and POSIX systems. Their
// only implementation file is core/platform.cpp.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

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

// Copies `from` over `to`, replacing an existing `to`. std::filesystem's copy
// cannot be used for this: on MinGW-w64's runtime it refuses an existing
// target even with overwrite allowed. Sets `error` on failure.
bool copy_file_replacing(const std::filesystem::path& from, const std::filesystem::path& to,
                         std::error_code& error);

// The program's arguments as UTF-8, argv[0] first. On Windows argv holds
// them in the ANSI code page, which cannot hold every character, so they are
// read again from the wide command line; elsewhere argv is taken as it is.
std::vector<std::string> utf8_arguments(int argc, char** argv);

// Puts standard output into binary mode, so that every byte is written as it
// is (in text mode Windows writes "\r\n" for each "\n"). Flush std::cout first.
void set_binary_stdout();

// Makes a console window show the program's UTF-8 output as text: on Windows
// the console's output code page is UTF-8 until the program ends.
void use_utf8_console();

}  // namespace zenfaro::platform
