#include "editor/alternatives.h"

#include <string>
#include <vector>

namespace zenfaro {
namespace {

// Collapses runs of spaces to one and strips leading and trailing spaces
// (the space character only, not tabs).
std::string tidy_spaces(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// The alternatives of a group's inner text: cut at the commas outside any
// parentheses within it.
std::vector<std::string> split_alternatives(const std::string& inner) {
  std::vector<std::string> parts(1);
  int depth = 0;
  for (const char c : inner) {
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (c == ',' && depth == 0) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

// Finds the first "(" and the ")" that closes it; false when there is none.
bool find_group(const std::string& entry, std::size_t& open, std::size_t& close) {
  open = entry.find('(');
  if (open == std::string::npos) return false;
  int depth = 1;
  for (std::size_t i = open + 1; i < entry.size(); ++i) {
    if (entry[i] == '(') ++depth;
    if (entry[i] == ')' && --depth == 0) {
      close = i;
      return true;
    }
  }
  return false;
}

}  // namespace

bool expand_alternatives(WorkingList& list, std::size_t max_entries) {
  bool changed = true;
  while (changed) {
    changed = false;
    const std::size_t n = list.size();
    for (std::size_t i = 0; i < n; ++i) {
      const std::string entry = list.at(i);
      std::size_t open = 0;
      std::size_t close = 0;
      if (!find_group(entry, open, close)) continue;
      changed = true;
      const std::string head = entry.substr(0, open);
      const std::string tail = entry.substr(close + 1);
      const std::vector<std::string> alternatives = split_alternatives(entry.substr(open + 1, close - open - 1));
      if (list.size() - 1 + alternatives.size() > max_entries) return false;
      list.remove_at(i);
      for (const std::string& alternative : alternatives) list.insert(tidy_spaces(head + alternative + tail));
    }
  }
  return true;
}

}  // namespace zenfaro
