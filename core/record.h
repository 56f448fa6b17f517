#pragma once
// The commentary record: three lists of entries, and the capacities that
// every part of the program shares.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// Records are numbered 1 to N; the record index has slots 0 to kMaxRecords.
constexpr std::int32_t kMaxRecords = 10000;
// The work buffer through which every written entry passes holds this many
// bytes of text (and a terminating NUL).
constexpr std::size_t kMaxEntryBytes = 4999;
// A list read past the end of the data gets empty entries for its missing
// lines, but never more than this many beyond what the rest of the file
// could hold: a damaged count must not make a reader produce millions of
// entries.
constexpr std::int64_t kMaxEntriesPastEnd = 32000;

// The byte that ends the data of every text file the program reads.
constexpr char kEndOfData = '\x1A';

// What the user is told about a text longer than kMaxEntryBytes.
inline constexpr const char* kEntryTooLongMessage = "An entry can hold at most 4999 characters.";

// Why `entry` cannot be stored as an entry, or an empty view when it can.
// `allow_line_feed` is false where the text comes from a single-line box.
std::string_view entry_problem(std::string_view entry, bool allow_line_feed = true);

}  // namespace zenfaro
