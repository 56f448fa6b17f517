#include "exchange/same_file.h"

#include <system_error>

namespace zenfaro {

bool same_file(const std::filesystem::path& a, const std::filesystem::path& b) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec)) return fs::equivalent(a, b, ec) && !ec;
  const fs::path left = fs::weakly_canonical(fs::absolute(a, ec), ec);
  if (ec) return false;
  const fs::path right = fs::weakly_canonical(fs::absolute(b, ec), ec);
  return !ec && left == right;
}

}  // namespace zenfaro
