#include "editor/editor_model.h"

#include <algorithm>
#include <unordered_map>

#include "core/database_state.h"
#include "core/number_text.h"
#include "core/stored_record.h"
#include "editor/alternatives.h"
#include "editor/changed_record.h"

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

void EditorModel::report_read(const Status& status) {
  if (status.is_ok()) {
    told_read_failure_.clear();
    return;
  }
  if (status.message() == told_read_failure_) return;
  told_read_failure_ = status.message();
  report(status.message());
}

void EditorModel::open(bool show_first_record) {
  report_read(open_database(*db_.env, db_.layout, &db_));
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

Status EditorModel::read_shown(std::int32_t n, Record* record, std::string* bytes) const {
  Status error;
  *record = read_record(db_, n, &error);
  return error.is_ok() ? stored_record_bytes(db_, n, bytes) : error;
}

void EditorModel::put_on_screen(std::int32_t n, const Status& status, const Record& record, std::string bytes) {
  pending_ = 0;
  history_.clear();
  shown_number_ = n;
  // A record that could not be read whole is shown empty and not written over.
  damaged_ = !status.is_ok() && n >= 1 && n <= db_.record_count;
  shown_bytes_ = status.is_ok() ? std::move(bytes) : std::string();
  report_read(status);
  for (ListKind kind : kAllLists) mutable_list(kind).assign(status.is_ok() ? record.list(kind) : EntryList{});
  shown_lists_ = working_record();
}

void EditorModel::show_record(std::int32_t n) {
  Record record;
  std::string bytes;
  const Status status = read_one_state(db_, [&] { return read_shown(n, &record, &bytes); });
  put_on_screen(n, status, record, std::move(bytes));
}

Status EditorModel::place_write(std::int32_t n, WriteMode mode, Placement* placement) {
  *placement = {true, n, false};
  std::string now;
  Status status = stored_record_bytes(db_, n, &now);
  // Record n as shown, or the very lists on screen stored there already.
  if (!status.is_ok() || now == shown_bytes_) return status;
  if (mode == WriteMode::save && stored_form(working_record()) == now) return status;
  // Moved by a change elsewhere: the window follows it.
  std::vector<std::int32_t> holding;
  status = records_holding(db_, shown_bytes_, &holding);
  if (!status.is_ok()) return status;
  if (holding.size() == 1) {
    *placement = {true, holding.front(), true};
    return status;
  }
  const std::int32_t count = db_.record_count;
  std::optional<Record> stands;
  if (n <= count) stands = read_record(db_, n);
  if (mode == WriteMode::remove) {
    if (!stands) prompt_.tell({deleted_gone_text(n, count) + " Nothing was deleted.", kDefaultCaption, Icon::warning});
    placement->write = stands && prompt_.ask(delete_changed_question(n, *stands));
    return status;
  }
  const Question question = save_changed_question(n, stands, count, shown_bytes_.empty());
  const std::size_t answer = prompt_.choose(question);
  if (answer == 0) *placement = {true, count + 1, true};  // as a new record
  placement->write = answer + 1 < question.answers.size();
  return status;
}

bool EditorModel::write(std::int32_t n, WriteMode mode, const char* what, std::int32_t* written_at) {
  const std::int32_t marker = pending_;
  pending_ = 0;
  if (working_record().empty()) {  // an empty record is never written
    history_.clear();
    return true;
  }
  const Running running(*this);
  Status status = damaged_ && n == shown_number_ ? Status::refused(damaged_text(n)) : Status::ok();
  DatabaseLock lock;
  if (status.is_ok()) status = lock_database(*db_.env, db_.layout, &lock);
  if (status.is_ok()) status = begin_change(db_);
  Placement placement;
  if (status.is_ok()) status = place_write(n, mode, &placement);
  const std::int32_t count = db_.record_count;
  if (status.is_ok() && placement.write) status = write_record_set(db_, lock, placement.at, mode, working_record());
  if (status.is_ok() && placement.write) {
    // A record appended takes the last number.
    const std::int32_t at = placement.at > count && mode == WriteMode::save ? db_.record_count : placement.at;
    if (written_at != nullptr) *written_at = at;
    const std::int32_t shown = placement.follow ? at : n;
    if (placement.follow) record_text_ = std::to_string(shown);
    // What is stored now is what a later write compares with.
    shown_number_ = shown;
    stored_record_bytes(db_, shown, &shown_bytes_).ignore_error();  // unread: the next write asks
    shown_lists_ = working_record();
    history_.clear();
    return true;
  }
  // Nothing was written: what was pending still is, and the remembered
  // record is as it was, so the next write asks again.
  pending_ = marker;
  if (!status.is_ok()) report(std::string(what) + "\n\n" + status.message());
  return false;
}

bool EditorModel::save_pending() {
  if (pending_ == 0) return true;
  const std::int32_t marker = pending_;
  if (write(marker, WriteMode::save, "The changes to this record could not be saved, so it stays on screen."))
    return true;
  // Keep the unsaved lists on screen under their own number.
  record_text_ = std::to_string(marker);
  return false;
}

void EditorModel::set_record_text(std::string text) {
  if (!save_pending()) return;
  record_text_ = std::move(text);
  show_record(current_record());
}

void EditorModel::refresh() {
  report_read(read_one_state(db_, [] { return Status::ok(); }));
}

void EditorModel::step(int direction) {
  refresh();
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
  std::int32_t deleted = n;
  if (!write(n, WriteMode::remove, "The record could not be deleted.", &deleted)) return;
  const std::int32_t shown = std::max(1, std::min(deleted, db_.record_count));
  set_record_text(std::to_string(shown));
}

bool EditorModel::quit() {
  return write(current_record(), WriteMode::save,
               "The record could not be saved. The window stays open so that nothing is lost.");
}

bool EditorModel::change_stored(std::int32_t n, WriteMode mode, const std::function<bool()>& edit) {
  const Running running(*this);
  const char* const what =
      mode == WriteMode::save ? "The record could not be saved." : "The record could not be deleted.";
  DatabaseLock lock;
  Status status = lock_database(*db_.env, db_.layout, &lock);
  if (status.is_ok()) status = begin_change(db_);
  if (!status.is_ok()) {
    report(std::string(what) + "\n\n" + status.message());
    return false;
  }
  // The lock is held: the record is read as it stands, with no other lock.
  record_text_ = std::to_string(n);
  Record record;
  std::string bytes;
  const Status read = read_shown(n, &record, &bytes);
  put_on_screen(n, read, record, std::move(bytes));
  if (!read.is_ok() || !edit()) return false;
  pending_ = 0;
  status = damaged_ ? Status::refused(damaged_text(n)) : write_record_set(db_, lock, n, mode, working_record());
  if (!status.is_ok()) {
    report(std::string(what) + "\n\n" + status.message());
    return false;
  }
  if (mode == WriteMode::save) stored_record_bytes(db_, n, &shown_bytes_).ignore_error();
  shown_lists_ = working_record();
  return true;
}

bool EditorModel::follow_outside_change() {
  if (running()) return false;
  const std::int32_t count = db_.record_count;
  const std::int32_t n = shown_number_;
  // The user's lists stay on screen; only the record count follows.
  if (working_record() != shown_lists_) {
    refresh();
    return db_.record_count != count;
  }
  std::string now;
  std::vector<std::int32_t> holding;
  const Status status = read_one_state(db_, [&] {
    Status read = stored_record_bytes(db_, n, &now);
    if (read.is_ok() && now != shown_bytes_) read = records_holding(db_, shown_bytes_, &holding);
    return read;
  });
  if (status.is_ok() && now == shown_bytes_) return db_.record_count != count;
  // Followed to its new number, or shown as record n now stands.
  const std::int32_t shown = status.is_ok() && holding.size() == 1 ? holding.front() : n;
  if (shown != current_record()) record_text_ = std::to_string(shown);
  show_record(shown);
  return true;
}

}  // namespace zenfaro
