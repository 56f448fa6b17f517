#pragma once
// The commentary record: three lists of entries.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/capacities.h"

namespace zenfaro {

// The three lists of a record, in their fixed stored order.
enum class ListKind : int { triggers = 0, exclusions = 1, lines = 2 };
constexpr std::array<ListKind, 3> kAllLists = {ListKind::triggers, ListKind::exclusions, ListKind::lines};

// An entry is a byte string in Windows-1252 holding no CR, NUL or 0x1A.
using Entry = std::string;
using EntryList = std::vector<Entry>;

struct Record {
  std::array<EntryList, 3> lists;

  EntryList& list(ListKind kind) { return lists[static_cast<std::size_t>(kind)]; }
  const EntryList& list(ListKind kind) const { return lists[static_cast<std::size_t>(kind)]; }
  std::size_t total_entries() const { return lists[0].size() + lists[1].size() + lists[2].size(); }
  bool empty() const { return total_entries() == 0; }
  friend bool operator==(const Record& a, const Record& b) { return a.lists == b.lists; }
  friend bool operator!=(const Record& a, const Record& b) { return !(a == b); }
};

// The byte that ends the data of every text file the program reads.
constexpr char kEndOfData = '\x1A';

// "An entry can hold at most 4999 characters."
extern const std::string kEntryTooLong;

// Why `entry` cannot be stored as an entry, or an empty view when it can.
// `allow_line_feed` is false where the text comes from a single-line box.
std::string_view entry_problem(std::string_view entry, bool allow_line_feed = true);

}  // namespace zenfaro
