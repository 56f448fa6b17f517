#include "tests/fuzz/fuzz_folder.h"

#include <cstdlib>
#include <random>
#include <string>

namespace zenfaro::fuzz {
namespace {

std::filesystem::path make_folder() {
  std::random_device random;
  auto path = std::filesystem::temp_directory_path() / ("zenfaro-fuzz-" + std::to_string(random()));
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
