#pragma once
// One of the three lists of the record on screen. A sorted list (triggers,
// exclusion triggers) puts every inserted entry in its place, letter case
// ignored, after the entries that compare equal to it; an unsorted list
// (commentary lines) puts it at the end. Replacing an entry keeps its
// position in either kind.
//
// A list can keep a log of its changes (insert, remove_at, replace_at), from
// which a change is taken back and made again exactly (see
// editor/edit_history.h).
#include <cstddef>
#include <string>
#include <vector>

#include "core/record.h"

namespace zenfaro {

// One change of a list, enough to make it again and to take it back.
struct ListEdit {
  enum class Kind { insert, remove, replace };
  Kind kind = Kind::insert;
  std::size_t position = 0;
  Entry before;  // the entry removed or replaced
  Entry after;   // the entry inserted, or put in the replaced one's place
};

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
  void remove_at(std::size_t position);
  void replace_at(std::size_t position, Entry entry);
  void clear() { assign({}); }

  // --- The log of changes. assign() and clear() empty it: they start over.
  // From now on (and in copies of this list) insert, remove_at and
  // replace_at are logged.
  void log_edits() { logging_ = true; }
  // The changes logged since the last call, oldest first.
  std::vector<ListEdit> take_edits();
  // Takes logged changes back (newest first), or makes them again (oldest
  // first), exactly: positions as they were, nothing sorted. Not logged.
  void undo(const std::vector<ListEdit>& edits);
  void redo(const std::vector<ListEdit>& edits);
  // Puts `entries` in place as they are, nothing sorted. Not logged.
  void restore(EntryList entries) { entries_ = std::move(entries); }

 private:
  bool sorted_;
  bool logging_ = false;
  EntryList entries_;
  std::vector<ListEdit> edits_;
};

}  // namespace zenfaro
