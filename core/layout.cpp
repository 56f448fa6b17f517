#include "core/layout.h"

namespace zenfaro {

fs::path Layout::database_folder() const {
  return host ? root / "plugins" / "zenfaro" / "data" : root;
}

fs::path host_marker(const fs::path& root) { return root / "program" / "vask.exe"; }

Layout decide_layout(Env& env, const fs::path& root) {
  return Layout{root, env.file_exists(host_marker(root))};
}

}  // namespace zenfaro
