#pragma once
// A fresh, empty folder for one test, removed afterwards, and small helpers
// to read and write whole files as bytes.
#include <filesystem>
#include <string>
#include <string_view>

namespace zenfaro::testing {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const fs::path& path() const { return path_; }
  fs::path operator/(std::string_view name) const { return path_ / fs::path(name); }

 private:
  fs::path path_;
};

std::string read_bytes(const fs::path& path);
void write_bytes(const fs::path& path, std::string_view bytes);
bool is_file(const fs::path& path);

// "\x20\x33\x20\r\n"-style helpers for readable expectations.
std::string count(long long value);          // " 7 \r\n"
std::string line(std::string_view text);     // text + "\r\n"
// A little-endian index of the given offsets.
std::string index_bytes(std::initializer_list<std::int32_t> offsets);

}  // namespace zenfaro::testing
