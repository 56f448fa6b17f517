#include "editor/working_list.h"

#include <algorithm>

#include "editor/collation.h"

namespace zenfaro {

namespace {

bool before(const Entry& a, const Entry& b) { return compare_ignoring_case(a, b) < 0; }

EntryList::iterator at_position(EntryList& entries, std::size_t position) {
  return entries.begin() + static_cast<std::ptrdiff_t>(position);
}

}  // namespace

std::size_t WorkingList::insert(Entry entry) {
  // After the entries that compare equal to it, as a stable sort puts it.
  const auto place = sorted_ ? std::upper_bound(entries_.begin(), entries_.end(), entry, before) : entries_.end();
  const auto position = static_cast<std::size_t>(place - entries_.begin());
  if (logging_) edits_.push_back({ListEdit::Kind::insert, position, {}, entry});
  entries_.insert(place, std::move(entry));
  return position;
}

void WorkingList::assign(EntryList entries) {
  edits_.clear();
  entries_ = std::move(entries);
  if (sorted_) std::stable_sort(entries_.begin(), entries_.end(), before);
}

void WorkingList::remove_at(std::size_t position) {
  if (logging_) edits_.push_back({ListEdit::Kind::remove, position, entries_.at(position), {}});
  entries_.erase(at_position(entries_, position));
}

void WorkingList::replace_at(std::size_t position, Entry entry) {
  if (logging_) edits_.push_back({ListEdit::Kind::replace, position, entries_.at(position), entry});
  entries_.at(position) = std::move(entry);
}

std::vector<ListEdit> WorkingList::take_edits() {
  std::vector<ListEdit> edits;
  edits.swap(edits_);
  return edits;
}

void WorkingList::undo(const std::vector<ListEdit>& edits) {
  for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
    switch (edit->kind) {
      case ListEdit::Kind::insert: entries_.erase(at_position(entries_, edit->position)); break;
      case ListEdit::Kind::remove: entries_.insert(at_position(entries_, edit->position), edit->before); break;
      case ListEdit::Kind::replace: entries_.at(edit->position) = edit->before; break;
    }
  }
}

void WorkingList::redo(const std::vector<ListEdit>& edits) {
  for (const ListEdit& edit : edits) {
    switch (edit.kind) {
      case ListEdit::Kind::insert: entries_.insert(at_position(entries_, edit.position), edit.after); break;
      case ListEdit::Kind::remove: entries_.erase(at_position(entries_, edit.position)); break;
      case ListEdit::Kind::replace: entries_.at(edit.position) = edit.after; break;
    }
  }
}

}  // namespace zenfaro
