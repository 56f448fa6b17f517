#pragma once
// One of the three lists of the record on screen. A sorted list (triggers,
// exclusion triggers) puts every inserted entry in its place, letter case
// ignored, after the entries that compare equal to it; an unsorted list
// (commentary lines) puts it at the end. Replacing an entry keeps its
// position in either kind.
#include <cstddef>
#include <string>

#include "core/record.h"

namespace zenfaro {

class WorkingList {
 public:
  explicit WorkingList(bool sorted) : sorted_(sorted) {}

  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const Entry& at(std::size_t position) const { return entries_.at(position); }
  const EntryList& entries() const { return entries_; }

  // Inserts by the list's rule and returns the position taken.
  std::size_t insert(Entry entry);
  // Replaces the whole list, as inserting each entry in turn would: one
  // stable sort for a sorted list, so a long list costs n log n.
  void assign(EntryList entries);
  void remove_at(std::size_t position) { entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(position)); }
  void replace_at(std::size_t position, Entry entry) { entries_.at(position) = std::move(entry); }
  void clear() { entries_.clear(); }

 private:
  bool sorted_;
  EntryList entries_;
};

}  // namespace zenfaro
