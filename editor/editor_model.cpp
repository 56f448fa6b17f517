#include "editor/editor_model.h"

#include <algorithm>
#include <unordered_map>

#include "core/number_text.h"
#include "editor/alternatives.h"

namespace zenfaro {

EditorModel::EditorModel(Env& env, Layout layout, Prompt& prompt) : prompt_(prompt) {
  db_.env = &env;
  db_.layout = std::move(layout);
  lists_ = {WorkingList(true), WorkingList(true), WorkingList(false)};
  for (WorkingList& list : lists_) list.log_edits();
}

void EditorModel::report(const std::string& text) { prompt_.tell({text, kDefaultCaption, Icon::error}); }

namespace {

std::string damaged_text(std::int32_t n) {
  return "Record " + std::to_string(n) + " could not be read whole, so it cannot be changed here.";
}

// The positions of `after` that hold entries `before` did not: of equal
// entries, the first ones count as the old ones (a sorted list puts a new
// entry after its equals, an unsorted one at the end).
std::vector<std::size_t> new_positions(const WorkingList& before, const WorkingList& after) {
  std::unordered_map<std::string_view, std::size_t> old_count;
  for (const Entry& entry : before.entries()) ++old_count[entry];
  std::vector<std::size_t> positions;
  for (std::size_t i = 0; i < after.size(); ++i) {
    const auto found = old_count.find(after.at(i));
    if (found != old_count.end() && found->second > 0) {
      --found->second;
    } else {
      positions.push_back(i);
    }
  }
  return positions;
}

}  // namespace

void EditorModel::open(bool show_first_record) {
  const Status status = open_database(*db_.env, db_.layout, &db_);
  if (!status.is_ok()) report(status.message());
  if (db_.index_fields > kMaxRecords) {
    prompt_.tell({"The index lists " + std::to_string(db_.index_fields) + " records; only the first " +
                      std::to_string(kMaxRecords) + " can be shown.",
                  kDefaultCaption, Icon::warning});
  }
  record_text_ = "1";
  if (show_first_record) show_record(1);
}

std::int32_t EditorModel::current_record() const { return leading_decimal_number(record_text_); }

Record EditorModel::working_record() const {
  Record record;
  for (ListKind kind : kAllLists) record.list(kind) = list(kind).entries();
  return record;
}

void EditorModel::show_record(std::int32_t n) {
  pending_ = 0;
  Status error;
  shown_number_ = n;
  // The index and the record are read one after the other, without the
  // lock: when another program replaced the files in between, they are read
  // again, so that what is shown is one state of the database.
  for (int attempt = 0; attempt < 5; ++attempt) {
    reload_if_changed();
    error = Status::ok();
    shown_ = read_record(db_, n, &error);
    if (!database_changed(db_)) break;
  }
  history_.clear();
  damaged_ = error.code() == Status::Code::refused;
  if (!error.is_ok()) report(error.message());
  for (ListKind kind : kAllLists) mutable_list(kind).assign(shown_.list(kind));
}

bool EditorModel::still_as_shown(std::int32_t n, WriteMode mode) {
  if (!database_changed(db_)) return true;
  reload_if_changed();
  const Record now = read_record(db_, n);
  if (n == shown_number_ && now == shown_) return true;
  const std::string number = std::to_string(n);
  std::string text = n > db_.record_count && !shown_.empty()
                         ? "Record " + number +
                               " no longer exists: another program changed the database after it "
                               "was shown here (it now holds " +
                               std::to_string(db_.record_count) + " records)."
                         : "Record " + number + " was changed by another program after it was shown here.";
  text += mode == WriteMode::remove ? "\n\nDelete record " + number + " anyway?"
          : n > db_.record_count
              ? "\n\nSave the lists on screen as a new record anyway?"
              : "\n\nSave the lists on screen as record " + number + " anyway, replacing that change?";
  return prompt_.ask({text, "Record changed", Icon::warning, false, {}});
}

bool EditorModel::write(std::int32_t n, WriteMode mode, const char* what) {
  const std::int32_t marker = pending_;
  pending_ = 0;
  if (working_record().empty()) {  // an empty record is never written
    history_.clear();
    return true;
  }
  Status status = damaged_ && n == shown_number_ ? Status::refused(damaged_text(n)) : Status::ok();
  DatabaseLock lock;
  if (status.is_ok()) status = lock_database(*db_.env, db_.layout, &lock);
  if (status.is_ok()) status = begin_change(db_);
  bool declined = false;
  if (status.is_ok() && !still_as_shown(n, mode)) declined = true;
  if (status.is_ok() && !declined) status = write_record_set(db_, lock, n, mode, working_record());
  if (status.is_ok() && !declined) {
    // What is stored now is what a later check compares with.
    shown_number_ = n;
    shown_ = read_record(db_, n);
    history_.clear();
    return true;
  }
  // Nothing was written: what was pending still is.
  pending_ = marker;
  if (!declined) report(std::string(what) + "\n\n" + status.message());
  return false;
}

void EditorModel::set_record_text(std::string text) {
  if (pending_ != 0) {
    const std::int32_t marker = pending_;
    if (!write(marker, WriteMode::save, "The changes to this record could not be saved, so it stays on screen.")) {
      // Keep the unsaved lists on screen under their own number.
      record_text_ = std::to_string(marker);
      return;
    }
  }
  record_text_ = std::move(text);
  show_record(current_record());
}

void EditorModel::reload_if_changed() {
  if (database_changed(db_)) load_index(db_, db_.index_path, db_.data_path);
}

void EditorModel::step(int direction) {
  reload_if_changed();
  const std::int32_t maximum = navigator_maximum();
  const std::int32_t now = current_record();
  std::int32_t next = 1;
  if (direction > 0) {
    next = now >= 1 && now < maximum ? now + 1 : 1;
  } else {
    next = now > 1 && now <= maximum ? now - 1 : maximum;
  }
  set_record_text(std::to_string(next));
}

bool EditorModel::add_entry(ListKind kind, std::string_view text) {
  if (text.empty()) return true;
  const std::int32_t n = current_record();
  if (n < 1) {
    report("Choose a record number of 1 or more in the record box before adding entries.");
    return false;
  }
  if (damaged_) {
    report(damaged_text(n));
    return false;
  }
  if (const std::string_view problem = entry_problem(text, false); !problem.empty()) {
    report(std::string(problem));
    return false;
  }
  const auto capacity = static_cast<std::size_t>(kMaxListEntries);
  WorkingList expanded = list(kind);
  if (expanded.size() >= capacity) {
    report("A list can hold at most " + std::to_string(capacity) + " entries.");
    return false;
  }
  expanded.insert(std::string(text));
  if (!expand_alternatives(expanded, capacity)) {
    report("This entry would expand into more entries than a list can hold (" + std::to_string(capacity) +
           "). Nothing was added.");
    return false;
  }
  const std::int32_t marker = pending_;
  pending_ = n;
  added_positions_ = new_positions(list(kind), expanded);
  std::swap(mutable_list(kind), expanded);  // `expanded` now holds the list as it was
  remember(kind, marker, &expanded.entries());
  return true;
}

void EditorModel::delete_entries(ListKind kind, std::vector<std::size_t> positions) {
  WorkingList& target = mutable_list(kind);
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
    if (*it < target.size()) target.remove_at(*it);
  }
  remember(kind, pending_);
}

