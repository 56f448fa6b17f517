// Platform-specific file calls, kept in this one file so that the rest of the
// program uses only the C++ standard library.
#include "core/platform.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <wchar.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zenfaro::platform {

#ifdef _WIN32

bool sync_file(std::FILE* file) { return _commit(_fileno(file)) == 0; }

// NTFS makes directory changes durable with the file's own metadata.
bool sync_folder(const std::filesystem::path&) { return true; }

std::FILE* open_file(const std::filesystem::path& path, const char* mode) {
  wchar_t wide_mode[8] = {};
  for (int i = 0; i < 7 && mode[i] != '\0'; ++i) wide_mode[i] = static_cast<wchar_t>(mode[i]);
  return _wfopen(path.c_str(), wide_mode);
}

bool seek_file(std::FILE* file, unsigned long long offset) {
  return _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
}

bool copy_file_replacing(const std::filesystem::path& from, const std::filesystem::path& to,
                         std::error_code& error) {
  if (CopyFileW(from.c_str(), to.c_str(), FALSE)) {
    error.clear();
    return true;
  }
  error = std::error_code(static_cast<int>(GetLastError()), std::system_category());
  return false;
}

std::vector<std::string> utf8_arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) {
    // Unpaired surrogates become U+FFFD: the result is always valid UTF-8.
    const int length = static_cast<int>(wcslen(wide[i]));
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], length, nullptr, 0, nullptr, nullptr);
    std::string argument(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, wide[i], length, argument.data(), size, nullptr, nullptr);
    arguments.push_back(std::move(argument));
  }
  LocalFree(wide);
  return arguments;
}

void set_binary_stdout() { _setmode(_fileno(stdout), _O_BINARY); }

void use_utf8_console() {
  // 0 when the program has no console (output to a file or a pipe).
  static const UINT previous = GetConsoleOutputCP();
  if (previous == 0 || previous == CP_UTF8 || !SetConsoleOutputCP(CP_UTF8)) return;
  // The code page belongs to the console, which outlives the program.
  std::atexit([] { SetConsoleOutputCP(previous); });
}

#else

bool sync_file(std::FILE* file) { return ::fsync(::fileno(file)) == 0; }

bool sync_folder(const std::filesystem::path& folder) {
  const std::filesystem::path target = folder.empty() ? std::filesystem::path(".") : folder;
  const int fd = ::open(target.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

std::FILE* open_file(const std::filesystem::path& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

bool seek_file(std::FILE* file, unsigned long long offset) {
  return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool copy_file_replacing(const std::filesystem::path& from, const std::filesystem::path& to,
                         std::error_code& error) {
  return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
}

std::vector<std::string> utf8_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void set_binary_stdout() {}

void use_utf8_console() {}

#endif

}  // namespace zenfaro::platform
