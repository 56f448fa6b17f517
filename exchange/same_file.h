#pragma once
// Whether two paths name the same file, so that the exchange code never
// writes over a file it is reading from (or one it must keep).
#include <filesystem>

namespace zenfaro {

// True when both name one existing file (hard links and other spellings
// included), or, when either does not exist, when their absolute normal
// forms are equal.
bool same_file(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace zenfaro
