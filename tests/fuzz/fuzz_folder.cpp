#include "tests/fuzz/fuzz_folder.h"

#include <cstdlib>
#include <random>
#include <string>

namespace zenfaro::fuzz {
namespace {

// Files that are written and synced thousands of times a second: a memory
// file system where there is one, else the temporary folder.
std::filesystem::path base_folder() {
  std::error_code ec;
  if (std::filesystem::is_directory("/dev/shm", ec)) return "/dev/shm";
  return std::filesystem::temp_directory_path();
}

std::filesystem::path make_folder() {
  std::random_device random;
  auto path = base_folder() / ("zenfaro-fuzz-" + std::to_string(random()));
  std::filesystem::create_directories(path);
  return path;
}

std::filesystem::path& the_folder() {
  static std::filesystem::path path = [] {
    std::filesystem::path made = make_folder();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(the_folder(), ignored);
    });
    return made;
  }();
  return path;
}

}  // namespace

const std::filesystem::path& folder() { return the_folder(); }

void clear_folder() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder(), ignored)) {
    std::filesystem::remove_all(entry.path(), ignored);
  }
}

}  // namespace zenfaro::fuzz
