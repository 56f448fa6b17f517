// Any text added to a list: the expansion ends, keeps to the list's capacity, and leaves no closed group; for one
// entry in the commentary list, its count and its entries made apart (the add's preview) are what it left.
#include <cstdint>
#include <string>

#include "editor/alternatives.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zenfaro;
  if (size < 1) return 0;
  const bool sorted = (data[0] & 1) != 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  WorkingList list(sorted);
  std::size_t start = 0;  // several entries: the input is cut at '\n'
  for (std::size_t at = 0; at <= text.size(); ++at)
    if (at == text.size() || text[at] == '\n') {
      list.insert(text.substr(start, at - start));
      start = at + 1;
    }
  const bool alone = !sorted && list.size() == 1;
  const bool finished = expand_alternatives(list, 2000);
  if (list.size() > 2000) __builtin_trap();
  if (alone && (count_expansion(text, 2000) > 2000) == finished) __builtin_trap();
  if (alone && finished && (count_expansion(text, 2000) != list.size() || expand_entry(text, 2000) != list.entries()))
    __builtin_trap();
  if (!finished) return 0;
  for (const Entry& entry : list.entries()) {
    const std::size_t open = entry.find('(');
    if (open == std::string::npos) continue;
    int depth = 1;
    for (std::size_t i = open + 1; i < entry.size(); ++i) {
      if (entry[i] == '(') ++depth;
      if (entry[i] == ')' && --depth == 0) __builtin_trap();  // a closed group survived
    }
  }
  return 0;
}
