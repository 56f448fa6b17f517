// Platform-specific file calls, kept in this one file so that the rest of the
// program uses only the C++ standard library.
#include "core/platform.h"

#ifdef _WIN32
#include <io.h>
#include <wchar.h>
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

#endif

}  // namespace zenfaro::platform
