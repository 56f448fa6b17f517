#include "tests/support/temp_folder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

namespace zenfaro::testing {

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = fs::temp_directory_path() /
          ("zenfaro-test-" + std::to_string(stamp) + "-" + std::to_string(random()) + "-" + std::to_string(counter++));
  fs::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void write_bytes(const fs::path& path, std::string_view bytes) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool is_file(const fs::path& path) { return fs::is_regular_file(path); }

std::string count(long long value) { return " " + std::to_string(value) + " \r\n"; }

std::string line(std::string_view text) { return std::string(text) + "\r\n"; }

std::string index_bytes(std::initializer_list<std::int32_t> offsets) {
  std::string bytes;
  for (const std::int32_t offset : offsets) {
    const auto bits = static_cast<std::uint32_t>(offset);
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((bits >> shift) & 0xFF);
  }
  return bytes;
}

}  // namespace zenfaro::testing
