#include "editor/edit_history.h"

namespace zenfaro {

HistoryStep make_step(ListKind list, std::vector<ListEdit> edits, const EntryList& before, const EntryList& after) {
  HistoryStep step;
  step.list = list;
  if (edits.size() > before.size() + after.size()) {
    step.whole_lists = true;
    step.before = before;
    step.after = after;
  } else {
    step.edits = std::move(edits);
  }
  return step;
}

void EditHistory::add(HistoryStep step) {
  undone_.clear();
  done_.push_back(std::move(step));
}

const HistoryStep* EditHistory::undo(std::vector<WorkingList>& lists) { return move_step(done_, undone_, lists, true); }

const HistoryStep* EditHistory::redo(std::vector<WorkingList>& lists) {
  return move_step(undone_, done_, lists, false);
}

const HistoryStep* EditHistory::move_step(std::vector<HistoryStep>& from, std::vector<HistoryStep>& to,
                                          std::vector<WorkingList>& lists, bool back) {
  if (from.empty()) return nullptr;
  to.push_back(std::move(from.back()));
  from.pop_back();
  const HistoryStep& step = to.back();
  WorkingList& list = lists.at(static_cast<std::size_t>(step.list));
  if (step.whole_lists) {
    list.restore(back ? step.before : step.after);
  } else if (back) {
    list.undo(step.edits);
  } else {
    list.redo(step.edits);
  }
  return &step;
}

void EditHistory::clear() {
  done_.clear();
  undone_.clear();
}

}  // namespace zenfaro
