#pragma once
// The undo history of the record on screen. Each list command (an add with
// its expansion, a delete of the selected entries, a modification) is one
// step: what it changed in its list, and the pending-edit marker before and
// after it. Undo takes the newest step back and keeps it for redo; a new
// step drops the steps that were undone. A step costs what it changed, not
// the whole record.
#include <cstdint>
#include <vector>

#include "editor/working_list.h"

namespace zenfaro {

struct HistoryStep {
  ListKind list = ListKind::triggers;
  std::int32_t pending_before = 0;
  std::int32_t pending_after = 0;
  // The changes, oldest first...
  std::vector<ListEdit> edits;
  // ...or, for a change that made more edits than the list holds entries
  // before and after it (a long expansion), the whole list before and after.
  bool whole_lists = false;
  EntryList before;
  EntryList after;
};

// The step of a change of `list`'s entries from `before` to `after`, made by
// `edits` (which it keeps, or replaces by the two lists when they are the
// smaller record of it).
HistoryStep make_step(ListKind list, std::vector<ListEdit> edits, const EntryList& before, const EntryList& after);

class EditHistory {
 public:
  // Adds a step; the steps undone so far can no longer be redone.
  void add(HistoryStep step);
  bool can_undo() const { return !done_.empty(); }
  bool can_redo() const { return !undone_.empty(); }
  // Takes the newest step back on `lists` (indexed by ListKind), or makes
  // the last undone step again; the step, or null when there is none.
  const HistoryStep* undo(std::vector<WorkingList>& lists);
  const HistoryStep* redo(std::vector<WorkingList>& lists);
  void clear();

 private:
  // Moves the newest step of `from` to `to`, taking it back on `lists` or
  // making it again.
  static const HistoryStep* move_step(std::vector<HistoryStep>& from, std::vector<HistoryStep>& to,
                                      std::vector<WorkingList>& lists, bool back);

  std::vector<HistoryStep> done_;
  std::vector<HistoryStep> undone_;
};

}  // namespace zenfaro
