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

const HistoryStep* EditHistory::undo(std::vector<WorkingList>& lists) {
  if (done_.empty()) return nullptr;
  undone_.push_back(std::move(done_.back()));
  done_.pop_back();
  const HistoryStep& step = undone_.back();
  WorkingList& list = lists.at(static_cast<std::size_t>(step.list));
  if (step.whole_lists) {
    list.restore(step.before);
  } else {
    list.undo(step.edits);
  }
  return &step;
}

const HistoryStep* EditHistory::redo(std::vector<WorkingList>& lists) {
  if (undone_.empty()) return nullptr;
  done_.push_back(std::move(undone_.back()));
  undone_.pop_back();
  const HistoryStep& step = done_.back();
  WorkingList& list = lists.at(static_cast<std::size_t>(step.list));
  if (step.whole_lists) {
    list.restore(step.after);
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
