#include "editor/alternatives.h"

#include <algorithm>
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

// One expansion step of an entry that holds a closed group: head +
// alternative + tail for each alternative, spaces tidied.
std::vector<std::string> expand_group(const std::string& entry, std::size_t open, std::size_t close) {
  const std::string head = entry.substr(0, open);
  const std::string tail = entry.substr(close + 1);
  std::vector<std::string> expanded = split_alternatives(entry.substr(open + 1, close - open - 1));
  for (std::string& alternative : expanded) alternative = tidy_spaces(head + alternative + tail);
  return expanded;
}

// a * b, held at `cap`.
std::size_t capped_product(std::size_t a, std::size_t b, std::size_t cap) {
  return a != 0 && b > cap / a ? cap : std::min(a * b, cap);
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
      std::vector<std::string> alternatives = expand_group(entry, open, close);
      if (list.size() - 1 + alternatives.size() > max_entries) return false;
      list.remove_at(i);
      for (std::string& alternative : alternatives) list.insert(std::move(alternative));
    }
  }
  return true;
}

bool holds_group(std::string_view entry) {
  std::size_t open = 0;
  std::size_t close = 0;
  return entry.find('(') != std::string_view::npos && find_group(std::string(entry), open, close);
}

// An entry's first group and what follows it expand independently: every
// alternative is balanced (its parentheses close within it, since the
// group's own do), so the groups of alternative + tail are those of the
// alternative and then those of the tail. The head holds no "(" and so no
// group, and spaces do not count. Hence the count is the product, over the
// groups that follow one another, of the sum of their alternatives' counts.
std::size_t count_expansion(std::string_view entry, std::size_t limit) {
  const std::size_t cap = limit + 1;
  std::size_t count = 1;
  std::string rest(entry);
  std::size_t open = 0;
  std::size_t close = 0;
  while (count <= limit && find_group(rest, open, close)) {
    std::size_t alternatives = 0;
    for (const std::string& alternative : split_alternatives(rest.substr(open + 1, close - open - 1))) {
      alternatives = std::min(alternatives + count_expansion(alternative, limit), cap);
    }
    count = capped_product(count, alternatives, cap);
    rest.erase(0, close + 1);
  }
  return count;
}

// The passes of expand_alternatives over an unsorted list, without moving
// entries: in a pass, position i holds entry i + r of the list as it was
// followed by the entries appended since, r being the removals so far (each
// removal moves the next entry into the place looked at, and so past it).
std::vector<Entry> expand_entry(std::string_view entry, std::size_t limit) {
  const std::size_t count = count_expansion(entry, limit);
  if (count > limit) return {};
  // A pass holds the list and what it appends, no more than twice the
  // entries at the end; memory taken once (fresh pages cost).
  std::vector<Entry> list;
  std::vector<Entry> kept;
  std::vector<bool> removed;
  list.reserve(2 * count + 1);
  kept.reserve(2 * count + 1);
  removed.reserve(2 * count + 1);
  list.emplace_back(entry);
  for (bool changed = true; changed;) {
    changed = false;
    const std::size_t n = list.size();
    removed.assign(n, false);
    for (std::size_t i = 0, r = 0; i < n; ++i) {
      const std::size_t at = i + r;
      std::size_t open = 0;
      std::size_t close = 0;
      if (!find_group(list[at], open, close)) continue;
      changed = true;
      std::vector<std::string> alternatives = expand_group(list[at], open, close);
      removed.resize(list.size() + alternatives.size(), false);
      removed[at] = true;
      ++r;
      for (std::string& alternative : alternatives) list.push_back(std::move(alternative));
    }
    kept.clear();
    for (std::size_t at = 0; at < list.size(); ++at) {
      if (!removed[at]) kept.push_back(std::move(list[at]));
    }
    list.swap(kept);
  }
  return list;
}

}  // namespace zenfaro
