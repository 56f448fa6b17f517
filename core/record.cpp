#include "core/record.h"

namespace zenfaro {

std::string_view entry_problem(std::string_view entry, bool allow_line_feed) {
  if (entry.size() > kMaxEntryBytes) return kEntryTooLongMessage;
  for (const char c : entry) {
    if (c == '\r' || (c == '\n' && !allow_line_feed)) return "An entry cannot hold a line break.";
    if (c == '\0') return "An entry cannot hold a NUL character.";
    if (c == kEndOfData) return "An entry cannot hold the character 0x1A.";
  }
  return {};
}

}  // namespace zenfaro
