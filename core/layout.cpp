#include "core/layout.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <system_error>

namespace zenfaro {
namespace fs = std::filesystem;

fs::path Layout::database_folder() const { return host ? root / "plugins" / "zenfaro" / "data" : root; }

fs::path host_marker(const fs::path& root) { return root / "program" / "vask.exe"; }

Layout decide_layout(Env& env, const fs::path& root) { return Layout{root, file_exists(env, host_marker(root))}; }

namespace {

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

bool starts_and_ends(const std::string& name, std::string_view start, std::string_view end) {
  return name.size() >= start.size() + end.size() && name.compare(0, start.size(), start) == 0 &&
         name.compare(name.size() - end.size(), end.size(), end) == 0;
}

// The folder of a file, absolute and in normal form.
fs::path folder_of(const fs::path& file) {
  std::error_code ec;
  return fs::absolute(file, ec).lexically_normal().parent_path();
}

}  // namespace

bool is_program_file(const Layout& layout, const fs::path& path) {
  const fs::path folder = folder_of(path);
  if (folder != folder_of(layout.work_file("x")) && folder != folder_of(layout.database_file("x"))) return false;
  const std::string name = lower(path.filename().u8string());
  for (const char* own :
       {"commdb.dat", "commdb.idx", "commdb.old", "temp.tmp", "temp.idx", "tempfile2.idx", "impres.txt", "zenfaro.log",
        "zenfaro.jrn", "zenfaro.jrn.tmp", "zenfaro.lck", "importold.dat", "importold.idx", "restoreold.dat"}) {
    if (name == own) return true;
  }
  return starts_and_ends(name, "tempfile", ".tmp") || starts_and_ends(name, "hashes", ".txt");
}

}  // namespace zenfaro