bool EditorModel::modify_entry(ListKind kind, std::size_t position, std::string_view text) {
  if (position >= list(kind).size()) return false;
  if (const std::string_view problem = entry_problem(text, false); !problem.empty()) {
    report(std::string(problem));
    return false;
  }
  mutable_list(kind).replace_at(position, std::string(text));
  const std::int32_t marker = pending_;
  pending_ = current_record();
  remember(kind, marker);
  return true;
}

void EditorModel::remember(ListKind kind, std::int32_t marker, const EntryList* before) {
  std::vector<ListEdit> edits = mutable_list(kind).take_edits();
  if (edits.empty()) return;
  HistoryStep step = before != nullptr ? make_step(kind, std::move(edits), *before, list(kind).entries())
                                       : HistoryStep{kind, 0, 0, std::move(edits), false, {}, {}};
  step.pending_before = marker;
  step.pending_after = pending_;
  history_.add(std::move(step));
}

std::optional<ListKind> EditorModel::undo() {
  const HistoryStep* step = history_.undo(lists_);
  if (step == nullptr) return std::nullopt;
  pending_ = step->pending_before;
  return step->list;
}

std::optional<ListKind> EditorModel::redo() {
  const HistoryStep* step = history_.redo(lists_);
  if (step == nullptr) return std::nullopt;
  pending_ = step->pending_after;
  return step->list;
}

bool EditorModel::save_record() { return write(current_record(), WriteMode::save, "The record could not be saved."); }

void EditorModel::delete_record() {
  const std::int32_t n = current_record();
  if (n < 1) return;
  if (!prompt_.ask({"Are you sure you want to delete this record ?", "Confirm Action", Icon::question, false, {}}))
    return;
  if (!write(n, WriteMode::remove, "The record could not be deleted.")) return;
  const std::int32_t shown = std::max(1, std::min(n, db_.record_count));
  set_record_text(std::to_string(shown));
}

bool EditorModel::quit() {
  return write(current_record(), WriteMode::save,
               "The record could not be saved. The window stays open so that nothing is lost.");
}

}  // namespace zenfaro
