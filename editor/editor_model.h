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
// Other programs may change the database meanwhile. Every read is of one
// state of the files (core/database_state.h). The window knows its record by
// the stored bytes it showed (none for the new-record position), not by its
// number: a save or delete holds the database's lock and looks at the files
// as they stand. When record N still holds those bytes, it goes on; when
// they now stand at exactly one other number (an earlier record was
// deleted), it writes there and the window follows the record to its new
// number; otherwise the user decides (save the lists as a new record,
// replace what is there, or cancel). The remembered bytes change only when
// something is written or shown, so a cancel holds: every later save asks
// again.
#include <cstdint>
#include <functional>
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
  // Saves a pending edit as moving to another record does (the same check
  // and question). True when nothing was pending or it was saved; false
  // when it was not (failed and told, or kept on screen by the user).
  bool save_pending();

  // For the command line, which has nothing on screen to protect: under the
  // database's lock, shows record n as it stands, lets `edit` make the one
  // change to the lists (false: refused and told, nothing is written), then
  // saves the lists as record n or, with WriteMode::remove, deletes it.
  // Nothing is asked. True when it was done.
  bool change_stored(std::int32_t n, WriteMode mode, const std::function<bool()>& edit);

  // Another program may have changed the database files (the window watches
  // them): an unedited record on screen is shown again as it now stands, or
  // followed to its new number; an edited one keeps the user's lists, and
  // its save asks. The record count, and so the navigator's range, follow.
  // True when anything shown changed. Does nothing while a command runs.
  bool follow_outside_change();
  // While one lives, a command of the model runs (its questions may be
  // open), and outside changes are left for later.
  class Running {
   public:
    explicit Running(EditorModel& model) : model_(model) { ++model_.running_; }
    ~Running() { --model_.running_; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

   private:
    EditorModel& model_;
  };
  bool running() const { return running_ > 0; }

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
  // Where the lists on screen go: under number `at`, or nowhere; with
  // `follow`, the window moves to the record's number afterwards.
  struct Placement {
    bool write = true;
    std::int32_t at = 0;
    bool follow = false;
  };

  WorkingList& mutable_list(ListKind kind) { return lists_[static_cast<std::size_t>(kind)]; }
  // Saves or deletes, for the record on screen as record n (see the top).
  // `*written_at` is the number the lists went to.
  bool write(std::int32_t n, WriteMode mode, const char* what, std::int32_t* written_at = nullptr);
  // Under the lock: where a write for record n goes (see the top).
  Status place_write(std::int32_t n, WriteMode mode, Placement* placement);
  // Reads record n and its stored bytes from the state the caller holds.
  Status read_shown(std::int32_t n, Record* record, std::string* bytes) const;
  // Puts what read_shown gave on screen and remembers it.
  void put_on_screen(std::int32_t n, const Status& status, const Record& record, std::string bytes);
  // Reloads the index when the files changed, under the lock.
  void refresh();
  void report(const std::string& text);
  // Adds the changes the last command logged in `kind`'s list to the
  // history, the marker having been `marker` before it; `before` is the
  // list as it was, when the command kept it.
  void remember(ListKind kind, std::int32_t marker, const EntryList* before = nullptr);
  // A read failure is told once while it stays the same, so that stepping
  // through an unreadable database does not repeat it at every step.
  void report_read(const Status& status);

  Database db_;
  Prompt& prompt_;
  std::string record_text_ = "1";
  std::vector<WorkingList> lists_;
  std::int32_t pending_ = 0;
  // The record on screen: its number and its stored bytes when it was shown
  // or last written (empty for the new-record position), and its lists as
  // shown then, which tell whether the user has changed them since.
  std::int32_t shown_number_ = 0;
  std::string shown_bytes_;
  Record shown_lists_;
  bool damaged_ = false;
  std::vector<std::size_t> added_positions_;
  ExchangeProgress progress_;
  EditHistory history_;
  std::string told_read_failure_;
  int running_ = 0;
};

}  // namespace zenfaro
