#pragma once
// The editing logic of the main window, with no window system in it: the
// three working lists of the record on screen, the record-number box's text,
// the pending-edit marker and the commands. The window binds its widgets to
// this model; the command-line tool drives it directly.
//
// The pending-edit marker is 0, or the number of the record whose working
// lists carry an addition or modification not yet saved. Moving to another
// record first saves the lists under that number. Deletions of entries alone
// do not set it: they are saved only by Save Record, Quit, or together with
// a pending addition.
//
// Record numbers below 1 (an empty box, "0", "-2", text without a number)
// name no record: the lists stay empty there and the add and modify commands
// are refused, so nothing is ever written under such a number.
//
// Other programs may change the database meanwhile. Navigation rereads the
// index when the files changed, and every save or delete holds the
// database's lock and first checks that the record still holds what the
// window showed; when it does not, the user decides.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/database.h"
#include "core/prompt.h"
#include "core/write_record_set.h"
#include "editor/edit_history.h"
#include "editor/end_code.h"
#include "editor/working_list.h"
#include "exchange/exchange_progress.h"

namespace zenfaro {

class EditorModel {
 public:
  EditorModel(Env& env, Layout layout, Prompt& prompt);

  // Opens the database and shows record 1 (unless `show_first_record` is
  // false: the command-line tool's commands that show no record read none);
  // the box reads "1". Reports an interrupted save that could not be
  // finished through the prompt.
  void open(bool show_first_record = true);

  // --- The record-number box and the navigator.
  const std::string& record_text() const { return record_text_; }
  // The box's text changed (typed, or set by the navigator): save a pending
  // edit under the marker, then show the record now in the box.
  void set_record_text(std::string text);
  // One step of the navigator (+1 up, -1 down) within 1 to N+1, wrapping.
  void step(int direction);
  // The number in the box: its leading decimal number, 0 when there is none.
  std::int32_t current_record() const;
  std::int32_t record_count() const { return db_.record_count; }
  // The navigator's range is 1 to this.
  std::int32_t navigator_maximum() const { return db_.record_count + 1; }

  // --- The record on screen.
  const WorkingList& list(ListKind kind) const { return lists_[static_cast<std::size_t>(kind)]; }
  Record working_record() const;
  std::int32_t pending() const { return pending_; }
  // Puts record n on screen and clears the marker.
  void show_record(std::int32_t n);

  // --- Commands. A refused command tells the user why and returns false;
  // the text that was refused is to be left where it was typed.
  // "Add To ...": puts `text` in the list and expands alternatives. An empty
  // text adds nothing and succeeds.
  bool add_entry(ListKind kind, std::string_view text);
  // The positions (ascending) of the entries that the last successful add
  // put into its list: the text itself, or what its alternatives expanded
  // into (an older entry of the list expanded on the way counts too).
  const std::vector<std::size_t>& added_positions() const { return added_positions_; }
  // "Delete": removes the entries at `positions` (any order, repeats ignored).
  void delete_entries(ListKind kind, std::vector<std::size_t> positions);
  // The Modify Entry dialog's "&OK": replaces the entry in place.
  bool modify_entry(ListKind kind, std::size_t position, std::string_view text);
  // Undo and redo of the list commands above on the record on screen, back
  // to the record as it was shown: each returns the list it changed, or
  // nothing when there is no step to take. The pending-edit marker goes back
  // to what it was before the step (undoing every change leaves nothing
  // pending) or forward to what it was after it. Showing a record and saving
  // it (a save that fails excepted) end the history.
  std::optional<ListKind> undo();
  std::optional<ListKind> redo();
  bool can_undo() const { return history_.can_undo(); }
  bool can_redo() const { return history_.can_redo(); }
  // "&Save Record". False when the save failed (and was reported).
  bool save_record();
  // "&Delete Record": asks, deletes, and shows min(n, N).
  void delete_record();
  // "&Quit": saves the record. True when the window may close; false when
  // the save failed, so that the window stays open and nothing is lost.
  bool quit();

  const Database& database() const { return db_; }
  // For the import, which replaces the database files and reloads the index.
  Database& mutable_database() { return db_; }
  // True when the record on screen could not be read whole (see
  // read_record): it is shown empty and cannot be saved over.
  bool damaged() const { return damaged_; }
  const Layout& layout() const { return db_.layout; }
  Prompt& prompt() { return prompt_; }
  // What the import and export are told of their stages (the window shows
  // it); nothing by default.
  void set_exchange_progress(ExchangeProgress progress) { progress_ = std::move(progress); }
  const ExchangeProgress& exchange_progress() const { return progress_; }

 private:
  WorkingList& mutable_list(ListKind kind) { return lists_[static_cast<std::size_t>(kind)]; }
  bool write(std::int32_t n, WriteMode mode, const char* what);
  // Another program may have changed the database since it was loaded: the
  // record count and the records' places must be those of the files now.
  void reload_if_changed();
  // Under the lock: whether record n may be written (see the top).
  bool still_as_shown(std::int32_t n, WriteMode mode);
  void report(const std::string& text);
  // Adds the changes the last command logged in `kind`'s list to the
  // history, the marker having been `marker` before it; `before` is the
  // list as it was, when the command kept it.
  void remember(ListKind kind, std::int32_t marker, const EntryList* before = nullptr);

  Database db_;
  Prompt& prompt_;
  std::string record_text_ = "1";
  std::vector<WorkingList> lists_;
  std::int32_t pending_ = 0;
  // The record on screen as it was stored when it was shown.
  std::int32_t shown_number_ = 0;
  Record shown_;
  bool damaged_ = false;
  std::vector<std::size_t> added_positions_;
  ExchangeProgress progress_;
  EditHistory history_;
};

}  // namespace zenfaro
