#include "exchange/merge_work_file.h"

namespace zenfaro {
namespace {

// "*!**!*" followed by `min_nuls` or more NUL bytes, and nothing else.
bool terminator_with_nuls(std::string_view text, std::size_t min_nuls) {
  if (text.size() < kListTerminator.size() + min_nuls) return false;
  if (text.substr(0, kListTerminator.size()) != kListTerminator) return false;
  return text.find_first_not_of('\0', kListTerminator.size()) == std::string_view::npos;
}

}  // namespace

std::string_view escape_merge_entry(std::string_view entry, std::string& scratch) {
  if (!terminator_with_nuls(entry, 0)) return entry;
  scratch.assign(entry);
  scratch.push_back('\0');
  return scratch;
}

std::string_view unescape_merge_entry(std::string_view line) {
  if (terminator_with_nuls(line, 1)) line.remove_suffix(1);
  return line;
}

}  // namespace zenfaro
